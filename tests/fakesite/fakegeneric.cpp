#include "fakegeneric.h"

namespace fake {

FakeGeneric::FakeGeneric(std::string host) : FakeSite(std::move(host)) {
  auto &svr = server();

  svr.Get("/", [this](const httplib::Request &req, httplib::Response &res) {
    ensureSession(req, res);
    const Options o = options();
    std::string body = "<h1>マイブログ</h1>\n";
    if (!o.signInText.empty())
      body += "<p><a href=\"/login\">" + escape(o.signInText) + "</a></p>\n";
    body += "<div class=\"entry\"><p>今日もいい天気。</p></div>";
    html(res, "マイブログ", body);
  });

  svr.Get("/login",
          [this](const httplib::Request &req, httplib::Response &res) {
            const std::string id = ensureSession(req, res);
            html(res, "ログイン", loginBody(options(), isLoggedIn(id)));
          });

  svr.Post("/login",
           [this](const httplib::Request &req, httplib::Response &res) {
             const std::string id = ensureSession(req, res);
             const Options o = options();
             if (field(req, o.userField) == o.user &&
                 field(req, o.passwordField) == o.password) {
               setLoggedIn(id, true);
               return redirect(res, "/home");
             }
             html(res, "ログイン",
                  "<p class=\"error\">IDまたはパスワードが違います。</p>\n" +
                      loginBody(o, false));
           });

  svr.Get("/home", [this](const httplib::Request &req, httplib::Response &res) {
    if (!loggedIn(req))
      return redirect(res, "/login");
    const Options o = options();
    const std::string target = o.link2Text.empty() ? "/upload" : "/page1";
    html(res, "管理ページ",
         "<h1>管理ページ</h1>\n<p><a href=\"" + target + "\">" +
             escape(o.link1Text) + "</a></p>");
  });

  svr.Get("/page1",
          [this](const httplib::Request &req, httplib::Response &res) {
            if (!loggedIn(req))
              return redirect(res, "/login");
            html(res, "ファイル管理",
                 "<h1>ファイル管理</h1>\n<p><a href=\"/upload\">" +
                     escape(options().link2Text) + "</a></p>");
          });

  svr.Get("/upload",
          [this](const httplib::Request &req, httplib::Response &res) {
            if (!loggedIn(req))
              return redirect(res, "/login");
            html(res, "アップロード", uploadForm(options()));
          });

  svr.Get("/img/login.png",
          [](const httplib::Request &, httplib::Response &res) {
            res.set_content(tinyPng(), "image/png");
          });

  svr.Post(
      "/upload", [this](const httplib::Request &req, httplib::Response &res) {
        if (!loggedIn(req)) {
          html(res, "403", "<h1>ログインしていません</h1>", 403);
          return;
        }
        const Options o = options();
        const auto got = recordUploads(req);
        std::string body = "<h1>アップロード結果</h1>\n";
        if (got.empty())
          body += "<p class=\"error\">ファイルがありません。</p>\n";
        for (const auto &u : got)
          body += "<p>アップロードしました: " + escape(u.filename) + "</p>\n";
        if (o.formAfterUpload)
          body += uploadForm(o);
        html(res, "アップロード結果", body);
      });
}

FakeGeneric::~FakeGeneric() { stop(); }

FakeGeneric::Options FakeGeneric::options() const {
  std::lock_guard<std::mutex> lock(optionsMutex_);
  return options_;
}

void FakeGeneric::setOptions(const Options &options) {
  std::lock_guard<std::mutex> lock(optionsMutex_);
  options_ = options;
}

std::string FakeGeneric::loginBody(const Options &o, bool loggedIn) const {
  if (loggedIn)
    return "<h1>ログイン</h1>\n<p>ログイン中です。</p>\n<p><a href=\"/home\">" +
           escape(o.loggedInText) + "</a></p>";
  std::string button =
      o.loginImageButton
          ? "<input type=\"image\" src=\"/img/login.png\" alt=\"" +
                escape(o.loginButtonText) + "\" width=\"80\" height=\"24\">"
          : "<input type=\"submit\" value=\"" + escape(o.loginButtonText) +
                "\">";
  return "<h1>ログイン</h1>\n<form method=\"post\" action=\"/login\">\n"
         "<p>ID <input type=\"text\" name=\"" +
         escape(o.userField) +
         "\"></p>\n"
         "<p>パスワード <input type=\"password\" name=\"" +
         escape(o.passwordField) + "\"></p>\n<p>" + button + "</p>\n</form>";
}

std::string FakeGeneric::uploadForm(const Options &o) const {
  std::string f = "<form method=\"post\" action=\"/upload\" "
                  "enctype=\"multipart/form-data\">\n"
                  "<p><label><input type=\"checkbox\" name=\"" +
                  escape(o.thumbField) + "\" value=\"1\"" +
                  (o.thumbChecked ? " checked" : "") +
                  "> サムネイルを作る</label></p>\n"
                  "<p><input type=\"file\" name=\"" +
                  escape(o.fileField) + "\"></p>\n";
  if (!o.nameField.empty())
    f += "<p>タイトル <input type=\"text\" name=\"" + escape(o.nameField) +
         "\"></p>\n";
  for (const auto &t : o.textFields)
    f += "<p>" + escape(t) + " <input type=\"text\" name=\"" + escape(t) +
         "\"></p>\n";
  if (!o.checkField.empty())
    f += "<p><label><input type=\"checkbox\" name=\"" + escape(o.checkField) +
         "\" value=\"1\"> 公開する</label></p>\n";
  f += "<p><input type=\"submit\" value=\"" + escape(o.submitText) +
       "\"></p>\n</form>";
  return f;
}

} // namespace fake
