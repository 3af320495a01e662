#include "fakeameba.h"

namespace fake {

namespace {
const char kLogout[] = "<p><a href=\"/logout\">ログアウト</a></p>\n";

std::string loginBody(const std::string &alt, bool failed) {
  std::string body = "<h1>Ameba ログイン</h1>\n";
  if (failed)
    body += "<p class=\"error\">アメーバIDかパスワードが違います。</p>\n";
  return body +
         "<form method=\"post\" action=\"/login\">\n"
         "<p>アメーバID <input type=\"text\" name=\"amebaid\"></p>\n"
         "<p>パスワード <input type=\"password\" "
         "name=\"password\"></p>\n"
         "<p><input type=\"image\" src=\"/img/login.png\" alt=\"" +
         FakeSite::escape(alt) + "\" width=\"120\" height=\"30\"></p>\n</form>";
}
} // namespace

FakeAmeba::FakeAmeba(std::string host) : FakeSite(std::move(host)) {
  auto &svr = server();

  svr.Get("/", [this](const httplib::Request &req, httplib::Response &res) {
    const Options o = options();
    if (!isLoggedIn(ensureSession(req, res)))
      return html(res, "Ameba ログイン", loginBody(o.loginAlt, false));
    const std::string account =
        o.shownAccount.empty() ? o.amebaid : o.shownAccount;
    html(res, "マイページ",
         "<h1>マイページ</h1>\n<div class=\"profile\"><h2 id=\"amebaid\">"
         "アメーバID</h2><a href=\"/profile/" +
             percentEncode(account) + "/\">" + escape(account) +
             "</a></div>\n<ul><li><a href=\"/entry/new\">記事を書く</a></li>"
             "</ul>\n" +
             kLogout);
  });

  svr.Post("/login",
           [this](const httplib::Request &req, httplib::Response &res) {
             const std::string id = ensureSession(req, res);
             const Options o = options();
             if (field(req, "amebaid") == o.amebaid &&
                 field(req, "password") == o.password) {
               setLoggedIn(id, true);
               return redirect(res, "/");
             }
             setLoggedIn(id, false);
             html(res, "Ameba ログイン", loginBody(o.loginAlt, true));
           });

  svr.Get("/entry/new", [this](const httplib::Request &req,
                               httplib::Response &res) {
    if (!isLoggedIn(ensureSession(req, res)))
      return redirect(res, "/");
    html(res, "記事を書く",
         "<h1>記事を書く</h1>\n<p><a href=\"/image/folder\">画像フォルダ</a>"
         "</p>\n<form><p>タイトル <input type=\"text\" name=\"entry_title\">"
         "</p><p><textarea name=\"entry_text\"></textarea></p></form>\n" +
             std::string(kLogout));
  });

  svr.Get("/image/folder",
          [this](const httplib::Request &req, httplib::Response &res) {
            if (!isLoggedIn(ensureSession(req, res)))
              return redirect(res, "/");
            html(res, "画像フォルダ", folderPage(""));
          });

  svr.Post("/image/folder", [this](const httplib::Request &req,
                                   httplib::Response &res) {
    if (!loggedIn(req))
      return html(res, "403 Forbidden",
                  "<h1>ログインしていません</h1>\n<p><a href=\"/\">ログイン</a>"
                  "</p>",
                  403);
    const auto got = recordUploads(req);
    const std::string title = field(req, "image_title[0]");
    std::string result;
    {
      std::lock_guard<std::mutex> lock(amebaMutex_);
      for (const auto &u : got) {
        stored_[u.filename] = Image{title, u.bytes};
        result += "<p class=\"result\">" + escape(u.filename) +
                  " をアップロードしました</p>\n";
      }
    }
    if (got.empty())
      result = "<p class=\"error\">画像を選んでください。</p>\n";
    html(res, "画像フォルダ", folderPage(result));
  });

  svr.Get(
      "/logout", [this](const httplib::Request &req, httplib::Response &res) {
        setLoggedIn(sessionOf(req), false);
        html(res, "ログアウト",
             "<h1>ログアウトしました</h1>\n<p><a href=\"/\">ログイン</a></p>");
      });

  svr.Get("/img/login.png",
          [](const httplib::Request &, httplib::Response &res) {
            res.set_content(tinyPng(), "image/png");
          });
}

FakeAmeba::~FakeAmeba() { stop(); }

FakeAmeba::Options FakeAmeba::options() const {
  std::lock_guard<std::mutex> lock(amebaMutex_);
  return options_;
}

void FakeAmeba::setOptions(const Options &options) {
  std::lock_guard<std::mutex> lock(amebaMutex_);
  options_ = options;
}

std::map<std::string, FakeAmeba::Image> FakeAmeba::stored() const {
  std::lock_guard<std::mutex> lock(amebaMutex_);
  return stored_;
}

std::string FakeAmeba::folderPage(const std::string &result) const {
  std::string list;
  {
    std::lock_guard<std::mutex> lock(amebaMutex_);
    for (const auto &f : stored_)
      list +=
          "<li>" + escape(f.second.title) + " (" + escape(f.first) + ")</li>\n";
  }
  return "<h1>画像フォルダ</h1>\n" + result +
         "<form method=\"post\" action=\"/image/folder\" "
         "enctype=\"multipart/form-data\">\n"
         "<p><input type=\"file\" name=\"image_file[0]\"></p>\n"
         "<p>タイトル <input type=\"text\" name=\"image_title[0]\"></p>\n"
         "<p><input type=\"submit\" value=\"アップロード\"></p>\n</form>\n"
         "<h2>画像一覧</h2>\n<ul>\n" +
         list + "</ul>\n" + kLogout;
}

} // namespace fake
