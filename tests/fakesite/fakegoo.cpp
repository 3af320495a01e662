#include "fakegoo.h"

namespace fake {

namespace {
const char kLogoutButton[] =
    "<form method=\"post\" action=\"/logout\">"
    "<input type=\"submit\" value=\"ログアウト\"></form>\n";
} // namespace

FakeGoo::FakeGoo(std::string host) : FakeSite(std::move(host)) {
  auto &svr = server();

  svr.Get("/", [this](const httplib::Request &req, httplib::Response &res) {
    std::string account;
    if (isLoggedIn(ensureSession(req, res)))
      account = "<form method=\"get\" action=\"/admin/\">"
                "<input type=\"submit\" value=\"作成・編集\"></form>";
    else
      // The link's text is a picture: only its markup says "ログイン".
      account = "<a href=\"/login\"><img src=\"/img/login.png\" "
                "alt=\"ログイン\" width=\"64\" height=\"20\"></a>";
    html(res, "gooブログ",
         "<h1>gooブログ</h1>\n<p><a href=\"/help\">ヘルプ</a></p>\n"
         "<div class=\"account\">" +
             account + "</div>\n<p>人気の記事</p>");
  });

  svr.Get("/login",
          [this](const httplib::Request &req, httplib::Response &res) {
            ensureSession(req, res);
            html(res, "gooID ログイン", loginBody(false));
          });

  svr.Post(
      "/login", [this](const httplib::Request &req, httplib::Response &res) {
        const std::string id = ensureSession(req, res);
        const Options o = options();
        if (field(req, "uname") == o.user && field(req, "pass") == o.password) {
          setLoggedIn(id, true);
          return redirect(res, "/admin/");
        }
        html(res, "gooID ログイン", loginBody(true));
      });

  svr.Get(
      "/admin/", [this](const httplib::Request &req, httplib::Response &res) {
        if (!isLoggedIn(ensureSession(req, res)))
          return html(res, "gooID ログイン", loginBody(false));
        html(res, "管理画面",
             std::string("<h1>管理画面</h1>\n<ul>\n"
                         "<li><a href=\"/admin/entry\">記事を書く</a></li>\n"
                         "<li><a href=\"/admin/image\">画像フォルダ</a></li>\n"
                         "</ul>\n") +
                 kLogoutButton);
      });

  svr.Get("/admin/image",
          [this](const httplib::Request &req, httplib::Response &res) {
            if (!isLoggedIn(ensureSession(req, res)))
              return html(res, "gooID ログイン", loginBody(false));
            html(res, "画像フォルダ", uploadBody(""));
          });

  svr.Post("/admin/image", [this](const httplib::Request &req,
                                  httplib::Response &res) {
    if (!loggedIn(req))
      return html(res, "403 Forbidden", "<h1>ログインしていません</h1>", 403);
    const auto got = recordUploads(req);
    std::string result;
    for (const auto &u : got)
      result += "<p>" + escape(u.filename) + " をアップロードしました。</p>\n";
    if (got.empty())
      result = "<p class=\"error\">ファイルを選択してください。</p>\n";
    html(res, "画像フォルダ", uploadBody(result));
  });

  svr.Post(
      "/logout", [this](const httplib::Request &req, httplib::Response &res) {
        setLoggedIn(sessionOf(req), false);
        html(res, "ログアウト",
             "<h1>ログアウトしました</h1>\n<p><a href=\"/\">gooブログ</a></p>");
      });

  svr.Get("/img/login.png",
          [](const httplib::Request &, httplib::Response &res) {
            res.set_content(tinyPng(), "image/png");
          });
}

FakeGoo::~FakeGoo() { stop(); }

FakeGoo::Options FakeGoo::options() const {
  std::lock_guard<std::mutex> lock(gooMutex_);
  return options_;
}

void FakeGoo::setOptions(const Options &options) {
  std::lock_guard<std::mutex> lock(gooMutex_);
  options_ = options;
}

std::string FakeGoo::loginBody(bool failed) const {
  std::string body = "<h1>gooIDでログイン</h1>\n";
  if (failed)
    body += "<p class=\"error\">gooIDまたはパスワードが違います。</p>\n";
  return body + "<form method=\"post\" action=\"/login\">\n"
                "<p>gooID <input type=\"text\" name=\"uname\"></p>\n"
                "<p>パスワード <input type=\"password\" name=\"pass\"></p>\n"
                "<p><input type=\"image\" src=\"/img/login.png\" "
                "alt=\"ログ\tイン\" width=\"64\" height=\"20\"></p>\n"
                "</form>";
}

std::string FakeGoo::uploadBody(const std::string &result) const {
  const Options o = options();
  static const char *const kLabels[] = {"ブログ標準", "オリジナルサイズ",
                                        "動画"};
  std::string sizes;
  for (size_t i = 0; i < o.sizeValues.size(); ++i)
    sizes += "<label><input type=\"radio\" name=\"upload_size\" value=\"" +
             escape(o.sizeValues[i]) + "\"" + (i == 0 ? " checked" : "") +
             "> " + kLabels[i % 3] + "</label>\n";
  return "<h1>画像フォルダ</h1>\n" + result +
         "<form method=\"post\" action=\"/admin/image\" "
         "enctype=\"multipart/form-data\">\n<p>" +
         sizes +
         "</p>\n"
         "<p><input type=\"file\" name=\"userfile[0]\"></p>\n"
         "<p>タイトル <input type=\"text\" name=\"raw_title[0]\"></p>\n"
         "<p><input type=\"submit\" value=\"アップロード\"></p>\n"
         "</form>\n" +
         kLogoutButton;
}

} // namespace fake
