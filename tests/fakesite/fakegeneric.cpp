#include "fakegeneric.h"

namespace fake {

FakeGeneric::FakeGeneric(std::string host) : SiteWith(std::move(host)) {
  setLoginPage("/login");
  addPages({
      {"GET", "/", "マイブログ", Gate::Open,
       [this](Visit &) {
         const auto o = options();
         return "<h1>マイブログ</h1>\n" +
                (o.signInText.empty()
                     ? ""
                     : "<p>" + link("/login", o.signInText) + "</p>\n") +
                "<div class=\"entry\"><p>今日もいい天気。</p></div>";
       }},
      {"GET", "/login", "ログイン", Gate::Open,
       [this](Visit &v) { return loginBody(options(), v.member); }},
      loginPost(
          "/login", "ログイン",
          [this](const Visit &v) {
            const auto o = options();
            return v.field(o.userField) == o.user &&
                   v.field(o.passwordField) == o.password;
          },
          "/home",
          [this](bool) {
            return "<p class=\"error\">IDまたはパスワードが違います。</p>\n" +
                   loginBody(options(), false);
          }),
      {"GET", "/home", "管理ページ", Gate::Member,
       [this](Visit &) {
         const auto o = options();
         return "<h1>管理ページ</h1>\n<p>" +
                link(o.link2Text.empty() ? "/upload" : "/page1", o.link1Text) +
                "</p>";
       }},
      {"GET", "/page1", "ファイル管理", Gate::Member,
       [this](Visit &) {
         return "<h1>ファイル管理</h1>\n<p>" +
                link("/upload", options().link2Text) + "</p>";
       }},
      {"GET", "/upload", "アップロード", Gate::Member,
       [this](Visit &) { return uploadForm(options()); }},
      {"POST", "/upload", "アップロード結果", Gate::Upload,
       [this](Visit &v) {
         const auto o = options();
         const auto got = recordUploads(v.req);
         return "<h1>アップロード結果</h1>\n" +
                uploadResult(got, " をアップロードしました") +
                (o.formAfterUpload ? uploadForm(o) : "");
       }},
  });
}

std::string FakeGeneric::loginBody(const Options &o, bool loggedIn) const {
  if (loggedIn)
    return "<h1>ログイン</h1>\n<p>ログイン中です。</p>\n<p>" +
           link("/home", o.loggedInText) + "</p>";
  return "<h1>ログイン</h1>\n" +
         form("/login",
              p("ID " + input("text", o.userField)) +
                  p("パスワード " + input("password", o.passwordField)) +
                  "<p>" +
                  (o.loginImageButton ? imageButton(o.loginButtonText)
                                      : submit(o.loginButtonText)) +
                  "</p>");
}

std::string FakeGeneric::uploadForm(const Options &o) const {
  std::string f =
      p("<label>" +
        input("checkbox", o.thumbField, "1", o.thumbChecked ? "checked" : "") +
        " サムネイルを作る</label>") +
      p(input("file", o.fileField));
  if (!o.nameField.empty())
    f += p("タイトル " + input("text", o.nameField));
  for (const auto &t : o.textFields)
    f += p(escape(t) + " " + input("text", t));
  if (!o.checkField.empty())
    f += p("<label>" + input("checkbox", o.checkField, "1") +
           " 公開する</label>");
  return form("/upload", f + "<p>" + submit(o.submitText) + "</p>", true);
}

} // namespace fake
