#include "fakeninja.h"

#include <algorithm>

namespace fake {

namespace {

const char kLogoutImage[] =
    "<a href=\"/logout.html\"><img src=\"/img/logout.png\" "
    "alt=\"ログアウト\" width=\"80\" height=\"20\"></a>";

std::string upper(std::string s) {
  for (auto &c : s)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string freeName(const std::map<std::string, std::string> &files,
                     const std::string &name) {
  if (!files.count(name))
    return name;
  auto dot = name.rfind('.');
  const std::string stem =
      dot == std::string::npos ? name : name.substr(0, dot);
  const std::string ext = dot == std::string::npos ? "" : name.substr(dot);
  for (int n = 1;; ++n) {
    std::string candidate = stem + "_" + std::to_string(n) + ext;
    if (!files.count(candidate))
      return candidate;
  }
}

} // namespace

FakeNinja::FakeNinja(std::string host) : FakeSite(std::move(host)) {
  auto &svr = server();

  auto loginPage = [](bool failed) {
    std::string body = "<h1>忍者ブログ ログイン</h1>\n";
    if (failed)
      body += "<p class=\"error\">IDまたはパスワードが違います。</p>\n";
    body += "<form method=\"post\" action=\"/login.html\">\n"
            "<p>忍者ID <input type=\"text\" name=\"login[id]\"></p>\n"
            "<p>パスワード <input type=\"password\" "
            "name=\"login[password]\"></p>\n"
            "<p><input type=\"submit\" value=\"管理ページへログイン\"></p>\n"
            "</form>";
    return body;
  };

  svr.Get("/login.html", [this, loginPage](const httplib::Request &req,
                                           httplib::Response &res) {
    if (isLoggedIn(ensureSession(req, res)))
      return redirect(res, "/tools");
    html(res, "忍者ツールズ ログイン", loginPage(false));
  });

  svr.Post("/login.html", [this, loginPage](const httplib::Request &req,
                                            httplib::Response &res) {
    const std::string id = ensureSession(req, res);
    const Options o = options();
    if (field(req, "login[id]") == o.account &&
        field(req, "login[password]") == o.password) {
      setLoggedIn(id, true);
      return redirect(res, "/tools");
    }
    setLoggedIn(id, false);
    html(res, "忍者ツールズ ログイン", loginPage(true));
  });

  svr.Get("/tools",
          [this](const httplib::Request &req, httplib::Response &res) {
            if (!isLoggedIn(ensureSession(req, res)))
              return redirect(res, "/login.html");
            const Options o = options();
            std::string body = "<h1>ツール一覧</h1>\n<div class=\"head\">" +
                               std::string(kLogoutImage) + "</div>\n<ul>\n";
            for (size_t i = 0; i < o.blogs.size(); ++i)
              body += "<li>忍者ブログ <a href=\"/blog/" + std::to_string(i) +
                      "/\">" + escape(o.blogs[i]) + "</a></li>\n";
            html(res, "ツール一覧", body + "</ul>");
          });

  svr.Get(R"(/blog/(\d+)/)",
          [this](const httplib::Request &req, httplib::Response &res) {
            if (!isLoggedIn(ensureSession(req, res)))
              return redirect(res, "/login.html");
            const int blog = blogIndex(req);
            if (blog < 0)
              return html(res, "404", "<h1>ブログがありません</h1>", 404);
            html(res, "管理ページ",
                 "<h1>" + escape(options().blogs[blog]) +
                     " 管理ページ</h1>\n<div class=\"head\">" + kLogoutImage +
                     "</div>\n<ul><li><a href=\"/blog/" + std::to_string(blog) +
                     "/files\">ファイルアップロード</a></li>\n"
                     "<li><a href=\"/tools\">ツール一覧に戻る</a></li></ul>");
          });

  svr.Get(R"(/blog/(\d+)/files)",
          [this](const httplib::Request &req, httplib::Response &res) {
            if (!isLoggedIn(ensureSession(req, res)))
              return redirect(res, "/login.html");
            const int blog = blogIndex(req);
            if (blog < 0)
              return html(res, "404", "<h1>ブログがありません</h1>", 404);
            html(res, "ファイル一覧", listPage(options(), blog, "", ""));
          });

  svr.Post(R"(/blog/(\d+)/files)",
           [this](const httplib::Request &req, httplib::Response &res) {
             postUpload(req, res);
           });

  svr.Get("/logout.html",
          [this](const httplib::Request &req, httplib::Response &res) {
            setLoggedIn(sessionOf(req), false);
            html(res, "ログアウト",
                 "<h1>ログアウトしました</h1>\n"
                 "<p><a href=\"/login.html\">ログイン</a></p>");
          });

  svr.Get(R"(/files/(\d+)/(.+))",
          [this](const httplib::Request &req, httplib::Response &res) {
            const int blog = std::stoi(req.matches[1].str());
            std::lock_guard<std::mutex> lock(ninjaMutex_);
            auto b = files_.find(blog);
            if (b == files_.end() || !b->second.count(req.matches[2].str()))
              return html(res, "404", "<h1>ファイルがありません</h1>", 404);
            res.set_content(b->second.at(req.matches[2].str()),
                            "application/octet-stream");
          });

  svr.Get("/img/logout.png",
          [](const httplib::Request &, httplib::Response &res) {
            res.set_content(tinyPng(), "image/png");
          });
}

FakeNinja::~FakeNinja() { stop(); }

FakeNinja::Options FakeNinja::options() const {
  std::lock_guard<std::mutex> lock(ninjaMutex_);
  return options_;
}

void FakeNinja::setOptions(const Options &options) {
  std::lock_guard<std::mutex> lock(ninjaMutex_);
  options_ = options;
}

std::string FakeNinja::fileUrl(const std::string &blog,
                               const std::string &name) const {
  const Options o = options();
  const auto it = std::find(o.blogs.begin(), o.blogs.end(), blog);
  return url("/files/" + std::to_string(it - o.blogs.begin()) + "/" +
             percentEncode(name));
}

std::map<std::string, std::map<std::string, std::string>>
FakeNinja::stored() const {
  const Options o = options();
  std::lock_guard<std::mutex> lock(ninjaMutex_);
  std::map<std::string, std::map<std::string, std::string>> out;
  for (const auto &b : files_)
    out[o.blogs.at(b.first)] = b.second;
  return out;
}

int FakeNinja::blogIndex(const httplib::Request &req) const {
  const int blog = std::stoi(req.matches[1].str());
  return blog < int(options().blogs.size()) ? blog : -1;
}

std::string FakeNinja::fileTable(const Options &o, int blog,
                                 const std::string &highlight) const {
  std::vector<std::string> names;
  {
    std::lock_guard<std::mutex> lock(ninjaMutex_);
    auto it = order_.find(blog);
    if (it != order_.end())
      names.assign(it->second.rbegin(), it->second.rend());
  }
  std::string rows;
  for (const auto &name : names) {
    const std::string shown = o.upperCaseNames ? upper(name) : name;
    const std::string address = baseUrl() + "/files/" + std::to_string(blog) +
                                "/" + percentEncode(name);
    const std::string link =
        o.plainFileLinks
            ? "<a href=\"" + address + "\">" + escape(shown) + "</a>"
            : "<a href=\"#\" onclick=\"insertFile('" + escape(address) +
                  "');return false;\">" + escape(shown) + "</a>";
    rows += "<tr><td><input type=\"checkbox\" name=\"del[]\" value=\"" +
            escape(name) + "\"></td><td" +
            (name == highlight ? " class=\"changebg2\"" : " class=\"file\"") +
            ">" + link + "</td></tr>\n";
  }
  return "<table class=\"filelist\">\n<tr><th><input type=\"checkbox\" "
         "id=\"checkall\"></th><th>ファイル名</th></tr>\n" +
         rows + "</table>";
}

std::string FakeNinja::listPage(const Options &o, int blog,
                                const std::string &result,
                                const std::string &highlight) const {
  const std::string self = "/blog/" + std::to_string(blog) + "/files";
  std::string body = "<h1>" + escape(o.blogs[blog]) +
                     " ファイル一覧</h1>\n<div class=\"head\">" + kLogoutImage +
                     "</div>\n" + result;
  if (!result.empty())
    body += "<p><a href=\"" + self + "\">ファイル一覧に戻る</a></p>\n";
  body += "<form method=\"post\" action=\"" + self +
          "\" enctype=\"multipart/form-data\">\n" +
          std::string(o.hideFileInput
                          ? ""
                          : "<p><input type=\"file\" name=\"file\"></p>\n") +
          "<p><label><input type=\"checkbox\" name=\"overwrite\" value=\"1\"" +
          std::string(o.overwriteChecked ? " checked" : "") +
          "> 同名のファイルを上書きする</label></p>\n"
          "<p><input type=\"submit\" value=\"アップロード\"></p>\n</form>\n" +
          fileTable(o, blog, highlight) +
          "\n<p><a href=\"/tools\">ツール一覧に戻る</a></p>";
  return body;
}

void FakeNinja::postUpload(const httplib::Request &req,
                           httplib::Response &res) {
  if (!loggedIn(req))
    return html(res, "403 Forbidden",
                "<h1>ログインしていません</h1>\n"
                "<p><a href=\"/login.html\">ログイン</a></p>",
                403);
  const int blog = blogIndex(req);
  if (blog < 0)
    return html(res, "404", "<h1>ブログがありません</h1>", 404);
  const Options o = options();
  const bool replace = field(req, "overwrite") == "1";
  const auto got = recordUploads(req, o.blogs[blog]);
  std::string result;
  std::string highlight;
  {
    std::lock_guard<std::mutex> lock(ninjaMutex_);
    for (const auto &u : got) {
      auto &files = files_[blog];
      auto &order = order_[blog];
      const std::string name =
          replace ? u.filename : freeName(files, u.filename);
      files[name] = u.bytes;
      order.erase(std::remove(order.begin(), order.end(), name), order.end());
      order.push_back(name);
      result += "<p class=\"result\">" + escape(name) +
                " をアップロードしました。</p>\n";
      if (options_.missHighlights > 0)
        --options_.missHighlights;
      else if (name != o.neverHighlight)
        highlight = name;
    }
  }
  if (got.empty())
    result = "<p class=\"error\">ファイルが選択されていません。</p>\n";
  html(res, "ファイル一覧", listPage(o, blog, result, highlight));
}

} // namespace fake
