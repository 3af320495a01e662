#include "fakeseesaa.h"

#include <algorithm>

namespace fake {

namespace {
const char kSignOut[] = "<p><a href=\"/signout\">サインアウト</a></p>\n";
const char kTopLabel[] = "（トップ）";
} // namespace

FakeSeesaa::FakeSeesaa(std::string host) : FakeSite(std::move(host)) {
  auto &svr = server();

  svr.Get("/", [this](const httplib::Request &req, httplib::Response &res) {
    const bool in = isLoggedIn(ensureSession(req, res));
    std::string link = in && !options().signInLinkAlways
                           ? "<a href=\"/mypage\">ブログを書く</a>"
                           : "<a href=\"/signin\">サインイン</a>";
    html(res, "Seesaaブログ",
         "<h1>Seesaaブログ</h1>\n<div class=\"head\">" + link +
             "</div>\n<p>無料でブログをはじめよう</p>");
  });

  svr.Get("/signin",
          [this](const httplib::Request &req, httplib::Response &res) {
            if (isLoggedIn(ensureSession(req, res)))
              return html(res, "マイページ", myPageBody(options()));
            html(res, "サインイン", signInBody(false));
          });

  svr.Post("/signin",
           [this](const httplib::Request &req, httplib::Response &res) {
             const std::string id = ensureSession(req, res);
             const Options o = options();
             if (field(req, "member__email") == o.email &&
                 field(req, "member__password") == o.password) {
               setLoggedIn(id, true);
               return redirect(res, "/mypage");
             }
             setLoggedIn(id, false);
             html(res, "サインイン", signInBody(true));
           });

  svr.Get("/mypage",
          [this](const httplib::Request &req, httplib::Response &res) {
            if (!isLoggedIn(ensureSession(req, res)))
              return redirect(res, "/signin");
            html(res, "マイページ", myPageBody(options()));
          });

  svr.Get(R"(/blog/([^/]+)/)",
          [this](const httplib::Request &req, httplib::Response &res) {
            if (!isLoggedIn(ensureSession(req, res)))
              return redirect(res, "/signin");
            const Options o = options();
            const Blog *b = findBlog(o, req.matches[1].str());
            if (!b)
              return html(res, "404", "<h1>ブログがありません</h1>", 404);
            html(res, "管理画面",
                 "<h1>" + escape(b->name) +
                     " の管理</h1>\n<ul>\n"
                     "<li><a href=\"/blog/" +
                     b->id +
                     "/post\">記事を書く</a></li>\n"
                     "<li><a href=\"/blog/" +
                     b->id +
                     "/files\">ファイルマネージャ</a></li>\n"
                     "</ul>\n" +
                     kSignOut);
          });

  svr.Get(R"(/blog/([^/]+)/files)",
          [this](const httplib::Request &req, httplib::Response &res) {
            if (!isLoggedIn(ensureSession(req, res)))
              return redirect(res, "/signin");
            const std::string blog = req.matches[1].str();
            if (!findBlog(options(), blog))
              return html(res, "404", "<h1>ブログがありません</h1>", 404);
            html(res, "ファイルマネージャ", filesBody(blog, ""));
          });

  svr.Post(R"(/blog/([^/]+)/files)", [this](const httplib::Request &req,
                                            httplib::Response &res) {
    const std::string blog = req.matches[1].str();
    if (!loggedIn(req) || !findBlog(options(), blog))
      return html(res, "403 Forbidden", "<h1>サインインしてください</h1>", 403);
    // The list's choice decides the directory; a name typed in the field
    // only counts once its add button has put it into the list.
    const std::string dir = field(req, "upload__dirname_select");
    const auto got = recordUploads(req, blog + "/" + dir);
    {
      std::lock_guard<std::mutex> lock(seesaaMutex_);
      auto &list = dirs_[blog];
      if (std::find(list.begin(), list.end(), dir) == list.end())
        list.push_back(dir);
    }
    std::string result;
    for (const auto &u : got)
      result += "<p class=\"info\">" + escape(u.filename) +
                " をアップロードしました</p>\n";
    if (got.empty())
      result = "<p class=\"error\">ファイルを選択してください</p>\n";
    html(res, "ファイルマネージャ", filesBody(blog, result));
  });

  svr.Get("/signout", [this](const httplib::Request &req,
                             httplib::Response &res) {
    setLoggedIn(sessionOf(req), false);
    html(res, "サインアウト",
         "<h1>サインアウトしました</h1>\n<p><a href=\"/\">トップへ</a></p>");
  });
}

FakeSeesaa::~FakeSeesaa() { stop(); }

FakeSeesaa::Options FakeSeesaa::options() const {
  std::lock_guard<std::mutex> lock(seesaaMutex_);
  return options_;
}

void FakeSeesaa::setOptions(const Options &options) {
  std::lock_guard<std::mutex> lock(seesaaMutex_);
  options_ = options;
}

std::vector<std::string>
FakeSeesaa::directories(const std::string &blog) const {
  std::lock_guard<std::mutex> lock(seesaaMutex_);
  auto it = dirs_.find(blog);
  if (it != dirs_.end())
    return it->second;
  return {"", "images", "Diary"};
}

const FakeSeesaa::Blog *FakeSeesaa::findBlog(const Options &o,
                                             const std::string &id) const {
  for (const Blog &b : o.blogs)
    if (b.id == id)
      return &b;
  return nullptr;
}

std::string FakeSeesaa::signInBody(bool failed) const {
  std::string body = "<h1>サインイン</h1>\n";
  if (failed)
    body += "<p class=\"error\">メールアドレスまたはパスワードが"
            "違います。</p>\n";
  return body +
         "<form method=\"post\" action=\"/signin\">\n"
         "<p>メールアドレス <input type=\"text\" name=\"member__email\"></p>\n"
         "<p>パスワード <input type=\"password\" "
         "name=\"member__password\"></p>\n"
         "<p><input type=\"submit\" value=\"サインイン\"></p>\n</form>";
}

std::string FakeSeesaa::myPageBody(const Options &o) const {
  std::string body = "<h1>マイページ</h1>\n<ul class=\"blogs\">\n";
  for (const Blog &b : o.blogs)
    body +=
        "<li><a href=\"/blog/" + b.id + "/\">" + escape(b.name) + "</a></li>\n";
  return body + "</ul>\n" + kSignOut;
}

std::string FakeSeesaa::filesBody(const std::string &blog,
                                  const std::string &result) const {
  std::string options;
  for (const std::string &d : directories(blog))
    options += "<option value=\"" + escape(d) + "\">" +
               escape(d.empty() ? kTopLabel : d) + "</option>";
  std::string stored;
  for (const Upload &u : uploads())
    if (u.folder.rfind(blog + "/", 0) == 0)
      stored += "<li>" + escape(u.folder.substr(blog.size() + 1)) + "/" +
                escape(u.filename) + "</li>\n";
  return "<h1>ファイルマネージャ</h1>\n" + result +
         "<script>\n"
         "function addDirectory() {\n"
         "  var name = "
         "document.getElementsByName('upload__dirname')[0].value;\n"
         "  if (!name) return;\n"
         "  var list = "
         "document.getElementsByName('upload__dirname_select')[0];\n"
         "  var o = document.createElement('option');\n"
         "  o.value = name; o.text = name;\n"
         "  list.appendChild(o);\n"
         "  list.value = name;\n"
         "}\n</script>\n"
         "<form method=\"post\" action=\"/blog/" +
         blog +
         "/files\" enctype=\"multipart/form-data\">\n"
         "<p><input type=\"file\" name=\"upload__file\"></p>\n"
         "<p>ディレクトリ <select name=\"upload__dirname_select\">" +
         options +
         "</select></p>\n"
         "<p>新しいディレクトリ <input type=\"text\" name=\"upload__dirname\">"
         " <input type=\"button\" value=\"追加\" onclick=\"addDirectory()\">"
         "</p>\n"
         "<p><input type=\"submit\" value=\"アップロード\"></p>\n</form>\n"
         "<h2>ファイル一覧</h2>\n<ul>\n" +
         stored + "</ul>\n" + kSignOut;
}

} // namespace fake
