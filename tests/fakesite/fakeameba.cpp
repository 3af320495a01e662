#include "fakeameba.h"

namespace fake {

namespace {
const std::string kLogout = "<p>" + FakeSite::link("/logout", "ログアウト") +
                            " " + FakeSite::trapLink("ログアウト") + "</p>\n";

} // namespace

FakeAmeba::FakeAmeba(std::string host) : SiteWith(std::move(host)) {
  setLogin({"Ameba ログイン", "/login", "amebaid", "password", "/",
            "Ameba (アメーバ)ログイン", true},
           &Options::amebaid, &Options::password);
  addPages({
      {"GET", "/", "Ameba", Gate::Open,
       [this](Visit &v) {
         const auto o = options();
         if (!v.member)
           return loginForm(false, o.loginAlt);
         const std::string account =
             o.shownAccount.empty() ? o.amebaid : o.shownAccount;
         return "<h1>マイページ</h1>\n<div class=\"profile\"><h2 "
                "id=\"amebaid\">アメーバID</h2>" +
                link("/profile/" + percentEncode(account) + "/", account) +
                "</div>\n<ul><li>" + link("/entry/new", "記事を書く") +
                "</li></ul>\n" + kLogout;
       }},
      {"GET", "/entry/new", "記事を書く", Gate::Member,
       [](Visit &) {
         return "<h1>記事を書く</h1>\n<p>" + trapLink("画像フォルダ設定") +
                " " + link("/image/folder", " 画像フォルダ ") + " " +
                trapLink("画像フォルダ") +
                "</p>\n<form><p>タイトル <input type=\"text\" "
                "name=\"entry_title\"></p><p><textarea "
                "name=\"entry_text\"></textarea></p></form>\n" +
                kLogout;
       }},
      {"GET", "/image/folder", "画像フォルダ", Gate::Member,
       [this](Visit &) { return folderPage(""); }},
      {"POST", "/image/folder", "画像フォルダ", Gate::Upload,
       [this](Visit &v) {
         const auto got = recordUploads(v.req);
         for (const auto &u : got)
           keep("", u.filename, v.field("image_title[0]") + '\0' + u.bytes);
         return folderPage(uploadResult(got, " をアップロードしました"));
       }},
      logoutPage("/logout", "/"),
  });
}

std::map<std::string, FakeAmeba::Image> FakeAmeba::stored() const {
  // Each file is kept as its title, a NUL and its bytes.
  std::map<std::string, Image> out;
  for (const auto &f : storedIn("")) {
    const auto nul = f.second.find('\0');
    out[f.first] = {f.second.substr(0, nul), f.second.substr(nul + 1)};
  }
  return out;
}

std::string FakeAmeba::folderPage(const std::string &result) const {
  std::vector<std::string> images;
  for (const auto &f : stored())
    images.push_back(escape(f.second.title) + " (" + escape(f.first) + ")");
  return "<h1>画像フォルダ</h1>\n" + result +
         uploadForm("/image/folder",
                    p(input("file", "image_file[0]")) +
                        p("タイトル " + input("text", "image_title[0]")),
                    "アップロード", {"image_file[0]", "image_title[0]"}) +
         "<h2>画像一覧</h2>\n" + list(images) + kLogout;
}

} // namespace fake
