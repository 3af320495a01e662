#include "fakefc2.h"

namespace fake {

namespace {

const char kMenu[] =
    "<ul class=\"menu\">\n"
    "<li><a href=\"/control.php\">管理トップ</a></li>\n"
    "<li><a href=\"/upload.php\">ファイルアップロード</a></li>\n"
    "<li><a href=\"/logout.php\">ログアウト</a></li>\n"
    "</ul>\n";

std::string contentTypeOf(const std::string &name) {
  auto dot = name.rfind('.');
  std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
  for (auto &c : ext)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext == "png")
    return "image/png";
  if (ext == "jpg" || ext == "jpeg")
    return "image/jpeg";
  if (ext == "gif")
    return "image/gif";
  if (ext == "txt")
    return "text/plain; charset=utf-8";
  return "application/octet-stream";
}

} // namespace

FakeFc2::FakeFc2(std::string host) : FakeSite(std::move(host)) {
  auto &svr = server();

  svr.Get("/", [this](const httplib::Request &req, httplib::Response &res) {
    if (isLoggedIn(ensureSession(req, res)))
      return redirect(res, "/control.php");
    showLogin(req, res, false);
  });

  svr.Get("/login.php", [](const httplib::Request &, httplib::Response &res) {
    redirect(res, "/");
  });

  svr.Post("/login.php", [this](const httplib::Request &req,
                                httplib::Response &res) {
    const std::string id = ensureSession(req, res);
    const Options o = options();
    if (field(req, "email") == o.email && field(req, "pass") == o.password) {
      setLoggedIn(id, true);
      return redirect(res, "/control.php");
    }
    setLoggedIn(id, false);
    html(res, "FC2ID ログイン", loginBody(o, true));
  });

  svr.Get("/blog/",
          [this](const httplib::Request &req, httplib::Response &res) {
            const std::string id = ensureSession(req, res);
            const Options o = options();
            std::string link;
            if (isLoggedIn(id) || o.adminLinkWhenLoggedOut)
              link = "<a href=\"/control.php\">・ブログ管理画面へ</a>";
            else
              link = "<a href=\"/\">" + escape(o.loginLinkText) + "</a>";
            html(res, "FC2ブログ",
                 "<h1>FC2ブログ</h1>\n<div class=\"account\">" + link +
                     "</div>\n<div class=\"entry\"><h2>今日の日記</h2>"
                     "<p>いい天気でした。</p></div>");
          });

  svr.Get("/control.php",
          [this](const httplib::Request &req, httplib::Response &res) {
            const std::string id = ensureSession(req, res);
            if (!isLoggedIn(id))
              return showLogin(req, res, false);
            html(res, "管理画面",
                 std::string("<h1>管理画面</h1>\n") + kMenu + "<p>ようこそ " +
                     escape(options().email) + " さん</p>");
          });

  svr.Get("/upload.php",
          [this](const httplib::Request &req, httplib::Response &res) {
            const std::string id = ensureSession(req, res);
            if (!isLoggedIn(id))
              return showLogin(req, res, false);
            html(res, "ファイルアップロード", uploadBody(options(), ""));
          });

  svr.Post("/upload.php",
           [this](const httplib::Request &req, httplib::Response &res) {
             postUpload(req, res);
           });

  svr.Get("/logout.php", [this](const httplib::Request &req,
                                httplib::Response &res) {
    setLoggedIn(sessionOf(req), false);
    html(res, "ログアウト",
         "<h1>ログアウトしました</h1>\n<p><a href=\"/\">ログイン</a></p>");
  });

  svr.Get(R"(/file/(.+))",
          [this](const httplib::Request &req, httplib::Response &res) {
            const std::string name = req.matches[1].str();
            std::lock_guard<std::mutex> lock(fc2Mutex_);
            auto it = stored_.find(name);
            if (it == stored_.end()) {
              html(res, "404", "<h1>ファイルがありません</h1>", 404);
              return;
            }
            res.set_content(it->second, contentTypeOf(name).c_str());
          });

  svr.Get("/img/login.png",
          [](const httplib::Request &, httplib::Response &res) {
            res.set_content(tinyPng(), "image/png");
          });
}

FakeFc2::~FakeFc2() { stop(); }

FakeFc2::Options FakeFc2::options() const {
  std::lock_guard<std::mutex> lock(fc2Mutex_);
  return options_;
}

void FakeFc2::setOptions(const Options &options) {
  std::lock_guard<std::mutex> lock(fc2Mutex_);
  options_ = options;
}

void FakeFc2::setCredentials(const std::string &email,
                             const std::string &password) {
  std::lock_guard<std::mutex> lock(fc2Mutex_);
  options_.email = email;
  options_.password = password;
}

std::map<std::string, std::string> FakeFc2::storedFiles() const {
  std::lock_guard<std::mutex> lock(fc2Mutex_);
  return stored_;
}

void FakeFc2::storeFile(const std::string &name, const std::string &bytes) {
  std::lock_guard<std::mutex> lock(fc2Mutex_);
  stored_[name] = bytes;
}

void FakeFc2::showLogin(const httplib::Request &, httplib::Response &res,
                        bool failed) {
  html(res, "FC2ID ログイン", loginBody(options(), failed));
}

