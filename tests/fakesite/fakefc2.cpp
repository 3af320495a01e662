#include "fakefc2.h"

namespace fake {

namespace {
// The upload link only starts like a look-alike before it and is padded.
const std::string kMenu =
    FakeSite::list({FakeSite::link("/control.php", "管理トップ"),
                    FakeSite::trapLink("ファイルアップロード履歴"),
                    FakeSite::link("/upload.php", " ファイルアップロード "),
                    FakeSite::link("/logout.php", "ログアウト")},
                   "menu");
// First-hit targets take the first of two.
const std::string kFooter = "<p class=\"footer\">" +
                            FakeSite::trapLink("ファイルアップロード") + " " +
                            FakeSite::trapLink("ログアウト") + "</p>";
} // namespace

FakeFc2::FakeFc2(std::string host) : SiteWith(std::move(host)) {
  setLogin({"FC2ID ログイン", "/login.php", "email", "pass", "/control.php",
            "ログイン", true},
           &Options::email, &Options::password);
  addPages({
      {"GET", "/", "FC2ID ログイン", Gate::Open,
       [this](Visit &v) {
         return v.member ? v.redirect("/control.php")
                         : loginForm(false, options().loginAlt);
       }},
      {"GET", "/login.php", "", Gate::Open,
       [](Visit &v) { return v.redirect("/"); }},
      {"GET", "/blog/", "FC2ブログ", Gate::Open,
       [this](Visit &v) {
         const auto o = options();
         // The login link is the last of its text on the page.
         const std::string link =
             v.member || o.adminLinkWhenLoggedOut
                 ? FakeSite::link("/control.php", "・ブログ管理画面へ")
                 : trapLink("ログイン") + " " + trapLink("ログインヘルプ") +
                       " " + FakeSite::link("/", o.loginLinkText);
         return "<h1>FC2ブログ</h1>\n<div class=\"account\">" + link +
                "</div>\n<div class=\"entry\"><h2>今日の日記</h2>"
                "<p>いい天気でした。</p></div>";
       }},
      {"GET", "/control.php", "管理画面", Gate::Open,
       [this](Visit &v) {
         if (!v.member)
           return loginForm(false, options().loginAlt);
         return "<h1>管理画面</h1>\n" + kMenu + "<p>ようこそ " +
                escape(options().email) + " さん</p>\n" + kFooter;
       }},
      {"GET", "/upload.php", "ファイルアップロード", Gate::Open,
       [this](Visit &v) {
         return v.member ? uploadBody("")
                         : loginForm(false, options().loginAlt);
       }},
      {"POST", "/upload.php", "ファイルアップロード", Gate::Upload,
       [this](Visit &v) {
         const auto o = options();
         const bool replace = v.field("overwrite") == "1";
         std::string result;
         const std::string base =
             o.omitResultHttp ? this->host() + ":" + std::to_string(port())
                              : baseUrl();
         const auto got = recordUploads(v.req);
         for (const auto &u : got) {
           const std::string text =
               escape(o.resultPrefix + base + "/file/" +
                      keep("", u.filename, u.bytes, replace));
           result += o.omitResultSpan ? "<p class=\"result\">" + text + "</p>\n"
                                      : "<p><span class=\"result\">" + text +
                                            "</span></p>\n";
         }
         if (got.empty())
           result = uploadResult(got, "");
         return uploadBody(result);
       }},
      logoutPage("/logout.php", "/"),
  });
  serveFiles("/file/");
}

void FakeFc2::setCredentials(const std::string &email,
                             const std::string &password) {
  auto o = options();
  o.email = email;
  o.password = password;
  setOptions(o);
}

std::string FakeFc2::uploadBody(const std::string &result) const {
  const auto o = options();
  std::vector<std::string> files;
  for (const auto &f : storedFiles())
    files.push_back(link("/file/" + percentEncode(f.first), f.first));
  // The browser alone knows the chosen file's name, so the page asks before
  // a same-named file of its list of stored files is replaced.
  const std::string script =
      "<script>\n"
      "function confirmOverwrite(form) {\n"
      "  var sel = form.elements['overwrite'];\n"
      "  var input = form.elements['upfile[]'];\n"
      "  if (!sel || sel.value !== '1' || !input || !input.files)\n"
      "    return true;\n"
      "  var stored = Array.from(document.querySelectorAll('ul.stored a'),\n"
      "                          function (a) { return a.textContent; });\n"
      "  for (var i = 0; i < input.files.length; i++)\n"
      "    if (stored.indexOf(input.files[i].name) >= 0)\n"
      "      return confirm('同じ名前のファイルが既にあります。"
      "上書きしますか？');\n"
      "  return true;\n"
      "}\n</script>\n";
  const std::string fields =
      "<p><label>" +
      input("checkbox", "thumb", "1", o.thumbChecked ? "checked" : "") +
      " サムネイルも作成する</label></p>\n" +
      (o.fileInputHidden
           ? "<p><input type=\"file\" name=\"upfile[]\" id=\"upfile\" "
             "style=\"display:none\"><label for=\"upfile\">ファイルを選択"
             "</label></p>\n"
       : o.hideFileInput ? ""
                         : "<p>" + input("file", "upfile[]") + "</p>\n") +
      "<p>同名ファイル <select name=\"overwrite\">" +
      option("0", "別名で保存") +
      (o.singleOverwriteOption ? "" : option("1", "上書き保存")) +
      "</select></p>\n<p>" + submit("アップロード") + "</p>";
  // An earlier notice reads like the confirmation but lacks its space.
  return "<h1>ファイルアップロード</h1>\n" + kMenu +
         hiddenDecoys(o.hideFileInput
                          ? std::vector<std::string>{"thumb"}
                          : std::vector<std::string>{"thumb", "upfile[]"}) +
         "<p><span>ファイルをアップロードしました :http://trap/</span></p>\n" +
         result + script +
         "<form method=\"post\" action=\"/upload.php\" "
         "enctype=\"multipart/form-data\" "
         "onsubmit=\"" +
         (o.submitLoadsNothing ? "return false"
                               : "return confirmOverwrite(this)") +
         "\">\n" + fields + "\n</form>\n" + trapButton("アップロード") +
         "<h2>アップロード済みファイル</h2>\n" + list(files, "stored") +
         kFooter;
}

} // namespace fake
