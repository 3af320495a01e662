#include "fakeseesaa.h"

#include <algorithm>

namespace fake {

namespace {
const std::string kSignOut = "<p>" +
                             FakeSite::link("/signout", "サインアウト") + " " +
                             FakeSite::trapLink("サインアウト") + "</p>\n";
} // namespace

FakeSeesaa::FakeSeesaa(std::string host) : SiteWith(std::move(host)) {
  setLoginPage("/signin");
  setLogin({"サインイン", "/signin", "member__email", "member__password",
            "/mypage", "サインイン"},
           &Options::email, &Options::password);
  addPages({
      {"GET", "/", "Seesaaブログ", Gate::Open,
       [this](Visit &v) {
         const std::string link =
             v.member && !options().signInLinkAlways
                 ? FakeSite::link("/mypage", "ブログを書く")
                 : trapLink("サインインできない時") + " " +
                       FakeSite::link("/signin", " サインイン ");
         return "<h1>Seesaaブログ</h1>\n<div class=\"head\">" + link +
                "</div>\n<p>無料でブログをはじめよう</p>";
       }},
      {"GET", "/signin", "サインイン", Gate::Open,
       [this](Visit &v) { return v.member ? myPageBody() : loginForm(false); }},
      {"GET", "/mypage", "マイページ", Gate::Member,
       [this](Visit &) { return myPageBody(); }},
      {"GET", R"(/blog/([^/]+)/)", "管理画面", Gate::Member,
       [this](Visit &v) {
         if (!knownBlog(v.arg()))
           return v.redirect("/mypage");
         return "<h1>ブログの管理</h1>\n" +
                list({link("/blog/" + v.arg() + "/post", "記事を書く"),
                      link("/blog/" + v.arg() + "/files",
                           "ファイルマネージャ")}) +
                kSignOut;
       }},
      {"GET", R"(/blog/([^/]+)/files)", "ファイルマネージャ", Gate::Member,
       [this](Visit &v) {
         return knownBlog(v.arg()) ? filesBody(v.arg(), "")
                                   : v.redirect("/mypage");
       }},
      {"POST", R"(/blog/([^/]+)/files)", "ファイルマネージャ", Gate::Upload,
       [this](Visit &v) {
         const std::string blog = v.arg();
         if (!knownBlog(blog))
           return v.redirect("/mypage");
         // The list's choice decides the directory; a name typed in the
         // field only counts once its add button has put it into the list.
         const std::string dir = v.field("upload__dirname_select");
         const auto got = recordUploads(v.req, blog + "/" + dir);
         {
           auto list = directories(blog);
           std::lock_guard<std::mutex> lock(dirsMutex_);
           if (std::find(list.begin(), list.end(), dir) == list.end())
             list.push_back(dir);
           dirs_[blog] = list;
         }
         return filesBody(blog, uploadResult(got, " をアップロードしました"));
       }},
      logoutPage("/signout", "/", "トップへ"),
  });
}

std::vector<std::string>
FakeSeesaa::directories(const std::string &blog) const {
  std::lock_guard<std::mutex> lock(dirsMutex_);
  auto it = dirs_.find(blog);
  if (it != dirs_.end())
    return it->second;
  return {"", "images", "Diary"};
}

bool FakeSeesaa::knownBlog(const std::string &id) const {
  for (const Blog &b : options().blogs)
    if (b.id == id)
      return true;
  return false;
}

std::string FakeSeesaa::myPageBody() const {
  std::vector<std::string> blogs;
  for (const Blog &b : options().blogs)
    blogs.push_back(link("/blog/" + b.id + "/", b.name));
  return "<h1>マイページ</h1>\n" + list(blogs, "blogs") + kSignOut;
}

std::string FakeSeesaa::filesBody(const std::string &blog,
                                  const std::string &result) const {
  std::string options;
  for (const std::string &d : directories(blog))
    options += option(d, d.empty() ? "（トップ）" : d);
  std::vector<std::string> stored;
  for (const Upload &u : uploads())
    if (u.folder.rfind(blog + "/", 0) == 0)
      stored.push_back(escape(u.folder.substr(blog.size() + 1)) + "/" +
                       escape(u.filename));
  return "<h1>ファイルマネージャ</h1>\n" + result +
         "<script>\n"
         "function addDirectory() {\n"
         "  var name = "
         "document.getElementsByName('upload__dirname')[1].value;\n"
         "  if (!name) return;\n"
         "  var list = "
         "document.getElementsByName('upload__dirname_select')[1];\n"
         "  var o = document.createElement('option');\n"
         "  o.value = name; o.text = name;\n"
         "  list.appendChild(o);\n"
         "  list.value = name;\n"
         "}\n</script>\n" +
         uploadForm(
             "/blog/" + blog + "/files",
             p(input("file", "upload__file")) +
                 p("ディレクトリ <select name=\"upload__dirname_select\">" +
                   options + "</select>") +
                 p("新しいディレクトリ " + input("text", "upload__dirname") +
                   " " +
                   input("button", "", "追加", "onclick=\"addDirectory()\"")),
             "アップロード",
             {"upload__file", "upload__dirname_select", "upload__dirname"}) +
         "<h2>ファイル一覧</h2>\n" + list(stored) + kSignOut;
}

} // namespace fake
