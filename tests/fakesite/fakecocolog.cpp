#include "fakecocolog.h"

namespace fake {

namespace {
const std::string kMenu =
    "<ul class=\"menu\">\n"
    "<li><a href=\"/t/app/photos\" target=\"_blank\">マイフォト</a></li>\n"
    "<li><a href=\"/t/app/control\" target=\"_blank\">コントロールパネル</a>"
    "</li>\n<li><a href=\"/t/app/logout\" target=\"_blank\">ログアウト</a>"
    "</li>\n</ul>\n";
} // namespace

FakeCocolog::FakeCocolog(std::string host) : SiteWith(std::move(host)) {
  setLoginPage("/t/app");
  setLogin({"ココログにログイン", "/t/app/login", "username", "password",
            "/t/app", "ログイン"},
           &Options::user, &Options::password);
  addPages({
      {"GET", "/t/app", "ココログ", Gate::Open,
       [this](Visit &v) {
         return v.member ? "<h1>ココログ</h1>\n" + kMenu + trapFooter()
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
         return body + trapFooter();
       }},
      {"GET", "/t/app/photos/add", "新しい写真の追加", Gate::Member,
       [](Visit &v) {
         return "<h1>新しい写真の追加</h1>\n" + kMenu +
                uploadForm("/t/app/photos/add?album=" +
                               percentEncode(v.req.get_param_value("album")),
                           p(input("file", "file1")), "写真を追加する",
                           {"file1"}) +
                trapFooter();
       }},
      {"POST", "/t/app/photos/add", "アップロード結果", Gate::Upload,
       [this](Visit &v) {
         const auto albums = options().albums;
         const size_t n = std::stoul("0" + v.req.get_param_value("album"));
         return n < albums.size() ? posted(v, trim(albums[n]), "/t/app/photos")
                                  : v.redirect("/t/app/photos");
       }},
      {"GET", "/t/app/control", "コントロールパネル", Gate::Member,
       [](Visit &) {
         return "<h1>コントロールパネル</h1>\n" + kMenu + "<ul><li>" +
                link("/t/app/entries", "記事") +
                "</li>\n<li><a href=\"/t/app/files\" target=\"_blank\">"
                "ファイル</a></li></ul>" +
                trapFooter();
       }},
      {"GET", "/t/app/files", "ファイル", Gate::Member,
       [this](Visit &v) {
         const std::string folder = v.req.get_param_value("folder");
         std::vector<std::string> links;
         for (const auto &f : options().folders)
           links.push_back(link("/t/app/files?folder=" + percentEncode(f), f));
         return "<h1>ファイル: /" + escape(folder) + "</h1>\n" + kMenu +
                list(links) +
                uploadForm("/t/app/files?folder=" + percentEncode(folder),
                           p(input("file", "file")), "アップロード", {"file"}) +
                trapFooter();
       }},
      {"POST", "/t/app/files", "アップロード結果", Gate::Upload,
       [this](Visit &v) {
         return posted(v, v.req.get_param_value("folder"), "/t/app/files");
       }},
      logoutPage("/t/app/logout", "/t/app"),
  });
}

std::string FakeCocolog::posted(Visit &v, const std::string &folder,
                                const std::string &back) {
  const auto got = recordUploads(v.req, folder);
  return "<h1>アップロード結果</h1>\n" + kMenu +
         uploadResult(got, " を追加しました。") + p(link(back, "一覧へ"));
}

} // namespace fake
