#include "fakecocolog.h"

namespace fake {

namespace {
std::string trimmed(const std::string &s) {
  const auto b = s.find_first_not_of(' ');
  return b == std::string::npos ? ""
                                : s.substr(b, s.find_last_not_of(' ') - b + 1);
}
} // namespace

FakeCocolog::FakeCocolog(std::string host) : FakeSite(std::move(host)) {
  auto &svr = server();

  svr.Get("/t/app",
          [this](const httplib::Request &req, httplib::Response &res) {
            if (isLoggedIn(ensureSession(req, res)))
              return html(res, "ココログ", "<h1>ココログ</h1>\n" + menu());
            html(res, "ココログ ログイン", loginBody(false));
          });

  svr.Post("/t/app/login",
           [this](const httplib::Request &req, httplib::Response &res) {
             const std::string id = ensureSession(req, res);
             const Options o = options();
             if (field(req, "username") == o.user &&
                 field(req, "password") == o.password) {
               setLoggedIn(id, true);
               return redirect(res, "/t/app");
             }
             html(res, "ココログ ログイン", loginBody(true));
           });

  svr.Get("/t/app/photos",
          [this](const httplib::Request &req, httplib::Response &res) {
            if (!requireLogin(req, res))
              return;
            std::string body = "<h1>マイフォト</h1>\n" + menu();
            const Options o = options();
            for (size_t i = 0; i < o.albums.size(); ++i)
              body += "<h4>" + escape(o.albums[i]) + "</h4>\n<p>写真 " +
                      std::to_string(3 * i + 2) +
                      " 枚</p>\n<p><a href=\"/t/app/"
                      "photos/add?album=" +
                      std::to_string(i) + "\">新しい写真の追加</a></p>\n";
            html(res, "マイフォト", body);
          });

  svr.Get("/t/app/photos/add", [this](const httplib::Request &req,
                                      httplib::Response &res) {
    if (!requireLogin(req, res))
      return;
    const std::string n = req.get_param_value("album");
    html(res, "新しい写真の追加",
         "<h1>新しい写真の追加</h1>\n" + menu() +
             "<form method=\"post\" action=\"/t/app/photos/add?album=" + n +
             "\" enctype=\"multipart/form-data\">\n"
             "<p><input type=\"file\" name=\"file1\"></p>\n"
             "<p><input type=\"submit\" value=\"写真を追加する\"></p>\n"
             "</form>");
  });

  svr.Post("/t/app/photos/add",
           [this](const httplib::Request &req, httplib::Response &res) {
             std::string album;
             try {
               album = trimmed(options().albums.at(
                   std::stoul(req.get_param_value("album"))));
             } catch (...) {
               return html(res, "404", "<h1>アルバムがありません</h1>", 404);
             }
             postFiles(req, res, album, "/t/app/photos");
           });

  svr.Get("/t/app/control", [this](const httplib::Request &req,
                                   httplib::Response &res) {
    if (!requireLogin(req, res))
      return;
    html(res, "コントロールパネル",
         "<h1>コントロールパネル</h1>\n" + menu() +
             "<ul><li><a href=\"/t/app/entries\">記事</a></li>\n"
             "<li><a href=\"/t/app/files\" target=\"_blank\">ファイル</a>"
             "</li></ul>");
  });

  svr.Get("/t/app/files", [this](const httplib::Request &req,
                                 httplib::Response &res) {
    if (!requireLogin(req, res))
      return;
    const std::string folder = req.get_param_value("folder");
    std::string links;
    for (const auto &f : options().folders)
      links += "<li><a href=\"/t/app/files?folder=" + percentEncode(f) + "\">" +
               escape(f) + "</a></li>\n";
    html(res, "ファイル",
         "<h1>ファイル: /" + escape(folder) + "</h1>\n" + menu() + "<ul>\n" +
             links +
             "</ul>\n<form method=\"post\" action=\"/t/app/files?folder=" +
             percentEncode(folder) +
             "\" enctype=\"multipart/form-data\">\n"
             "<p><input type=\"file\" name=\"file\"></p>\n"
             "<p><input type=\"submit\" value=\"アップロード\"></p>\n"
             "</form>");
  });

  svr.Post("/t/app/files",
           [this](const httplib::Request &req, httplib::Response &res) {
             postFiles(req, res, req.get_param_value("folder"), "/t/app/files");
           });

  svr.Get("/t/app/logout",
          [this](const httplib::Request &req, httplib::Response &res) {
            setLoggedIn(sessionOf(req), false);
            html(res, "ログアウト", "<h1>ログアウトしました</h1>");
          });
}

FakeCocolog::~FakeCocolog() { stop(); }

FakeCocolog::Options FakeCocolog::options() const {
  std::lock_guard<std::mutex> lock(cocologMutex_);
  return options_;
}

void FakeCocolog::setOptions(const Options &options) {
  std::lock_guard<std::mutex> lock(cocologMutex_);
  options_ = options;
}

std::string FakeCocolog::menu() const {
  return "<ul class=\"menu\">\n"
         "<li><a href=\"/t/app/photos\" target=\"_blank\">マイフォト</a></li>\n"
         "<li><a href=\"/t/app/control\" target=\"_blank\">コントロールパネル"
         "</a></li>\n"
         "<li><a href=\"/t/app/logout\" target=\"_blank\">ログアウト</a></li>\n"
         "</ul>\n";
}

std::string FakeCocolog::loginBody(bool failed) const {
  std::string body = "<h1>ココログにログイン</h1>\n";
  if (failed)
    body += "<p class=\"error\">ユーザー名またはパスワードが違います。</p>\n";
  return body + "<form method=\"post\" action=\"/t/app/login\">\n"
                "<p>ユーザー名 <input type=\"text\" name=\"username\"></p>\n"
                "<p>パスワード <input type=\"password\" name=\"password\">"
                "</p>\n<p><input type=\"submit\" value=\"ログイン\"></p>\n"
                "</form>";
}

bool FakeCocolog::requireLogin(const httplib::Request &req,
                               httplib::Response &res) {
  if (isLoggedIn(ensureSession(req, res)))
    return true;
  html(res, "ココログ ログイン", loginBody(false));
  return false;
}

void FakeCocolog::postFiles(const httplib::Request &req, httplib::Response &res,
                            const std::string &folder,
                            const std::string &back) {
  if (!loggedIn(req))
    return html(res, "403 Forbidden", "<h1>ログインしていません</h1>", 403);
  const auto got = recordUploads(req, folder);
  std::string body = "<h1>アップロード結果</h1>\n" + menu();
  for (const auto &u : got)
    body += "<p>" + escape(u.filename) + " を追加しました。</p>\n";
  if (got.empty())
    body += "<p class=\"error\">ファイルを選択してください。</p>\n";
  html(res, "アップロード結果",
       body + "<p><a href=\"" + back + "\">一覧へ</a></p>");
}

} // namespace fake
