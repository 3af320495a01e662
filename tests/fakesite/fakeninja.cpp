#include "fakeninja.h"

#include <algorithm>

namespace fake {

namespace {
const std::string kLogoutImage =
    "<a href=\"/logout.html\"><img src=\"/img-ui/logout.png\" "
    "alt=\"ログアウト\" width=\"80\" height=\"20\"></a>";
} // namespace

FakeNinja::FakeNinja(std::string host) : SiteWith(std::move(host)) {
  setLoginPage("/login.html");
  setLogin({"忍者ブログ ログイン", "/login.html", "login[id]",
            "login[password]", "/tools", "管理ページへログイン"},
           &Options::account, &Options::password);
  addPages({
      {"GET", "/login.html", "忍者ツールズ ログイン", Gate::Open,
       [this](Visit &v) {
         return v.member ? v.redirect("/tools") : loginForm(false);
       }},
      {"GET", "/tools", "ツール一覧", Gate::Member,
       [this](Visit &) {
         // A blog whose name only starts like another's comes first.
         std::string body = "<h1>ツール一覧</h1>\n<div class=\"head\">" +
                            kLogoutImage + "</div>\n<ul>\n";
         const auto blogs = options().blogs;
         for (size_t i = 0; i < blogs.size(); ++i)
           body +=
               "<li>忍者ブログ " + trapLink(blogs[i] + " (旧)") + " " +
               link("/blog/" + std::to_string(i) + "/", " " + blogs[i] + " ") +
               "</li>\n";
         return body + "</ul>" + trapFooter();
       }},
      {"GET", R"(/blog/(\d+)/)", "管理ページ", Gate::Member,
       [this](Visit &v) {
         const std::string blog = blogOf(v);
         if (blog.empty())
           return v.redirect("/tools");
         return "<h1>" + escape(blog) +
                " 管理ページ</h1>\n<div class=\"head\">" + kLogoutImage +
                "</div>\n" +
                list({link("/blog/" + v.arg() + "/files",
                           "ファイルアップロード"),
                      link("/tools", "ツール一覧に戻る")}) +
                trapFooter();
       }},
      {"GET", R"(/blog/(\d+)/files)", "ファイル一覧", Gate::Member,
       [this](Visit &v) {
         const std::string blog = blogOf(v);
         return blog.empty() ? v.redirect("/tools") : listPage(blog, "", "");
       }},
      {"POST", R"(/blog/(\d+)/files)", "ファイル一覧", Gate::Upload,
       [this](Visit &v) {
         const std::string blog = blogOf(v);
         if (blog.empty())
           return v.redirect("/tools");
         const auto o = options();
         const auto got = recordUploads(v.req, blog);
         std::string highlight;
         for (const auto &u : got) {
           const std::string name =
               keep(blog, u.filename, u.bytes, v.field("overwrite") == "1");
           if (!takeOne(&NinjaOptions::missHighlights) &&
               name != o.neverHighlight)
             highlight = name;
         }
         return listPage(blog, uploadResult(got, " をアップロードしました。"),
                         highlight);
       }},
      logoutPage("/logout.html", "/login.html"),
  });
  serveFiles("/files/");
}

std::string FakeNinja::blogOf(const Visit &v) const {
  const auto blogs = options().blogs;
  const size_t n = std::stoul(v.arg());
  return n < blogs.size() ? blogs[n] : std::string();
}

std::string FakeNinja::listPage(const std::string &blog,
                                const std::string &result,
                                const std::string &highlight) const {
  const auto o = options();
  const size_t n =
      std::find(o.blogs.begin(), o.blogs.end(), blog) - o.blogs.begin();
  const std::string self = "/blog/" + std::to_string(n) + "/files";
  const auto names = writeOrder(blog);
  std::string rows;
  for (auto it = names.rbegin(); it != names.rend(); ++it) {
    const std::string &name = *it;
    const std::string shown = o.upperCaseNames ? upper(name) : name;
    const std::string address = fileUrl(blog, name);
    const std::string fileLink =
        o.plainFileLinks
            ? link(address, shown)
            : "<a href=\"#\" onclick=\"insertFile('" + escape(address) +
                  "');return false;\">" + escape(shown) + "</a>";
    rows += "<tr><td>" + input("checkbox", "del[]", name) + "</td><td" +
            (name == highlight ? " class=\"changebg2\"" : " class=\"file\"") +
            ">" + fileLink + "</td></tr>\n";
  }
  return "<h1>" + escape(blog) + " ファイル一覧</h1>\n<div class=\"head\">" +
         kLogoutImage + "</div>\n" + result +
         (result.empty() ? ""
                         : p(link(self, "ファイル一覧に戻る") + " " +
                             trapLink("ファイル一覧に戻る"))) +
         uploadForm(self,
                    (o.hideFileInput ? "" : p(input("file", "file"))) +
                        p("<label>" +
                          input("checkbox", "overwrite", "1",
                                o.overwriteChecked ? "checked" : "") +
                          " 同名のファイルを上書きする</label>"),
                    "アップロード",
                    o.hideFileInput
                        ? std::vector<std::string>{"overwrite"}
                        : std::vector<std::string>{"file", "overwrite"}) +
         "<table class=\"filelist\">\n<tr><th><input type=\"checkbox\" "
         "id=\"checkall\"></th><th>ファイル名</th></tr>\n" +
         rows + "</table>\n" + p(link("/tools", "ツール一覧に戻る")) +
         trapFooter();
}

} // namespace fake
