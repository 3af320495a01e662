#include "fakejugem.h"

namespace fake {

namespace {
const char kLoginRequired[] =
    "<h1>ログインしてください</h1>\n<p><a href=\"/\">ログイン</a></p>";
} // namespace

FakeJugem::FakeJugem(std::string host) : FakeSite(std::move(host)) {
  auto &svr = server();

  svr.Get("/", [this](const httplib::Request &req, httplib::Response &res) {
    const bool in = isLoggedIn(ensureSession(req, res));
    std::string body = "<h1>JUGEM</h1>\n";
    if (in)
      body += "<p>ようこそ <span class=\"user\"> " + escape(options().account) +
              " </span> さん</p>\n";
    else
      body += "<form method=\"post\" action=\"/login\">\n"
              "<p>ユーザー名 <input type=\"text\" name=\"account_name\"></p>\n"
              "<p>パスワード <input type=\"password\" name=\"password\"></p>\n"
              "<p><input type=\"submit\" value=\"ログイン\"></p>\n</form>\n";
    // The management pages open in a window of their own on the real site.
    body += "<p><a href=\"/admin/\" target=\"_blank\">管理者ページ</a></p>";
    html(res, "JUGEM", body);
  });

  svr.Post("/login",
           [this](const httplib::Request &req, httplib::Response &res) {
             const std::string id = ensureSession(req, res);
             const Options o = options();
             setLoggedIn(id, field(req, "account_name") == o.account &&
                                 field(req, "password") == o.password);
             redirect(res, "/");
           });

  svr.Get("/admin/",
          [this](const httplib::Request &req, httplib::Response &res) {
            if (!loggedIn(req))
              return html(res, "JUGEM", kLoginRequired, 403);
            html(res, "管理者ページ",
                 "<h1>管理者ページ</h1>\n" + adminMenu() +
                     "<p><a href=\"/admin/images/\"><img src=\"/img-ui/"
                     "images.png\" alt=\"画像の管理\" width=\"32\" "
                     "height=\"32\"></a></p>");
          });

  svr.Get("/admin/images/",
          [this](const httplib::Request &req, httplib::Response &res) {
            if (!loggedIn(req))
              return html(res, "JUGEM", kLoginRequired, 403);
            html(res, "画像の管理",
                 "<h1>画像の管理</h1>\n" + adminMenu() +
                     "<p><a href=\"/help/\">画像アップロードの使い方</a></p>\n"
                     "<p><a href=\"/admin/upload\"> 画像アップロード </a></p>");
          });

  svr.Get("/help/", [](const httplib::Request &, httplib::Response &res) {
    html(res, "ヘルプ", "<h1>画像アップロードの使い方</h1>");
  });

  svr.Get("/admin/upload",
          [this](const httplib::Request &req, httplib::Response &res) {
            if (!loggedIn(req))
              return html(res, "JUGEM", kLoginRequired, 403);
            html(res, "画像アップロード",
                 "<h1>画像アップロード</h1>\n" + adminMenu() + uploadForm());
          });

  svr.Post("/admin/upload", [this](const httplib::Request &req,
                                   httplib::Response &res) {
    if (!loggedIn(req))
      return html(res, "JUGEM", kLoginRequired, 403);
    const auto got = recordUploads(req);
    std::string result;
    const bool empty = options().emptyUrlField;
    for (const auto &u : got) {
      {
        std::lock_guard<std::mutex> lock(jugemMutex_);
        stored_[u.filename] = u.bytes;
      }
      const std::string address = empty ? "" : baseUrl() + "/img/" + u.filename;
      result += "<p>アップロードしました: " + escape(u.filename) +
                "</p>\n<p>画像のURL <input type=\"text\" name=\"image_alt\" "
                "size=\"60\" value=\"" +
                escape(address) + "\"></p>\n";
    }
    if (got.empty())
      result = "<p class=\"error\">ファイルが選択されていません。</p>\n";
    html(res, "画像アップロード",
         "<h1>画像アップロード</h1>\n" + adminMenu() + result + uploadForm());
  });

  svr.Get("/logout",
          [this](const httplib::Request &req, httplib::Response &res) {
            setLoggedIn(sessionOf(req), false);
            html(res, "JUGEM", "<h1>ログアウトしました</h1>");
          });

  svr.Get("/img-ui/images.png",
          [](const httplib::Request &, httplib::Response &res) {
            res.set_content(tinyPng(), "image/png");
          });

  svr.Get(R"(/img/(.+))",
          [this](const httplib::Request &req, httplib::Response &res) {
            std::lock_guard<std::mutex> lock(jugemMutex_);
            auto it = stored_.find(req.matches[1].str());
            if (it == stored_.end())
              return html(res, "404", "<h1>ありません</h1>", 404);
            res.set_content(it->second, "application/octet-stream");
          });
}

FakeJugem::~FakeJugem() { stop(); }

FakeJugem::Options FakeJugem::options() const {
  std::lock_guard<std::mutex> lock(jugemMutex_);
  return options_;
}

void FakeJugem::setOptions(const Options &options) {
  std::lock_guard<std::mutex> lock(jugemMutex_);
  options_ = options;
}

std::map<std::string, std::string> FakeJugem::storedFiles() const {
  std::lock_guard<std::mutex> lock(jugemMutex_);
  return stored_;
}

std::string FakeJugem::adminMenu() const {
  return "<ul class=\"menu\"><li><a href=\"/admin/\">管理トップ</a></li>"
         "<li><a href=\"/logout\"><span>ログアウト</span></a></li></ul>\n";
}

std::string FakeJugem::uploadForm() const {
  return "<form method=\"post\" action=\"/admin/upload\" "
         "enctype=\"multipart/form-data\">\n" +
         std::string(options().hideFileInput
                         ? ""
                         : "<p><input type=\"file\" id=\"upfile0\" "
                           "name=\"upfile0\"></p>\n") +
         "<p>代替テキスト <input type=\"text\" id=\"alt0\" name=\"alt0\"></p>\n"
         "<p><label><input type=\"radio\" id=\"create_thumb\" name=\"thumb\" "
         "value=\"1\">サムネイルを作成する</label>\n"
         "<label><input type=\"radio\" id=\"not_create_thumb\" name=\"thumb\" "
         "value=\"0\" checked>作成しない</label></p>\n"
         "<p><input type=\"submit\" value=\"アップロード\"></p>\n</form>";
}

} // namespace fake
