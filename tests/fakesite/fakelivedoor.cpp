#include "fakelivedoor.h"

namespace fake {

namespace {
const std::string kLogout =
    FakeSite::p(FakeSite::link("/logout", "ログアウト")) +
    FakeSite::p(FakeSite::trapLink("ログアウト"));
} // namespace

FakeLivedoor::FakeLivedoor(std::string host) : SiteWith(std::move(host)) {
  setLoginPage("/manage");
  setLogin({"livedoor ID ログイン", "/login", "livedoor_id", "password",
            "/manage", "ログインする"},
           &Options::id, &Options::password);
  addPages({
      {"GET", "/", "livedoor Blog", Gate::Open,
       [](Visit &) {
         return "<h1>livedoor Blog</h1>\n<p>" + trapLink("管理ページの使い方") +
                " " + link("/manage", " 管理ページ ") + " " +
                trapLink("管理ページ") + "</p>\n<p>今日のおすすめ記事</p>";
       }},
      {"GET", "/manage", "管理画面", Gate::Open,
       [this](Visit &v) {
         if (!v.member)
           return loginForm(false, options().loginValue);
         if (options().oldScreenFirst)
           return oldScreenBody(blogOf(v.session));
         return "<h1>管理画面</h1>\n<p>新しい管理画面へようこそ</p>\n<p>" +
                link("/old/", "旧管理画面") + "</p>\n" + kLogout;
       }},
      {"GET", "/old/", "旧管理画面", Gate::Member,
       [this](Visit &v) {
         if (v.req.has_param("blog_id")) {
           const std::string blog = v.req.get_param_value("blog_id");
           std::lock_guard<std::mutex> lock(blogMutex_);
           for (const auto &b : options().blogs)
             if (b == blog)
               chosenBlog_[v.session] = blog;
         }
         return oldScreenBody(blogOf(v.session));
       }},
      {"GET", "/old/files", "ファイルの管理", Gate::Member,
       [this](Visit &v) {
         return "<h1>ファイルの管理・お絵描き</h1>\n" +
                p(link("/old/upload", "ファイルのアップロード")) +
                fileList(blogOf(v.session)) + kLogout;
       }},
      {"GET", "/old/upload", "ファイルのアップロード", Gate::Member,
       [this](Visit &) { return uploadBody(); }},
      {"POST", "/old/upload", "ファイルの管理", Gate::Upload,
       [this](Visit &v) {
         const auto o = options();
         const std::string blog = blogOf(v.session);
         std::string folder;
         for (size_t i = 0; i < o.folders.size(); ++i)
           if (std::to_string(i) == v.field("folder_id_1"))
             folder = o.folders[i];
         const auto got = recordUploads(v.req, blog + "/" + folder, true);
         const bool confirm =
             !got.empty() && !takeOne(&LivedoorOptions::unconfirmedResults);
         return "<h1>ファイルの管理・お絵描き</h1>\n" +
                std::string(
                    confirm ? "<p><strong>設定が完了しました。</strong></p>\n"
                            : "<p>しばらくしてから確認してください。</p>\n") +
                p(link("/old/upload", "ファイルのアップロード")) +
                fileList(blog) + kLogout;
       }},
      logoutPage("/logout", "/", "トップ"),
  });
  serveFiles("/f/");
}

std::string FakeLivedoor::fileUrl(const std::string &blog,
                                  const std::string &name) const {
  for (const auto &u : uploads())
    if (u.filename == name && u.folder.rfind(blog + "/", 0) == 0)
      return url("/f/" + percentEncode(blog) + "/" +
                 percentEncode(u.folder.substr(blog.size() + 1)) + "/" +
                 percentEncode(name));
  return url("/f/" + percentEncode(blog) + "/" + percentEncode(name));
}

std::string FakeLivedoor::blogOf(const std::string &session) const {
  const auto blogs = options().blogs;
  std::lock_guard<std::mutex> lock(blogMutex_);
  auto it = chosenBlog_.find(session);
  if (it != chosenBlog_.end())
    return it->second;
  return blogs.empty() ? std::string() : blogs.front();
}

std::string FakeLivedoor::oldScreenBody(const std::string &blog) const {
  const auto o = options();
  std::string body = "<h1>旧管理画面</h1>\n";
  if (o.blogs.size() > 1) {
    std::string blogs;
    for (const auto &b : o.blogs)
      blogs += option(b, " " + b + " ", b == blog);
    body += form("/old/",
                 "<select name=\"blog_id\">" + blogs + "</select>\n" +
                     submit("変更"),
                 false, "get");
  }
  return body + p("編集中のブログ: " + escape(blog)) +
         p(link("/old/files", "ファイルの管理・お絵描き")) + kLogout;
}

std::string FakeLivedoor::uploadBody() const {
  const auto o = options();
  std::string folders;
  for (size_t i = 0; i < o.folders.size(); ++i)
    folders += option(std::to_string(i), o.folders[i]);
  return "<h1>ファイルのアップロード</h1>\n" +
         hiddenDecoys(o.hideFileInput
                          ? std::vector<std::string>{"name_1"}
                          : std::vector<std::string>{"file_1", "name_1"}) +
         form(
             "/old/upload",
             (o.hideFileInput ? "" : p("ファイル " + input("file", "file_1"))) +
                 p("タイトル " + input("text", "name_1")) +
                 "<p>サムネイル <label>" +
                 input("radio", "make_thumbnail_1", "1") +
                 "作成する</label> <label>" +
                 input("radio", "make_thumbnail_1", "0", "checked") +
                 "作成しない</label></p>\n<p>フォルダ <select "
                 "name=\"folder_id_1\">" +
                 folders + "</select></p>\n<p>" +
                 submit("選択したファイルをアップロードする") + "</p>",
             true) +
         kLogout;
}

std::string FakeLivedoor::fileList(const std::string &blog) const {
  std::vector<std::string> files;
  for (const Upload &u : uploads())
    if (u.folder.rfind(blog + "/", 0) == 0)
      files.push_back(link(fileUrl(blog, u.filename), u.filename));
  return "<h2>ファイル一覧</h2>\n" + list(files);
}

} // namespace fake
