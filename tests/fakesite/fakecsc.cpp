#include "fakecsc.h"

namespace fake {

namespace {
const std::string kMenu =
    "<ul class=\"menu\">\n<li>" + FakeSite::link("/", "ホーム") +
    "</li>\n<li>" + FakeSite::link("/image/", "画像の管理") + "</li>\n<li>" +
    FakeSite::trapLink("ログアウト履歴") + "</li>\n<li>" +
    FakeSite::link("/logout", " ログアウト ") + "</li>\n</ul>\n";
const std::string kFooter = "<p>" + FakeSite::trapLink("ログアウト") + "</p>";
} // namespace

FakeCsc::FakeCsc(std::string host) : SiteWith(std::move(host)) {
  setLogin(
      {"CSCブログ", "/login", "data[user][email]", "data[user][password]", "/",
       "ログイン", false, "login"},
      [this] { return std::make_pair(options().email, options().password); });
  addPages({
      {"GET", "/", "CSCブログ", Gate::Open,
       [this](Visit &v) {
         if (!v.member)
           return loginForm(false);
         const auto o = options();
         return "<h1>CSCブログ</h1>\n<div class=\"fb12\">ようこそ、" +
                escape(o.greetingName.empty() ? o.email : o.greetingName) +
                "さん</div>\n" + kMenu + kFooter;
       }},
      {"GET", "/image/", "画像の管理", Gate::Member,
       [this](Visit &) { return imagePage(""); }},
      {"POST", "/image/", "画像の管理", Gate::Upload,
       [this](Visit &v) {
         const auto got = recordUploads(v.req);
         for (const auto &u : got)
           keep("", u.filename, u.bytes);
         return imagePage(uploadResult(got, " を追加しました"));
       }},
      logoutPage("/logout", "/"),
  });
}

std::string FakeCsc::imagePage(const std::string &result) const {
  std::string list;
  for (const auto &f : stored())
    list += "<li>" + escape(f.first) + "</li>\n";
  return "<h1>画像の管理</h1>\n" + kMenu + result +
         hiddenDecoys({"data[image][file_image1]"}) +
         form("/image/",
              "<p>" + input("file", "data[image][file_image1]") + "</p>\n<p>" +
                  submit("画像を追加する") + "</p>",
              true) +
         trapButton("画像を追加する") + "<h2>登録済みの画像</h2>\n<ul>\n" +
         list + "</ul>" + kFooter;
}

} // namespace fake
