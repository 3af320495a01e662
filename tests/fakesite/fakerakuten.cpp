#include "fakerakuten.h"

namespace fake {

namespace {
const std::string kMenu =
    "<ul class=\"menu\">\n<li><a href=\"/photo/upload\" target=\"_blank\">"
    "フォトをアップロード</a></li>\n<li><a href=\"/logout\" "
    "target=\"_blank\">ログアウト</a></li>\n</ul>\n";
} // namespace

FakeRakuten::FakeRakuten(std::string host) : SiteWith(std::move(host)) {
  setLogin({"楽天会員ログイン", "/login", "u", "p", "/mypage", "ログインする"},
           &Options::user, &Options::password);
  addPages({
      {"GET", "/", "楽天ブログ", Gate::Open,
       [this](Visit &v) {
         return v.member ? "<h1>楽天ブログ</h1>\n" + kMenu + trapFooter()
                         : loginForm(false);
       }},
      {"GET", "/mypage", "マイページ", Gate::Member,
       [](Visit &) {
         return "<h1>マイページ</h1>\n" + kMenu +
                "<p>今日の日記を書きましょう。</p>" + trapFooter();
       }},
      {"GET", "/photo/upload", "フォトをアップロード", Gate::Member,
       [this](Visit &) { return uploadBody(""); }},
      {"POST", "/photo/upload", "フォトをアップロード", Gate::Upload,
       [this](Visit &v) {
         const auto o = options();
         const size_t n = std::stoul("0" + v.field("album"));
         if (n >= o.albums.size())
           return uploadBody("<p class=\"error\">アルバムを選んでください</p>");
         // The album as the service knows it, without the list's padding.
         const auto got = recordUploads(v.req, trim(o.albums[n]));
         if (got.empty())
           return uploadBody(uploadResult(got, ""));
         std::string urls;
         for (const auto &u : got)
           urls +=
               (urls.empty() ? "" : "\n") + pictureUrl(++pictures_, u.filename);
         return uploadBody(p("アップロードしました。") +
                           p("<textarea rows=\"2\" cols=\"60\" readonly>" +
                             escape(o.emptyResultText ? "" : urls) +
                             "</textarea>"));
       }},
      logoutPage("/logout", "/"),
  });
}

std::string FakeRakuten::uploadBody(const std::string &result) const {
  const auto o = options();
  std::string albums;
  for (size_t i = 0; i < o.albums.size(); ++i)
    albums += option(std::to_string(i), o.albums[i]);
  // A later text area holds an older picture's address.
  return "<h1>フォトをアップロード</h1>\n" + kMenu + result +
         hiddenDecoys({"image[]", "name[]"}) +
         form("/photo/upload",
              p("アルバム <select name=\"album\">" + albums + "</select>") +
                  p(input("file", "image[]")) +
                  p("ファイル名 " + input("text", "name[]")) + "<p>" +
                  imageButton("フォトをアップロード") + "</p>",
              true) +
         form("/trap/upload", imageButton("フォトをアップロード")) +
         "<p><textarea readonly>http://trap.localhost/old.jpg</textarea></p>" +
         trapFooter();
}

} // namespace fake
