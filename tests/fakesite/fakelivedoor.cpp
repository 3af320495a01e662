#include "fakelivedoor.h"

namespace fake {

namespace {
const char kLogout[] = "<p><a href=\"/logout\">ログアウト</a></p>\n";
} // namespace

FakeLivedoor::FakeLivedoor(std::string host) : FakeSite(std::move(host)) {
  auto &svr = server();

  svr.Get("/", [this](const httplib::Request &req, httplib::Response &res) {
    ensureSession(req, res);
    html(res, "livedoor Blog",
         "<h1>livedoor Blog</h1>\n<p><a href=\"/manage\">管理ページ</a></p>\n"
         "<p>今日のおすすめ記事</p>");
  });

  svr.Get("/manage",
          [this](const httplib::Request &req, httplib::Response &res) {
            const std::string id = ensureSession(req, res);
            if (!isLoggedIn(id))
              return html(res, "livedoor ID ログイン", loginBody(false));
            const Options o = options();
            if (o.oldScreenFirst)
              return html(res, "旧管理画面", oldScreenBody(o, blogOf(id)));
            html(res, "管理画面", newScreenBody());
          });

  svr.Post("/login",
           [this](const httplib::Request &req, httplib::Response &res) {
             const std::string id = ensureSession(req, res);
             const Options o = options();
             if (field(req, "livedoor_id") == o.id &&
                 field(req, "password") == o.password) {
               setLoggedIn(id, true);
               return redirect(res, "/manage");
             }
             setLoggedIn(id, false);
             html(res, "livedoor ID ログイン", loginBody(true));
           });

  svr.Get("/old/", [this](const httplib::Request &req, httplib::Response &res) {
    const std::string id = ensureSession(req, res);
    if (!isLoggedIn(id))
      return redirect(res, "/manage");
    const Options o = options();
    if (req.has_param("blog_id")) {
      const std::string blog = req.get_param_value("blog_id");
      std::lock_guard<std::mutex> lock(livedoorMutex_);
      for (const auto &b : o.blogs)
        if (b == blog)
          chosenBlog_[id] = blog;
    }
    html(res, "旧管理画面", oldScreenBody(o, blogOf(id)));
  });

  svr.Get("/old/files",
          [this](const httplib::Request &req, httplib::Response &res) {
            const std::string id = ensureSession(req, res);
            if (!isLoggedIn(id))
              return redirect(res, "/manage");
            html(res, "ファイルの管理",
                 "<h1>ファイルの管理・お絵描き</h1>\n"
                 "<p><a href=\"/old/upload\">ファイルのアップロード</a></p>\n" +
                     fileList(blogOf(id)) + kLogout);
          });

  svr.Get("/old/upload",
          [this](const httplib::Request &req, httplib::Response &res) {
            if (!isLoggedIn(ensureSession(req, res)))
              return redirect(res, "/manage");
            html(res, "ファイルのアップロード", uploadBody(options()));
          });

  svr.Post("/old/upload",
           [this](const httplib::Request &req, httplib::Response &res) {
             postUpload(req, res);
           });

  svr.Get(R"(/f/([^/]+)/(.+))",
          [this](const httplib::Request &req, httplib::Response &res) {
            const std::string folder = req.matches[1].str();
            const std::string name = req.matches[2].str();
            for (const Upload &u : uploads())
              if (u.filename == name && u.folder.rfind(folder + "/", 0) == 0)
                return res.set_content(u.bytes, "application/octet-stream");
            html(res, "404", "<h1>ファイルがありません</h1>", 404);
          });

  svr.Get(
      "/logout", [this](const httplib::Request &req, httplib::Response &res) {
        setLoggedIn(sessionOf(req), false);
        html(res, "ログアウト",
             "<h1>ログアウトしました</h1>\n<p><a href=\"/\">トップ</a></p>");
      });
}

FakeLivedoor::~FakeLivedoor() { stop(); }

FakeLivedoor::Options FakeLivedoor::options() const {
  std::lock_guard<std::mutex> lock(livedoorMutex_);
  return options_;
}

void FakeLivedoor::setOptions(const Options &options) {
  std::lock_guard<std::mutex> lock(livedoorMutex_);
  options_ = options;
}

std::string FakeLivedoor::fileUrl(const std::string &blog,
                                  const std::string &name) const {
  return url("/f/" + percentEncode(blog) + "/" + percentEncode(name));
}

std::string FakeLivedoor::blogOf(const std::string &session) const {
  std::lock_guard<std::mutex> lock(livedoorMutex_);
  auto it = chosenBlog_.find(session);
  if (it != chosenBlog_.end())
    return it->second;
  return options_.blogs.empty() ? std::string() : options_.blogs.front();
}

std::string FakeLivedoor::loginBody(bool failed) const {
  std::string body = "<h1>livedoor ID ログイン</h1>\n";
  if (failed)
    body += "<p class=\"error\">IDまたはパスワードが違います。</p>\n";
  return body +
         "<form method=\"post\" action=\"/login\">\n"
         "<p>livedoor ID <input type=\"text\" name=\"livedoor_id\"></p>\n"
         "<p>パスワード <input type=\"password\" name=\"password\"></p>\n"
         "<p><input type=\"submit\" value=\"" +
         escape(options().loginValue) + "\"></p>\n</form>";
}

std::string FakeLivedoor::newScreenBody() const {
  return "<h1>管理画面</h1>\n<p>新しい管理画面へようこそ</p>\n"
         "<p><a href=\"/old/\">旧管理画面</a></p>\n" +
         std::string(kLogout);
}

std::string FakeLivedoor::oldScreenBody(const Options &o,
                                        const std::string &blog) const {
  std::string body = "<h1>旧管理画面</h1>\n";
  if (o.blogs.size() > 1) {
    body += "<form method=\"get\" action=\"/old/\">\n<select name=\"blog_id\">";
    for (const auto &b : o.blogs)
      body += "<option value=\"" + escape(b) + "\"" +
              (b == blog ? " selected" : "") + "> " + escape(b) + " </option>";
    body += "</select>\n<input type=\"submit\" value=\"変更\">\n</form>\n";
  }
  return body + "<p>編集中のブログ: " + escape(blog) +
         "</p>\n<p><a href=\"/old/files\">ファイルの管理・お絵描き</a></p>\n" +
         kLogout;
}

std::string FakeLivedoor::uploadBody(const Options &o) const {
  std::string folders;
  for (size_t i = 0; i < o.folders.size(); ++i)
    folders += "<option value=\"" + std::to_string(i) + "\">" +
               escape(o.folders[i]) + "</option>";
  return "<h1>ファイルのアップロード</h1>\n"
         "<form method=\"post\" action=\"/old/upload\" "
         "enctype=\"multipart/form-data\">\n" +
         std::string(o.hideFileInput ? ""
                                     : "<p>ファイル <input type=\"file\" "
                                       "name=\"file_1\"></p>\n") +
         "<p>タイトル <input type=\"text\" name=\"name_1\"></p>\n"
         "<p>サムネイル <label><input type=\"radio\" name=\"make_thumbnail_1\" "
         "value=\"1\">作成する</label> <label><input type=\"radio\" "
         "name=\"make_thumbnail_1\" value=\"0\" "
         "checked>作成しない</label></p>\n"
         "<p>フォルダ <select name=\"folder_id_1\">" +
         folders +
         "</select></p>\n"
         "<p><input type=\"submit\" "
         "value=\"選択したファイルをアップロードする\">"
         "</p>\n</form>\n" +
         kLogout;
}

std::string FakeLivedoor::fileList(const std::string &blog) const {
  std::string list = "<h2>ファイル一覧</h2>\n<ul>\n";
  for (const Upload &u : uploads())
    if (u.folder.rfind(blog + "/", 0) == 0)
      list += "<li><a href=\"" + escape(fileUrl(blog, u.filename)) + "\">" +
              escape(u.filename) + "</a></li>\n";
  return list + "</ul>\n";
}

void FakeLivedoor::postUpload(const httplib::Request &req,
                              httplib::Response &res) {
  const std::string id = sessionOf(req);
  if (id.empty() || !isLoggedIn(id))
    return html(res, "403 Forbidden", "<h1>ログインしてください</h1>", 403);
  Options o = options();
  const std::string blog = blogOf(id);
  std::string folder;
  const std::string chosen = field(req, "folder_id_1");
  for (size_t i = 0; i < o.folders.size(); ++i)
    if (std::to_string(i) == chosen)
      folder = o.folders[i];
  const auto got = recordUploads(req, blog + "/" + folder);
  bool confirm = !got.empty();
  {
    std::lock_guard<std::mutex> lock(livedoorMutex_);
    if (options_.unconfirmedResults > 0) {
      --options_.unconfirmedResults;
      confirm = false;
    }
  }
  std::string body = "<h1>ファイルの管理・お絵描き</h1>\n";
  body += confirm ? "<p><strong>設定が完了しました。</strong></p>\n"
                  : "<p>しばらくしてから確認してください。</p>\n";
  body += "<p><a href=\"/old/upload\">ファイルのアップロード</a></p>\n" +
          fileList(blog) + kLogout;
  html(res, "ファイルの管理", body);
}

} // namespace fake
