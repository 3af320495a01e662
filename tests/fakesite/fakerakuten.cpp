#include "fakerakuten.h"

namespace fake {

FakeRakuten::FakeRakuten(std::string host) : FakeSite(std::move(host)) {
  auto &svr = server();

  svr.Get("/", [this](const httplib::Request &req, httplib::Response &res) {
    if (isLoggedIn(ensureSession(req, res)))
      return html(res, "楽天ブログ", "<h1>楽天ブログ</h1>\n" + menu());
    html(res, "楽天会員ログイン", loginBody(false));
  });

  svr.Post("/login",
           [this](const httplib::Request &req, httplib::Response &res) {
             const std::string id = ensureSession(req, res);
             const Options o = options();
             if (field(req, "u") == o.user && field(req, "p") == o.password) {
               setLoggedIn(id, true);
               return redirect(res, "/mypage");
             }
             html(res, "楽天会員ログイン", loginBody(true));
           });

  svr.Get("/mypage",
          [this](const httplib::Request &req, httplib::Response &res) {
            if (!isLoggedIn(ensureSession(req, res)))
              return html(res, "楽天会員ログイン", loginBody(false));
            html(res, "マイページ",
                 "<h1>マイページ</h1>\n" + menu() +
                     "<p>今日の日記を書きましょう。</p>");
          });

  svr.Get("/photo/upload",
          [this](const httplib::Request &req, httplib::Response &res) {
            if (!isLoggedIn(ensureSession(req, res)))
              return html(res, "楽天会員ログイン", loginBody(false));
            html(res, "フォトをアップロード", uploadBody(""));
          });

  svr.Post("/photo/upload",
           [this](const httplib::Request &req, httplib::Response &res) {
             postUpload(req, res);
           });

  svr.Get("/logout",
          [this](const httplib::Request &req, httplib::Response &res) {
            setLoggedIn(sessionOf(req), false);
            html(res, "ログアウト", "<h1>ログアウトしました</h1>");
          });

  svr.Get("/img/upload.png",
          [](const httplib::Request &, httplib::Response &res) {
            res.set_content(tinyPng(), "image/png");
          });
}

FakeRakuten::~FakeRakuten() { stop(); }

FakeRakuten::Options FakeRakuten::options() const {
  std::lock_guard<std::mutex> lock(rakutenMutex_);
  return options_;
}

void FakeRakuten::setOptions(const Options &options) {
  std::lock_guard<std::mutex> lock(rakutenMutex_);
  options_ = options;
}

std::string FakeRakuten::pictureUrl(int number, const std::string &name) const {
  return baseUrl() + "/photo/" + std::to_string(number) + "/" + name;
}

std::string FakeRakuten::menu() const {
  return "<ul class=\"menu\">\n"
         "<li><a href=\"/photo/upload\" target=\"_blank\">フォトをアップロード"
         "</a></li>\n"
         "<li><a href=\"/logout\" target=\"_blank\">ログアウト</a></li>\n"
         "</ul>\n";
}

std::string FakeRakuten::loginBody(bool failed) const {
  std::string body = "<h1>楽天会員ログイン</h1>\n";
  if (failed)
    body += "<p class=\"error\">ユーザIDまたはパスワードが違います。</p>\n";
  return body + "<form method=\"post\" action=\"/login\">\n"
                "<p>ユーザID <input type=\"text\" name=\"u\"></p>\n"
                "<p>パスワード <input type=\"password\" name=\"p\"></p>\n"
                "<p><input type=\"submit\" value=\"ログインする\"></p>\n"
                "</form>";
}

std::string FakeRakuten::uploadBody(const std::string &result) const {
  const Options o = options();
  std::string albums;
  for (size_t i = 0; i < o.albums.size(); ++i)
    albums += "<option value=\"" + std::to_string(i) + "\">" +
              escape(o.albums[i]) + "</option>";
  return "<h1>フォトをアップロード</h1>\n" + menu() + result +
         "<form method=\"post\" action=\"/photo/upload\" "
         "enctype=\"multipart/form-data\">\n"
         "<p>アルバム <select name=\"album\">" +
         albums +
         "</select></p>\n"
         "<p><input type=\"file\" name=\"image[]\"></p>\n"
         "<p>ファイル名 <input type=\"text\" name=\"name[]\"></p>\n"
         "<p><input type=\"image\" src=\"/img/upload.png\" "
         "alt=\"フォトをアップロード\" width=\"96\" height=\"32\"></p>\n"
         "</form>";
}

void FakeRakuten::postUpload(const httplib::Request &req,
                             httplib::Response &res) {
  if (!loggedIn(req))
    return html(res, "403 Forbidden", "<h1>ログインしていません</h1>", 403);
  const Options o = options();
  std::string album;
  try {
    album = o.albums.at(std::stoul(field(req, "album")));
  } catch (...) {
    return html(res, "400", "<h1>アルバムを選んでください</h1>", 400);
  }
  // The album as the service knows it, without the list's padding.
  const auto b = album.find_first_not_of(' ');
  album = b == std::string::npos
              ? ""
              : album.substr(b, album.find_last_not_of(' ') - b + 1);
  const auto got = recordUploads(req, album);
  if (got.empty())
    return html(res, "フォトをアップロード",
                uploadBody("<p class=\"error\">写真を選んでください。</p>\n"));
  std::string urls;
  {
    std::lock_guard<std::mutex> lock(rakutenMutex_);
    for (const auto &u : got)
      urls += (urls.empty() ? "" : "\n") + pictureUrl(++pictures_, u.filename);
  }
  const std::string text = o.emptyResultText ? "" : urls;
  html(res, "フォトをアップロード",
       uploadBody("<p>アップロードしました。</p>\n<p><textarea rows=\"2\" "
                  "cols=\"60\" readonly>" +
                  escape(text) + "</textarea></p>\n"));
}

} // namespace fake
