#include "fakesonet.h"

namespace fake {

namespace {
std::string imageLink(const std::string &href, const std::string &alt) {
  return "<a href=\"" + href + "\"><img src=\"/img-ui/button.png\" alt=\"" +
         alt + "\" width=\"80\" height=\"24\"></a>";
}
// The first log-out picture is the one to take.
const std::string kMenu = "<p class=\"menu\">" +
                          imageLink("/logout", "ログアウト") + "</p>\n<p>" +
                          imageLink("/trap/logout", "ログアウト") + "</p>\n";

std::string mailFields() {
  return FakeSite::p("メールアドレス " +
                     FakeSite::input("text", "mailAddress")) +
         FakeSite::p("パスワード " + FakeSite::input("password", "password")) +
         "<p>" + FakeSite::submit("ログイン") + "</p>";
}

std::string filesPage(const std::string &result) {
  return "<h1>ファイル管理</h1>\n" + result +
         FakeSite::uploadForm(
             "/manage/files",
             FakeSite::p(FakeSite::input("file", "upload__file")),
             "アップロード", {"upload__file"}) +
         kMenu;
}
} // namespace

FakeSonet::FakeSonet(std::string host) : SiteWith(std::move(host)) {
  addPages({
      {"GET", "/", "So-netブログ", Gate::Open,
       [](Visit &v) {
         return "<h1>So-netブログ</h1>\n" +
                (v.member ? p(trapLink("管理ページの使い方") + " " +
                              link("/manage", " 管理ページ ")) +
                                kMenu
                          : p(imageLink("/login", " ログイン ")));
       }},
      {"GET", "/login", "ログイン", Gate::Open,
       [](Visit &) {
         return "<h1>ログイン</h1>\n" +
                hiddenDecoys({"SSO_COMMON_ID", "SSO_COMMON_PWD", "mailAddress",
                              "password"}) +
                form(
                    "/login",
                    "<h2>So-net会員</h2>\n" +
                        p("ユーザーID " + input("text", "SSO_COMMON_ID")) +
                        p("パスワード " + input("password", "SSO_COMMON_PWD")) +
                        "<h2>メールアドレスID</h2>\n" + mailFields()) +
                trapButton("ログイン");
       }},
      {"POST", "/login", "ログインエラー", Gate::Open,
       [this](Visit &v) {
         const auto o = options();
         const bool member = !v.field("SSO_COMMON_ID").empty();
         const bool ok = member ? v.field("SSO_COMMON_ID") == o.memberId &&
                                      v.field("SSO_COMMON_PWD") == o.password
                                : v.field("mailAddress") == o.mailAddress &&
                                      v.field("password") == o.password;
         setLoggedIn(v.session, ok);
         if (!ok)
           return member ? v.redirect("/login")
                         : "<p>メールアドレスかパスワードが違います。</p>\n" +
                               form("/login", submit("戻る"), false, "get");
         {
           std::lock_guard<std::mutex> lock(stateMutex_);
           states_[v.session] = State{member ? "member" : "mail", false};
           lastKind_ = states_[v.session].kind;
         }
         return v.redirect("/");
       }},
      {"GET", "/manage", "管理ページ", Gate::Upload,
       [](Visit &) {
         return "<h1>管理ページ</h1>\n<p>" +
                link("/manage/articles", "記事管理") + "</p>\n" + kMenu;
       }},
      {"GET", "/manage/articles", "記事管理", Gate::Upload,
       [this](Visit &v) {
         const State s = stateOf(v.session);
         if (!options().reauthentication || s.reauthenticated)
           return "<h1>記事管理</h1>\n<p>" +
                  link("/manage/files", "ファイル管理") + "</p>\n" + kMenu;
         return "<h1>再認証</h1>\n" +
                form("/reauth", s.kind == "mail"
                                    ? mailFields()
                                    : p("パスワード " +
                                        input("password", "SSO_COMMON_PWD")) +
                                          "<p>" + submit("認証") + "</p>");
       }},
      {"POST", "/reauth", "", Gate::Upload,
       [this](Visit &v) {
         const auto o = options();
         const bool ok = stateOf(v.session).kind == "mail"
                             ? v.field("mailAddress") == o.mailAddress &&
                                   v.field("password") == o.password
                             : v.field("SSO_COMMON_PWD") == o.password;
         if (ok) {
           std::lock_guard<std::mutex> lock(stateMutex_);
           states_[v.session].reauthenticated = true;
           ++reauths_;
         }
         return v.redirect("/manage/articles");
       }},
      {"GET", "/manage/files", "ファイル管理", Gate::Upload,
       [](Visit &) { return filesPage(""); }},
      {"POST", "/manage/files", "ファイル管理", Gate::Upload,
       [this](Visit &v) {
         return filesPage(
             uploadResult(recordUploads(v.req), " をアップロードしました"));
       }},
      logoutPage("/logout", "/", "トップ"),
  });
}

std::string FakeSonet::lastLoginKind() const {
  std::lock_guard<std::mutex> lock(stateMutex_);
  return lastKind_;
}

int FakeSonet::reauthentications() const {
  std::lock_guard<std::mutex> lock(stateMutex_);
  return reauths_;
}

FakeSonet::State FakeSonet::stateOf(const std::string &session) const {
  std::lock_guard<std::mutex> lock(stateMutex_);
  auto it = states_.find(session);
  return it == states_.end() ? State{} : it->second;
}

} // namespace fake
