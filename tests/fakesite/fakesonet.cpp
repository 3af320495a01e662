#include "fakesonet.h"

namespace fake {

namespace {
const char kLoginRequired[] =
    "<h1>ログインしてください</h1>\n<p><a href=\"/\">トップ</a></p>";

std::string imageLink(const std::string &href, const std::string &alt) {
  return "<a href=\"" + href + "\"><img src=\"/ui/button.png\" alt=\"" + alt +
         "\" width=\"80\" height=\"24\"></a>";
}
} // namespace

FakeSonet::FakeSonet(std::string host) : FakeSite(std::move(host)) {
  auto &svr = server();

  svr.Get("/", [this](const httplib::Request &req, httplib::Response &res) {
    const bool in = isLoggedIn(ensureSession(req, res));
    std::string body = "<h1>So-netブログ</h1>\n";
    if (in)
      body += "<p><a href=\"/manage\">管理ページ</a></p>\n" + menu();
    else
      body += "<p>" + imageLink("/login", " ログイン ") + "</p>\n";
    html(res, "So-netブログ", body);
  });

  svr.Get("/login", [](const httplib::Request &, httplib::Response &res) {
    html(res, "ログイン",
         "<h1>ログイン</h1>\n<form method=\"post\" action=\"/login\">\n"
         "<h2>So-net会員</h2>\n"
         "<p>ユーザーID <input type=\"text\" name=\"SSO_COMMON_ID\"></p>\n"
         "<p>パスワード <input type=\"password\" name=\"SSO_COMMON_PWD\"></p>\n"
         "<h2>メールアドレスID</h2>\n"
         "<p>メールアドレス <input type=\"text\" name=\"mailAddress\"></p>\n"
         "<p>パスワード <input type=\"password\" name=\"password\"></p>\n"
         "<p><input type=\"submit\" value=\"ログイン\"></p>\n</form>");
  });

  svr.Post(
      "/login", [this](const httplib::Request &req, httplib::Response &res) {
        const std::string id = ensureSession(req, res);
        const Options o = options();
        const bool member = !field(req, "SSO_COMMON_ID").empty();
        const bool ok = member ? field(req, "SSO_COMMON_ID") == o.memberId &&
                                     field(req, "SSO_COMMON_PWD") == o.password
                               : field(req, "mailAddress") == o.mailAddress &&
                                     field(req, "password") == o.password;
        setLoggedIn(id, ok);
        if (!ok) {
          if (member)
            return redirect(res, "/login");
          return html(res, "ログインエラー",
                      "<p>メールアドレスかパスワードが違います。</p>\n"
                      "<form action=\"/login\"><input type=\"submit\" "
                      "value=\"戻る\"></form>");
        }
        {
          std::lock_guard<std::mutex> lock(sonetMutex_);
          states_[id] = State{member ? "member" : "mail", false};
          lastKind_ = states_[id].kind;
        }
        redirect(res, "/");
      });

  svr.Get("/manage",
          [this](const httplib::Request &req, httplib::Response &res) {
            if (!loggedIn(req))
              return html(res, "So-netブログ", kLoginRequired, 403);
            html(res, "管理ページ",
                 "<h1>管理ページ</h1>\n<p><a href=\"/manage/articles\">"
                 "記事管理</a></p>\n" +
                     menu());
          });

  svr.Get("/manage/articles", [this](const httplib::Request &req,
                                     httplib::Response &res) {
    if (!loggedIn(req))
      return html(res, "So-netブログ", kLoginRequired, 403);
    const State s = stateOf(sessionOf(req));
    if (options().reauthentication && !s.reauthenticated) {
      std::string form = "<h1>再認証</h1>\n<form method=\"post\" "
                         "action=\"/reauth\">\n";
      if (s.kind == "mail")
        form += "<p>メールアドレス <input type=\"text\" "
                "name=\"mailAddress\"></p>\n<p>パスワード <input "
                "type=\"password\" name=\"password\"></p>\n<p><input "
                "type=\"submit\" value=\"ログイン\"></p>\n";
      else
        form += "<p>パスワード <input type=\"password\" "
                "name=\"SSO_COMMON_PWD\"></p>\n<p><input type=\"submit\" "
                "value=\"認証\"></p>\n";
      return html(res, "再認証", form + "</form>");
    }
    html(res, "記事管理",
         "<h1>記事管理</h1>\n<p><a href=\"/manage/files\">ファイル管理</a>"
         "</p>\n" +
             menu());
  });

  svr.Post("/reauth",
           [this](const httplib::Request &req, httplib::Response &res) {
             if (!loggedIn(req))
               return html(res, "So-netブログ", kLoginRequired, 403);
             const std::string id = sessionOf(req);
             const Options o = options();
             const State s = stateOf(id);
             const bool ok = s.kind == "mail"
                                 ? field(req, "mailAddress") == o.mailAddress &&
                                       field(req, "password") == o.password
                                 : field(req, "SSO_COMMON_PWD") == o.password;
             if (ok) {
               std::lock_guard<std::mutex> lock(sonetMutex_);
               states_[id].reauthenticated = true;
               ++reauths_;
             }
             redirect(res, "/manage/articles");
           });

  auto filesPage = [this](const std::string &result) {
    return "<h1>ファイル管理</h1>\n" + result +
           "<form method=\"post\" action=\"/manage/files\" "
           "enctype=\"multipart/form-data\">\n<p><input type=\"file\" "
           "name=\"upload__file\"></p>\n<p><input type=\"submit\" "
           "value=\"アップロード\"></p>\n</form>\n" +
           menu();
  };

  svr.Get("/manage/files", [this, filesPage](const httplib::Request &req,
                                             httplib::Response &res) {
    if (!loggedIn(req))
      return html(res, "So-netブログ", kLoginRequired, 403);
    html(res, "ファイル管理", filesPage(""));
  });

  svr.Post("/manage/files", [this, filesPage](const httplib::Request &req,
                                              httplib::Response &res) {
    if (!loggedIn(req))
      return html(res, "So-netブログ", kLoginRequired, 403);
    std::string result;
    for (const auto &u : recordUploads(req))
      result += "<p>アップロードしました: " + escape(u.filename) + "</p>\n";
    html(res, "ファイル管理", filesPage(result));
  });

  svr.Get("/logout",
          [this](const httplib::Request &req, httplib::Response &res) {
            setLoggedIn(sessionOf(req), false);
            html(res, "So-netブログ", "<h1>ログアウトしました</h1>");
          });

  svr.Get("/ui/button.png",
          [](const httplib::Request &, httplib::Response &res) {
            res.set_content(tinyPng(), "image/png");
          });
}

FakeSonet::~FakeSonet() { stop(); }

FakeSonet::Options FakeSonet::options() const {
  std::lock_guard<std::mutex> lock(sonetMutex_);
  return options_;
}

void FakeSonet::setOptions(const Options &options) {
  std::lock_guard<std::mutex> lock(sonetMutex_);
  options_ = options;
}

std::string FakeSonet::lastLoginKind() const {
  std::lock_guard<std::mutex> lock(sonetMutex_);
  return lastKind_;
}

int FakeSonet::reauthentications() const {
  std::lock_guard<std::mutex> lock(sonetMutex_);
  return reauths_;
}

FakeSonet::State FakeSonet::stateOf(const std::string &session) const {
  std::lock_guard<std::mutex> lock(sonetMutex_);
  auto it = states_.find(session);
  return it == states_.end() ? State{} : it->second;
}

std::string FakeSonet::menu() const {
  return "<p class=\"menu\">" + imageLink("/logout", "ログアウト") + "</p>\n";
}

} // namespace fake