std::string FakeFc2::loginBody(const Options &o, bool failed) const {
  std::string body = "<h1>FC2ID ログイン</h1>\n";
  if (failed)
    body += "<p class=\"error\">メールアドレスまたはパスワードが"
            "正しくありません。</p>\n";
  body += "<form method=\"post\" action=\"/login.php\">\n"
          "<p>メールアドレス <input type=\"text\" name=\"email\"></p>\n"
          "<p>パスワード <input type=\"password\" name=\"pass\"></p>\n"
          "<p><input type=\"image\" src=\"/img/login.png\" alt=\"" +
          escape(o.loginAlt) +
          "\" width=\"96\" height=\"32\"></p>\n"
          "</form>";
  return body;
}

std::string FakeFc2::uploadBody(const Options &o,
                                const std::string &result) const {
  std::string names;
  std::string list;
  {
    std::lock_guard<std::mutex> lock(fc2Mutex_);
    for (const auto &f : stored_) {
      names += (names.empty() ? "" : ", ") + jsString(f.first);
      list += "<li><a href=\"/file/" + percentEncode(f.first) + "\">" +
              escape(f.first) + "</a></li>\n";
    }
  }
  // The browser alone knows the chosen file's name, so the page carries the
  // stored names and asks before a same-named file is replaced.
  std::string body =
      "<h1>ファイルアップロード</h1>\n" + std::string(kMenu) + result +
      "<script>\nvar storedNames = [" + names +
      "];\n"
      "function confirmOverwrite(form) {\n"
      "  var sel = form.elements['overwrite'];\n"
      "  var input = form.elements['upfile[]'];\n"
      "  if (!sel || sel.value !== '1' || !input || !input.files)\n"
      "    return true;\n"
      "  for (var i = 0; i < input.files.length; i++)\n"
      "    if (storedNames.indexOf(input.files[i].name) >= 0)\n"
      "      return confirm('同じ名前のファイルが既にあります。"
      "上書きしますか？');\n"
      "  return true;\n"
      "}\n</script>\n"
      "<form method=\"post\" action=\"/upload.php\" "
      "enctype=\"multipart/form-data\" "
      "onsubmit=\"" +
      std::string(o.submitLoadsNothing ? "return false"
                                       : "return confirmOverwrite(this)") +
      "\">\n"
      "<p><label><input type=\"checkbox\" name=\"thumb\" value=\"1\"" +
      std::string(o.thumbChecked ? " checked" : "") +
      "> サムネイルも作成する</label></p>\n";
  if (o.fileInputHidden)
    body += "<p><input type=\"file\" name=\"upfile[]\" id=\"upfile\" "
            "style=\"display:none\"><label for=\"upfile\">ファイルを選択"
            "</label></p>\n";
  else if (!o.hideFileInput)
    body += "<p><input type=\"file\" name=\"upfile[]\"></p>\n";
  body += "<p>同名ファイル <select name=\"overwrite\">"
          "<option value=\"0\">別名で保存</option>";
  if (!o.singleOverwriteOption)
    body += "<option value=\"1\">上書き保存</option>";
  body += "</select></p>\n"
          "<p><input type=\"submit\" value=\"アップロード\"></p>\n"
          "</form>\n<h2>アップロード済みファイル</h2>\n<ul>\n" +
          list + "</ul>";
  return body;
}

std::string FakeFc2::freeName(const std::string &name) const {
  if (!stored_.count(name))
    return name;
  auto dot = name.rfind('.');
  const std::string stem =
      dot == std::string::npos ? name : name.substr(0, dot);
  const std::string ext = dot == std::string::npos ? "" : name.substr(dot);
  for (int n = 1;; ++n) {
    std::string candidate = stem + "_" + std::to_string(n) + ext;
    if (!stored_.count(candidate))
      return candidate;
  }
}

void FakeFc2::postUpload(const httplib::Request &req, httplib::Response &res) {
  if (!loggedIn(req)) {
    html(res, "403 Forbidden",
         "<h1>ログインしていません</h1>\n<p><a href=\"/\">ログイン</a></p>",
         403);
    return;
  }
  const Options o = options();
  const bool replace = field(req, "overwrite") == kReplace;
  const auto got = recordUploads(req);
  std::vector<std::string> names;
  {
    std::lock_guard<std::mutex> lock(fc2Mutex_);
    for (const auto &u : got) {
      const std::string name = replace ? u.filename : freeName(u.filename);
      stored_[name] = u.bytes;
      names.push_back(name);
    }
  }
  std::string result;
  if (names.empty())
    result = "<p class=\"error\">ファイルが選択されていません。</p>\n";
  const std::string base =
      o.omitResultHttp ? host() + ":" + std::to_string(port()) : baseUrl();
  for (const auto &name : names) {
    const std::string text = escape(o.resultPrefix + base + "/file/" + name);
    result += o.omitResultSpan
                  ? "<p class=\"result\">" + text + "</p>\n"
                  : "<p><span class=\"result\">" + text + "</span></p>\n";
  }
  html(res, "ファイルアップロード", uploadBody(o, result));
}

} // namespace fake
