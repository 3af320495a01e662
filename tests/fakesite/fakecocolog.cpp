#include "fakecocolog.h"

namespace fake {

namespace {
const std::string kMenu =
    "<ul class=\"menu\">\n"
    "<li><a href=\"/t/app/photos\" target=\"_blank\">マイフォト</a></li>\n"
    "<li><a href=\"/t/app/control\" target=\"_blank\">コントロールパネル</a>"
    "</li>\n<li><a href=\"/t/app/logout\" target=\"_blank\">ログアウト</a>"
    "</li>\n</ul>\n";
const std::string kFooter = "<p>" + FakeSite::trapLink("ログアウト") + "</p>";

std::string trimmed(const std::string &s) {
  const auto b = s.find_first_not_of(' ');
  return b == std::string::npos ? ""
                                : s.substr(b, s.find_last_not_of(' ') - b + 1);
}
} // namespace

FakeCocolog::FakeCocolog(std::string host) : SiteWith(std::move(host)) {
  setLoginPage("/t/app");
  setLogin(
      {"ココログにログイン", "/t/app/login", "username", "password", "/t/app",
       "ログイン"},
      [this] { return std::make_pair(options().user, options().password); });
  addPages({
      {"GET", "/t/app", "ココログ", Gate::Open,
       [this](Visit &v) {
         return v.member ? "<h1>ココログ</h1>\n" + kMenu + kFooter
                         : loginForm(false);
       }},
      {"GET", "/t/app/photos", "マイフォト", Gate::Member,
       [this](Visit &) {
         std::string body = "<h1>マイフォト</h1>\n" + kMenu;
         const auto albums = options().albums;
         for (size_t i = 0; i < albums.size(); ++i)
           body += "<h4>" + escape(albums[i]) + "</h4>\n<p>写真 " +
                   std::to_string(3 * i + 2) + " 枚</p>\n<p>" +
                   link("/t/app/photos/add?album=" + std::to_string(i),
                        "新しい写真の追加") +
                   "</p>\n";
         return body + kFooter;
       }},
      {"GET", "/t/app/photos/add", "新しい写真の追加", Gate::Member,
       [](Visit &v) {
         return "<h1>新しい写真の追加</h1>\n" + kMenu +
                hiddenDecoys({"file1"}) +
                form("/t/app/photos/add?album=" +
                         percentEncode(v.req.get_param_value("album")),
                     "<p>" + input("file", "file1") + "</p>\n<p>" +
                         submit("写真を追加する") + "</p>",
                     true) +
                trapButton("写真を追加する") + kFooter;
       }},
      {"POST", "/t/app/photos/add", "アップロード結果", Gate::Upload,
       [this](Visit &v) {
         const auto albums = options().albums;
         const size_t n = std::stoul("0" + v.req.get_param_value("album"));
         return n < albums.size()
                    ? posted(v, trimmed(albums[n]), "/t/app/photos")
                    : v.redirect("/t/app/photos");
       }},
      {"GET", "/t/app/control", "コントロールパネル", Gate::Member,
       [](Visit &) {
         return "<h1>コントロールパネル</h1>\n" + kMenu + "<ul><li>" +
                link("/t/app/entries", "記事") +
                "</li>\n<li><a href=\"/t/app/files\" target=\"_blank\">"
                "ファイル</a></li></ul>" +
                kFooter;
       }},
      {"GET", "/t/app/files", "ファイル", Gate::Member,
       [this](Visit &v) {
         const std::string folder = v.req.get_param_value("folder");
         std::string links;
         for (const auto &f : options().folders)
           links += "<li>" +
                    link("/t/app/files?folder=" + percentEncode(f), f) +
                    "</li>\n";
         return "<h1>ファイル: /" + escape(folder) + "</h1>\n" + kMenu +
                "<ul>\n" + links + "</ul>\n" + hiddenDecoys({"file"}) +
                form("/t/app/files?folder=" + percentEncode(folder),
                     "<p>" + input("file", "file") + "</p>\n<p>" +
                         submit("アップロード") + "</p>",
                     true) +
                trapButton("アップロード") + kFooter;
       }},
      {"POST", "/t/app/files", "アップロード結果", Gate::Upload,
       [this](Visit &v) {
         return posted(v, v.req.get_param_value("folder"), "/t/app/files");
       }},
      {"GET", "/t/app/logout", "ログアウト", Gate::Open,
       [this](Visit &v) {
         setLoggedIn(v.session, false);
         return std::string("<h1>ログアウトしました</h1>");
       }},
  });
}

std::string FakeCocolog::posted(Visit &v, const std::string &folder,
                                const std::string &back) {
  const auto got = recordUploads(v.req, folder);
  return "<h1>アップロード結果</h1>\n" + kMenu +
         uploadResult(got, " を追加しました。") + "<p>" + link(back, "一覧へ") +
         "</p>";
}

} // namespace fake
