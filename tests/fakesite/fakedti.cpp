#include "fakedti.h"

#include <cctype>

namespace fake {

namespace {
const char kMenu[] =
    "<ul class=\"menu\">\n"
    "<li><a href=\"/admin/\">管理トップ</a></li>\n"
    "<li><a href=\"/admin/upload\">ファイルアップロード</a></li>\n"
    "<li><a href=\"/logout\">ログアウト</a></li>\n"
    "</ul>\n";

std::string upper(std::string s) {
  for (auto &c : s)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}
} // namespace

FakeDti::FakeDti(std::string host) : FakeSite(std::move(host)) {
  auto &svr = server();

  svr.Get("/login.html",
          [this](const httplib::Request &req, httplib::Response &res) {
            if (isLoggedIn(ensureSession(req, res)))
              return redirect(res, "/admin/");
            html(res, "DTIブログ ログイン", loginBody(false));
          });

  svr.Post("/login",
           [this](const httplib::Request &req, httplib::Response &res) {
             const std::string id = ensureSession(req, res);
             const Options o = options();
             if (field(req, "id") == o.id && field(req, "pass") == o.password) {
               setLoggedIn(id, true);
               return redirect(res, "/admin/");
             }
             setLoggedIn(id, false);
             html(res, "DTIブログ ログイン", loginBody(true));
           });

  svr.Get(
      "/admin/", [this](const httplib::Request &req, httplib::Response &res) {
        if (!isLoggedIn(ensureSession(req, res)))
          return redirect(res, "/login.html");
        html(res, "管理画面",
             "<h1>管理画面</h1>\n" + std::string(kMenu) + "<p>ようこそ</p>");
      });

  svr.Get("/admin/upload",
          [this](const httplib::Request &req, httplib::Response &res) {
            if (!isLoggedIn(ensureSession(req, res)))
              return redirect(res, "/login.html");
            html(res, "ファイルアップロード", uploadBody(options(), false));
          });

  svr.Post("/admin/upload",
           [this](const httplib::Request &req, httplib::Response &res) {
             postUpload(req, res);
           });

  svr.Get("/logout",
          [this](const httplib::Request &req, httplib::Response &res) {
            setLoggedIn(sessionOf(req), false);
            html(res, "ログアウト",
                 "<h1>ログアウトしました</h1>\n"
                 "<p><a href=\"/login.html\">ログイン画面へ</a></p>");
          });
}

FakeDti::~FakeDti() { stop(); }

FakeDti::Options FakeDti::options() const {
  std::lock_guard<std::mutex> lock(dtiMutex_);
  return options_;
}

void FakeDti::setOptions(const Options &options) {
  std::lock_guard<std::mutex> lock(dtiMutex_);
  options_ = options;
}

std::string FakeDti::loginBody(bool failed) const {
  std::string body = "<h1>DTIブログ 管理画面ログイン</h1>\n";
  if (failed)
    body += "<p class=\"error\">IDまたはパスワードが違います。</p>\n";
  return body + "<form method=\"post\" action=\"/login\">\n"
                "<p>ID <input type=\"text\" name=\"id\"></p>\n"
                "<p>パスワード <input type=\"password\" name=\"pass\"></p>\n"
                "<p><input type=\"submit\" value=\"管理画面へログイン\"></p>\n"
                "</form>";
}

std::string FakeDti::uploadBody(const Options &o, bool hideNewest) const {
  auto files = uploads();
  if (hideNewest && !files.empty())
    files.pop_back();
  std::string rows;
  int n = 0;
  for (const Upload &u : files)
    rows += "<tr><td class=\"cell1\">" + std::to_string(++n) +
            "</td><td class=\"cell2\">" + std::to_string(u.bytes.size()) +
            "</td><td class=\"cell6\"> " +
            escape(o.upperCaseNames ? upper(u.filename) : u.filename) +
            " </td></tr>\n";
  return "<h1>ファイルアップロード</h1>\n" + std::string(kMenu) +
         "<form method=\"post\" action=\"/admin/upload\" "
         "enctype=\"multipart/form-data\">\n"
         "<p><label><input type=\"checkbox\" name=\"thumb\" value=\"1\">"
         " 標準サイズ画像を作る</label></p>\n"
         "<p><input type=\"file\" name=\"upfile\"></p>\n"
         "<p><input type=\"submit\" value=\"アップロード\"></p>\n</form>\n"
         "<table class=\"files\">\n<tr><th>No</th><th>サイズ</th>"
         "<th>ファイル名</th></tr>\n" +
         rows + "</table>";
}

void FakeDti::postUpload(const httplib::Request &req, httplib::Response &res) {
  if (!loggedIn(req))
    return html(res, "403 Forbidden", "<h1>ログインしてください</h1>", 403);
  recordUploads(req);
  bool hide = false;
  Options o;
  {
    std::lock_guard<std::mutex> lock(dtiMutex_);
    if (options_.unlistedResults > 0) {
      --options_.unlistedResults;
      hide = true;
    }
    o = options_;
  }
  html(res, "ファイルアップロード", uploadBody(o, hide));
}

} // namespace fake
