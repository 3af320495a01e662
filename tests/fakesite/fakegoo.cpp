#include "fakegoo.h"

namespace fake {

namespace {
const std::string kLogout =
    FakeSite::form("/logout", FakeSite::submit("ログアウト")) +
    FakeSite::trapButton("ログアウト");
} // namespace

FakeGoo::FakeGoo(std::string host) : SiteWith(std::move(host)) {
  setLoginPage("/login");
  // The alt has a TAB inside.
  setLogin({"gooIDでログイン", "/login", "uname", "pass", "/admin/",
            "ログ\tイン", true},
           &Options::user, &Options::password);
  addPages({
      {"GET", "/", "gooブログ", Gate::Open,
       [](Visit &v) {
         // The login link's text is a picture: only its markup says
         // "ログイン".
         const std::string account =
             v.member ? form("/admin/", submit("作成・編集"), false, "get") +
                            trapButton("作成・編集")
                      : "<a href=\"/login\"><img src=\"/img-ui/login.png\" "
                        "alt=\"ログイン\" width=\"64\" height=\"20\"></a> " +
                            trapLink("ログインヘルプ");
         return "<h1>gooブログ</h1>\n<p>" + link("/help", "ヘルプ") +
                "</p>\n<div class=\"account\">" + account +
                "</div>\n<p>人気の記事</p>";
       }},
      {"GET", "/login", "gooID ログイン", Gate::Open,
       [this](Visit &) { return loginForm(false); }},
      {"GET", "/admin/", "管理画面", Gate::Member,
       [](Visit &) {
         return "<h1>管理画面</h1>\n" +
                list({link("/admin/entry", "記事を書く"),
                      trapLink("画像フォルダ設定"),
                      link("/admin/image", " 画像フォルダ "),
                      trapLink("画像フォルダ")}) +
                kLogout;
       }},
      {"GET", "/admin/image", "画像フォルダ", Gate::Member,
       [this](Visit &) { return uploadBody(""); }},
      {"POST", "/admin/image", "画像フォルダ", Gate::Upload,
       [this](Visit &v) {
         return uploadBody(
             uploadResult(recordUploads(v.req), " をアップロードしました。"));
       }},
      logoutPage("/logout", "/", "gooブログ", "POST"),
  });
}

std::string FakeGoo::uploadBody(const std::string &result) const {
  static const char *const kLabels[] = {"ブログ標準", "オリジナルサイズ",
                                        "動画"};
  const auto o = options();
  std::string sizes;
  for (size_t i = 0; i < o.sizeValues.size(); ++i)
    sizes += "<label>" +
             input("radio", "upload_size", o.sizeValues[i],
                   i == 0 ? "checked" : "") +
             " " + kLabels[i % 3] + "</label>\n";
  return "<h1>画像フォルダ</h1>\n" + result +
         uploadForm("/admin/image",
                    p(sizes) + p(input("file", "userfile[0]")) +
                        p("タイトル " + input("text", "raw_title[0]")),
                    "アップロード", {"userfile[0]", "raw_title[0]"}) +
         kLogout;
}

} // namespace fake
