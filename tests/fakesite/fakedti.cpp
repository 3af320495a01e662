#include "fakedti.h"

namespace fake {

namespace {
const std::string kMenu =
    FakeSite::list({FakeSite::link("/admin/", "管理トップ"),
                    FakeSite::trapLink("ファイルアップロード設定"),
                    FakeSite::link("/admin/upload", " ファイルアップロード "),
                    FakeSite::link("/logout", "ログアウト")},
                   "menu");
} // namespace

FakeDti::FakeDti(std::string host) : SiteWith(std::move(host)) {
  setLoginPage("/login.html");
  setLogin({"DTIブログ 管理画面ログイン", "/login", "id", "pass", "/admin/",
            "管理画面へログイン"},
           &Options::id, &Options::password);
  addPages({
      {"GET", "/login.html", "DTIブログ ログイン", Gate::Open,
       [this](Visit &v) {
         return v.member ? v.redirect("/admin/") : loginForm(false);
       }},
      {"GET", "/admin/", "管理画面", Gate::Member,
       [](Visit &) { return "<h1>管理画面</h1>\n" + kMenu + trapFooter(); }},
      {"GET", "/admin/upload", "ファイルアップロード", Gate::Member,
       [this](Visit &) { return uploadBody(false); }},
      {"POST", "/admin/upload", "ファイルアップロード", Gate::Upload,
       [this](Visit &v) {
         recordUploads(v.req);
         return uploadBody(takeOne(&DtiOptions::unlistedResults));
       }},
      logoutPage("/logout", "/login.html", "ログイン画面へ"),
  });
}

std::string FakeDti::uploadBody(bool hideNewest) const {
  const auto o = options();
  auto files = uploads();
  if (hideNewest && !files.empty())
    files.pop_back();
  std::string rows;
  int n = 0;
  for (const Upload &u : files) {
    const std::string name = o.upperCaseNames ? upper(u.filename) : u.filename;
    rows += "<tr><td class=\"cell1\">" + std::to_string(++n) +
            "</td><td class=\"cell2\">" + std::to_string(u.bytes.size()) +
            "</td><td class=\"cell6\"> " + escape(name) + " </td></tr>\n";
  }
  return "<h1>ファイルアップロード</h1>\n" + kMenu +
         uploadForm("/admin/upload",
                    p("<label>" + input("checkbox", "thumb", "1") +
                      " 標準サイズ画像を作る</label>") +
                        p(input("file", "upfile")),
                    "アップロード", {"thumb", "upfile"}) +
         "<table class=\"files\">\n<tr><th>No</th><th>サイズ</th>"
         "<th>ファイル名</th></tr>\n" +
         rows + "</table>" + trapFooter();
}

} // namespace fake
