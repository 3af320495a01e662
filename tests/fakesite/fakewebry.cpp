#include "fakewebry.h"

#include <algorithm>

namespace fake {

namespace {
const char kLoginRequired[] =
    "<h1>ログインしてください</h1>\n<p><a href=\"/login\">ログイン</a></p>";
} // namespace

FakeWebry::FakeWebry(std::string host) : FakeSite(std::move(host)) {
  auto &svr = server();

  svr.Get("/", [](const httplib::Request &, httplib::Response &res) {
    html(res, "ウェブリブログ",
         "<h1>ウェブリブログ</h1>\n<p><a href=\"/login\">ログインはこちら</a>"
         "</p>");
  });

  svr.Get(
      "/login", [this](const httplib::Request &req, httplib::Response &res) {
        if (isLoggedIn(ensureSession(req, res)))
          return redirect(res, "/mypage");
        html(res, "ログイン",
             "<h1>ログイン</h1>\n<form method=\"post\" action=\"/login\">\n"
             "<p>ID <input type=\"text\" name=\"userid\"></p>\n"
             "<p>パスワード <input type=\"password\" name=\"password\"></p>\n"
             "<p><input type=\"submit\" value=\"ログイン\"></p>\n</form>");
      });

  svr.Post("/login",
           [this](const httplib::Request &req, httplib::Response &res) {
             const std::string id = ensureSession(req, res);
             const Options o = options();
             const bool ok = field(req, "userid") == o.userId &&
                             field(req, "password") == o.password;
             setLoggedIn(id, ok);
             redirect(res, ok ? "/mypage" : "/login");
           });

  svr.Get("/mypage",
          [this](const httplib::Request &req, httplib::Response &res) {
            if (!loggedIn(req))
              return html(res, "ウェブリブログ", kLoginRequired, 403);
            html(res, "マイページ",
                 "<h1>マイページ</h1>\n<p><a href=\"/settings\">設定</a></p>");
          });

  svr.Get("/settings",
          [this](const httplib::Request &req, httplib::Response &res) {
            if (!loggedIn(req))
              return html(res, "ウェブリブログ", kLoginRequired, 403);
            html(res, "設定",
                 "<h1>設定</h1>\n<ul><li><a href=\"/settings/basic\">基本"
                 "</a></li>\n<li><a href=\"/settings/option\"><b>オプション"
                 "</b>設定</a></li></ul>");
          });

  svr.Get("/settings/option",
          [this](const httplib::Request &req, httplib::Response &res) {
            if (!loggedIn(req))
              return html(res, "ウェブリブログ", kLoginRequired, 403);
            html(res, "オプション設定",
                 "<h1>オプション設定</h1>\n"
                 "<div class=\"section\"><h3>デザイン</h3>\n"
                 "<input type=\"button\" value=\"設定画面へ\" "
                 "onclick=\"location.href='/design'\"></div>\n"
                 "<div class=\"section\"><h3>ファイルマネージャー</h3>\n"
                 "<p>画像や動画を管理します。</p>\n"
                 "<input type=\"button\" value=\" 設定画面へ \" "
                 "onclick=\"window.open('/fm/', 'filemanager', "
                 "'width=800,height=600')\"></div>");
          });

  svr.Get("/design", [](const httplib::Request &, httplib::Response &res) {
    html(res, "デザイン", "<h1>デザイン</h1>");
  });

  svr.Get("/fm/", [this](const httplib::Request &req, httplib::Response &res) {
    if (!loggedIn(req))
      return html(res, "ウェブリブログ", kLoginRequired, 403);
    std::string folder = field(req, "folder");
    if (folder.empty())
      folder = "default";
    html(res, "ファイルマネージャー", managerPage(folder, ""));
  });

  svr.Post("/fm/mkdir",
           [this](const httplib::Request &req, httplib::Response &res) {
             if (!loggedIn(req))
               return html(res, "ウェブリブログ", kLoginRequired, 403);
             const std::string name = field(req, "folderName");
             if (!name.empty())
               addFolder(name);
             redirect(res, "/fm/");
           });

  svr.Post("/fm/upload", [this](const httplib::Request &req,
                                httplib::Response &res) {
    if (!loggedIn(req))
      return html(res, "ウェブリブログ", kLoginRequired, 403);
    const std::string folder = field(req, "folder");
    const auto got = recordUploads(req, folder);
    std::string message;
    {
      std::lock_guard<std::mutex> lock(webryMutex_);
      for (const auto &u : got) {
        auto &names = files_[folder];
        if (std::find(names.begin(), names.end(), u.filename) == names.end())
          names.push_back(u.filename);
        message += "<p>アップロードしました: " + escape(u.filename) + "</p>\n";
      }
    }
    html(res, "ファイルマネージャー", managerPage(folder, message));
  });

  svr.Get(R"(/files/([^/]+)/(.+))",
          [this](const httplib::Request &req, httplib::Response &res) {
            std::string bytes;
            const std::string folder = req.matches[1].str();
            const std::string name = req.matches[2].str();
            for (const auto &u : uploads())
              if (u.folder == folder && u.filename == name)
                bytes = u.bytes;
            res.set_content(bytes, "application/octet-stream");
          });
}

FakeWebry::~FakeWebry() { stop(); }

FakeWebry::Options FakeWebry::options() const {
  std::lock_guard<std::mutex> lock(webryMutex_);
  return options_;
}

void FakeWebry::setOptions(const Options &options) {
  std::lock_guard<std::mutex> lock(webryMutex_);
  options_ = options;
}

std::vector<std::string> FakeWebry::folders() const {
  std::lock_guard<std::mutex> lock(webryMutex_);
  return folders_;
}

void FakeWebry::addFolder(const std::string &name) {
  std::lock_guard<std::mutex> lock(webryMutex_);
  if (std::find(folders_.begin(), folders_.end(), name) == folders_.end())
    folders_.push_back(name);
}

std::string FakeWebry::fileUrl(const std::string &folder,
                               const std::string &name) const {
  return baseUrl() + "/files/" + percentEncode(folder) + "/" +
         percentEncode(name);
}

std::string FakeWebry::managerPage(const std::string &folder,
                                   const std::string &message) const {
  std::lock_guard<std::mutex> lock(webryMutex_);
  std::string body =
      "<h1>ファイルマネージャー</h1>\n" + message +
      "<p>最近のフォルダ: <a href=\"/fm/?folder=recent\">" +
      escape(folders_.back()) + "</a></p>\n" +
      "<table class=\"folders\">\n<tr><th> フォルダ </th></tr>\n";
  for (const auto &f : folders_)
    body += "<tr><td><a href=\"/fm/?folder=" + percentEncode(f) + "\"> " +
            escape(f) + " </a></td></tr>\n";
  body += "</table>\n"
          "<form method=\"post\" action=\"/fm/mkdir\">\n"
          "<p>新しいフォルダ <input type=\"text\" name=\"folderName\"> "
          "<input type=\"submit\" value=\"作成\"></p>\n</form>\n"
          "<h2>" +
          escape(folder) +
          "</h2>\n"
          "<form method=\"post\" action=\"/fm/upload\" "
          "enctype=\"multipart/form-data\">\n"
          "<input type=\"hidden\" name=\"folder\" value=\"" +
          escape(folder) +
          "\">\n<p><input type=\"file\" name=\"filedata\"></p>\n"
          "<p><input type=\"submit\" value=\"アップロード\"></p>\n"
          "<p><label><input type=\"checkbox\" name=\"overwriteflg\" "
          "value=\"1\"" +
          std::string(options_.overwriteChecked ? " checked" : "") +
          ">同名のファイルを上書きする</label></p>\n</form>\n<ul>\n";
  auto it = files_.find(folder);
  if (it != files_.end())
    for (const auto &name : it->second)
      body += "<li><a href=\"" + baseUrl() + "/files/" + percentEncode(folder) +
              "/" + percentEncode(name) + "\"> " + escape(name) +
              " </a></li>\n";
  body += "</ul>";
  return body;
}

} // namespace fake
