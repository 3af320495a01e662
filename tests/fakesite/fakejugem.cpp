#include "fakejugem.h"

namespace fake {

namespace {
const std::string kMenu =
    "<ul class=\"menu\"><li>" + FakeSite::link("/admin/", "管理トップ") +
    "</li><li><a href=\"/logout\"><span>ログアウト</span></a></li></ul>\n";
} // namespace

FakeJugem::FakeJugem(std::string host) : SiteWith(std::move(host)) {
  // Its post goes back to the top page either way, below.
  setLogin({"ログイン", "/login", "account_name", "password", "", "ログイン"},
           nullptr);
  addPages({
      {"GET", "/", "JUGEM", Gate::Open,
       [this](Visit &v) {
         const std::string top =
             v.member ? "<p>ようこそ <span class=\"user\"> " +
                            escape(options().account) + " </span> さん</p>\n"
                      : loginForm(false);
         // The management pages open in a window of their own.
         return "<h1>JUGEM</h1>\n" + top +
                "<p><a href=\"/admin/\" target=\"_blank\">管理者ページ</a></p>";
       }},
      {"POST", "/login", "", Gate::Open,
       [this](Visit &v) {
         const auto o = options();
         setLoggedIn(v.session, v.field("account_name") == o.account &&
                                    v.field("password") == o.password);
         return v.redirect("/");
       }},
      {"GET", "/admin/", "管理者ページ", Gate::Upload,
       [](Visit &) {
         return "<h1>管理者ページ</h1>\n" + kMenu +
                "<p><a href=\"/admin/images/\"><img src=\"/img-ui/images.png\" "
                "alt=\"画像の管理\" width=\"32\" height=\"32\"></a></p>" +
                trapFooter();
       }},
      {"GET", "/admin/images/", "画像の管理", Gate::Upload,
       [](Visit &) {
         return "<h1>画像の管理</h1>\n" + kMenu + "<p>" +
                link("/help/", "画像アップロードの使い方") + "</p>\n<p>" +
                link("/admin/upload", " 画像アップロード ") + "</p>" +
                trapFooter();
       }},
      {"GET", "/help/", "ヘルプ", Gate::Open,
       [](Visit &) {
         return std::string("<h1>画像アップロードの使い方</h1>");
       }},
      {"GET", "/admin/upload", "画像アップロード", Gate::Upload,
       [this](Visit &) {
         return "<h1>画像アップロード</h1>\n" + kMenu + uploadBody();
       }},
      {"POST", "/admin/upload", "画像アップロード", Gate::Upload,
       [this](Visit &v) {
         const bool empty = options().emptyUrlField;
         const auto got = recordUploads(v.req, "", true);
         std::string result;
         for (const auto &u : got)
           result += p("アップロードしました: " + escape(u.filename)) +
                     p("画像のURL " +
                       input("text", "image_alt",
                             empty ? "" : baseUrl() + "/img/" + u.filename,
                             "size=\"60\""));
         if (got.empty())
           result = uploadResult(got, "");
         return "<h1>画像アップロード</h1>\n" + kMenu + result + uploadBody();
       }},
      logoutPage("/logout", "/"),
  });
  serveFiles("/img/");
}

std::string FakeJugem::uploadBody() const {
  // A later address field belongs to an older upload.
  return form(
             "/admin/upload",
             (options().hideFileInput
                  ? ""
                  : p(input("file", "upfile0", "", "id=\"upfile0\""))) +
                 p("代替テキスト " + input("text", "alt0", "", "id=\"alt0\"")) +
                 "<p><label>" +
                 input("radio", "thumb", "1", "id=\"create_thumb\"") +
                 "サムネイルを作成する</label>\n<label>" +
                 input("radio", "thumb", "0",
                       "id=\"not_create_thumb\" checked") +
                 "作成しない</label></p>\n<p>" + submit("アップロード") +
                 "</p>",
             true) +
         "<p>前回の画像 " +
         input("text", "image_alt", "http://trap.localhost/old.png") + "</p>" +
         trapFooter();
}

} // namespace fake
