#include "fakecsc.h"

namespace fake {

namespace {
const std::string kMenu = FakeSite::list(
    {FakeSite::link("/", "ホーム"), FakeSite::link("/image/", "画像の管理"),
     FakeSite::trapLink("ログアウト履歴"),
     FakeSite::link("/logout", " ログアウト ")},
    "menu");
} // namespace

FakeCsc::FakeCsc(std::string host) : SiteWith(std::move(host)) {
  setLogin({"CSCブログ", "/login", "data[user][email]", "data[user][password]",
            "/", "ログイン", false, "login"},
           &Options::email, &Options::password);
  addPages({
      {"GET", "/", "CSCブログ", Gate::Open,
       [this](Visit &v) {
         if (!v.member)
           return loginForm(false);
         const auto o = options();
         return "<h1>CSCブログ</h1>\n<div class=\"fb12\">ようこそ、" +
                escape(o.greetingName.empty() ? o.email : o.greetingName) +
                "さん</div>\n" + kMenu + trapFooter();
       }},
      {"GET", "/image/", "画像の管理", Gate::Member,
       [this](Visit &) { return imagePage(""); }},
      {"POST", "/image/", "画像の管理", Gate::Upload,
       [this](Visit &v) {
         const auto got = recordUploads(v.req, "", true);
         return imagePage(uploadResult(got, " を追加しました"));
       }},
      logoutPage("/logout", "/"),
  });
}

std::string FakeCsc::imagePage(const std::string &result) const {
  std::vector<std::string> images;
  for (const auto &f : stored())
    images.push_back(escape(f.first));
  return "<h1>画像の管理</h1>\n" + kMenu + result +
         uploadForm("/image/", p(input("file", "data[image][file_image1]")),
                    "画像を追加する", {"data[image][file_image1]"}) +
         "<h2>登録済みの画像</h2>\n" + list(images) + trapFooter();
}

} // namespace fake
