#include "fakecsc.h"

namespace fake {

namespace {
const char kMenu[] = "<ul class=\"menu\">\n"
                     "<li><a href=\"/\">ホーム</a></li>\n"
                     "<li><a href=\"/image/\">画像の管理</a></li>\n"
                     "<li><a href=\"/logout\">ログアウト</a></li>\n"
                     "</ul>\n";

std::string loginBody(bool failed) {
  std::string body = "<h1>CSCブログ</h1>\n";
  if (failed)
    body += "<p class=\"error\">メールアドレスかパスワードが違います。</p>\n";
  return body + "<form method=\"post\" action=\"/login\">\n"
                "<p>メールアドレス <input type=\"text\" "
                "name=\"data[user][email]\"></p>\n"
                "<p>パスワード <input type=\"password\" "
                "name=\"data[user][password]\"></p>\n"
                "<p><input type=\"submit\" name=\"login\" "
                "value=\"ログイン\"></p>\n</form>";
}
} // namespace

FakeCsc::FakeCsc(std::string host) : FakeSite(std::move(host)) {
  auto &svr = server();

  svr.Get("/", [this](const httplib::Request &req, httplib::Response &res) {
    if (!isLoggedIn(ensureSession(req, res)))
      return html(res, "CSCブログ ログイン", loginBody(false));
    const Options o = options();
    const std::string name = o.greetingName.empty() ? o.email : o.greetingName;
    html(res, "CSCブログ 管理画面",
         "<h1>CSCブログ</h1>\n<div class=\"fb12\">ようこそ、" + escape(name) +
             "さん</div>\n" + kMenu);
  });

  svr.Post("/login",
           [this](const httplib::Request &req, httplib::Response &res) {
             const std::string id = ensureSession(req, res);
             const Options o = options();
             if (field(req, "data[user][email]") == o.email &&
                 field(req, "data[user][password]") == o.password) {
               setLoggedIn(id, true);
               return redirect(res, "/");
             }
             setLoggedIn(id, false);
             html(res, "CSCブログ ログイン", loginBody(true));
           });

  svr.Get("/image/",
          [this](const httplib::Request &req, httplib::Response &res) {
            if (!isLoggedIn(ensureSession(req, res)))
              return redirect(res, "/");
            html(res, "画像の管理", imagePage(""));
          });

  svr.Post("/image/", [this](const httplib::Request &req,
                             httplib::Response &res) {
    if (!loggedIn(req))
      return html(res, "403 Forbidden",
                  "<h1>ログインしていません</h1>\n<p><a href=\"/\">ログイン</a>"
                  "</p>",
                  403);
    const auto got = recordUploads(req);
    std::string result;
    {
      std::lock_guard<std::mutex> lock(cscMutex_);
      for (const auto &u : got) {
        stored_[u.filename] = u.bytes;
        result +=
            "<p class=\"result\">画像を追加しました: " + escape(u.filename) +
            "</p>\n";
      }
    }
    if (got.empty())
      result = "<p class=\"error\">画像を選んでください。</p>\n";
    html(res, "画像の管理", imagePage(result));
  });

  svr.Get(
      "/logout", [this](const httplib::Request &req, httplib::Response &res) {
        setLoggedIn(sessionOf(req), false);
        html(res, "ログアウト",
             "<h1>ログアウトしました</h1>\n<p><a href=\"/\">ログイン</a></p>");
      });
}

FakeCsc::~FakeCsc() { stop(); }

FakeCsc::Options FakeCsc::options() const {
  std::lock_guard<std::mutex> lock(cscMutex_);
  return options_;
}

void FakeCsc::setOptions(const Options &options) {
  std::lock_guard<std::mutex> lock(cscMutex_);
  options_ = options;
}

std::map<std::string, std::string> FakeCsc::stored() const {
  std::lock_guard<std::mutex> lock(cscMutex_);
  return stored_;
}

std::string FakeCsc::imagePage(const std::string &result) const {
  std::string list;
  {
    std::lock_guard<std::mutex> lock(cscMutex_);
    for (const auto &f : stored_)
      list += "<li>" + escape(f.first) + "</li>\n";
  }
  return "<h1>画像の管理</h1>\n" + std::string(kMenu) + result +
         "<form method=\"post\" action=\"/image/\" "
         "enctype=\"multipart/form-data\">\n"
         "<p><input type=\"file\" name=\"data[image][file_image1]\"></p>\n"
         "<p><input type=\"submit\" value=\"画像を追加する\"></p>\n</form>\n"
         "<h2>登録済みの画像</h2>\n<ul>\n" +
         list + "</ul>";
}

} // namespace fake
