#include "fakesite.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>

namespace fake {

namespace {

const char kSessionCookie[] = "FAKESID";
const char kNeverImage[] = "/__never.png";

std::string randomId() {
  thread_local std::mt19937_64 gen{std::random_device{}()};
  return std::to_string(gen()) + std::to_string(gen());
}

// The session cookie's value among the request's cookies ("a=1; b=2").
std::string sessionCookie(const httplib::Request &req) {
  const std::string key = std::string("; ") + kSessionCookie + "=";
  for (size_t i = 0; i < req.get_header_value_count("Cookie"); ++i) {
    const std::string header = "; " + req.get_header_value("Cookie", i) + ";";
    const auto at = header.find(key);
    if (at != std::string::npos) {
      const auto from = at + key.size();
      return header.substr(from, header.find(';', from) - from);
    }
  }
  return {};
}

std::string contentType(const std::string &name) {
  static const std::map<std::string, std::string> types = {
      {"png", "image/png"},
      {"jpg", "image/jpeg"},
      {"jpeg", "image/jpeg"},
      {"gif", "image/gif"},
      {"txt", "text/plain; charset=utf-8"}};
  std::string ext = name.substr(name.rfind('.') + 1);
  for (auto &c : ext)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  auto it = types.find(ext);
  return it == types.end() ? "application/octet-stream" : it->second;
}

// Browsers send a Content-Type with every file part, also for a file input
// left empty, and none with a plain field.
bool isPlainField(const httplib::MultipartFormData &part) {
  return part.filename.empty() && part.content_type.empty();
}

int portOf(const sockaddr_storage &addr) {
  if (addr.ss_family == AF_INET)
    return ntohs(reinterpret_cast<const sockaddr_in &>(addr).sin_port);
  if (addr.ss_family == AF_INET6)
    return ntohs(reinterpret_cast<const sockaddr_in6 &>(addr).sin6_port);
  return -1;
}

} // namespace

FakeSite::FakeSite(std::string host) : host_(std::move(host)) {
  // A browser keeps several idle connections open, each holding a worker,
  // and held responses hold more: the library's default of a handful of
  // workers would queue new connections behind them and look like a stall.
  svr_.new_task_queue = [] { return new httplib::ThreadPool(32); };
  svr_.set_keep_alive_max_count(100);
  // SO_REUSEADDR lets refuse(false) bind the port again while connections of
  // the previous listener linger in TIME_WAIT. Unlike the library's default
  // (SO_REUSEPORT), it never lets a second listener share the port.
  svr_.set_socket_options([this](socket_t sock) {
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
    listenFd_ = sock;
  });
  // Each request is handled on one thread from routing to answer, so a
  // thread-local start time measures the site's own share of a run.
  static thread_local std::chrono::steady_clock::time_point servingStart;
  svr_.set_pre_routing_handler(
      [this](const httplib::Request &req, httplib::Response &res) {
        servingStart = std::chrono::steady_clock::now();
        return preRouting(req, res);
      });
  svr_.set_post_routing_handler(
      [this](const httplib::Request &req, httplib::Response &res) {
        postRouting(req, res);
        servedNs_ += std::chrono::duration_cast<std::chrono::nanoseconds>(
                         std::chrono::steady_clock::now() - servingStart)
                         .count();
      });
  svr_.Get(kNeverImage,
           [this](const httplib::Request &req, httplib::Response &res) {
             serveNeverImage(req, res);
           });
  auto statusPage = [](const httplib::Request &req, httplib::Response &res) {
    const int status = std::stoi(req.matches[1].str());
    html(res, "Error " + std::to_string(status),
         "<h1>" + std::to_string(status) + " Error</h1>", status);
  };
  svr_.Get(R"(/__status/(\d+))", statusPage);
  svr_.Post(R"(/__status/(\d+))", statusPage);
  svr_.Get(R"(/img-ui/.*)",
           [](const httplib::Request &, httplib::Response &res) {
             res.set_content(tinyPng(), "image/png");
           });
  auto trap = [](const httplib::Request &, httplib::Response &res) {
    html(res, "罠", "<h1>ここに来てはいけません</h1>");
  };
  svr_.Get(R"(/trap/.*)", trap);
  svr_.Post(R"(/trap/.*)", trap);
}

// --- Page tables -------------------------------------------------------------

std::string Visit::field(const std::string &name) const {
  return FakeSite::field(req, name);
}

void Visit::add(const std::string &name, const std::string &item) {
  std::string &list = vars[name];
  list += (list.empty() ? "" : "|") + item;
}

std::string Visit::redirect(const std::string &to) {
  res.set_redirect(to, 302);
  answered = true;
  return {};
}

void FakeSite::addPages(const std::vector<Page> &pages) {
  for (const Page &p : pages) {
    auto handler = [this, p](const httplib::Request &req,
                             httplib::Response &res) {
      if (p.gate == Gate::Upload && !isLoggedIn(sessionCookie(req)))
        return html(res, "403 Forbidden", "<h1>ログインしていません</h1>", 403);
      Visit v{req, res, ensureSession(req, res), false};
      v.member = isLoggedIn(v.session);
      if (p.gate == Gate::Member && !v.member)
        return redirect(res, loginPage_);
      const std::string body = p.body(v);
      if (!v.answered)
        html(res, p.title, body);
    };
    if (p.method == "POST")
      svr_.Post(p.path, handler);
    else
      svr_.Get(p.path, handler);
  }
}

std::string FakeSite::link(const std::string &href, const std::string &text) {
  return "<a href=\"" + escape(href) + "\">" + escape(text) + "</a>";
}

std::string FakeSite::uploadResult(const std::vector<Upload> &got,
                                   const std::string &done) {
  if (got.empty())
    return "<p class=\"error\">ファイルが選択されていません。</p>\n";
  std::string out;
  for (const Upload &u : got)
    out += "<p class=\"result\">" + escape(u.filename) + done + "</p>\n";
  return out;
}

int FakeSite::trapped() const {
  int n = 0;
  for (const auto &r : requests())
    n += r.path.rfind("/trap/", 0) == 0;
  return n;
}

// --- Stored files ------------------------------------------------------------

std::string FakeSite::keep(const std::string &folder, const std::string &name,
                           const std::string &bytes, bool replace) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto &files = files_[folder];
  std::string used = name;
  if (!replace && files.count(name)) {
    auto dot = name.rfind('.');
    const std::string stem =
        dot == std::string::npos ? name : name.substr(0, dot);
    const std::string ext = dot == std::string::npos ? "" : name.substr(dot);
    for (int n = 1; files.count(used); ++n)
      used = stem + "_" + std::to_string(n) + ext;
  }
  files[used] = bytes;
  auto &order = order_[folder];
  order.erase(std::remove(order.begin(), order.end(), used), order.end());
  order.push_back(used);
  return used;
}

std::vector<std::string> FakeSite::writeOrder(const std::string &folder) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = order_.find(folder);
  return it == order_.end() ? std::vector<std::string>() : it->second;
}

std::map<std::string, std::map<std::string, std::string>>
FakeSite::stored() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return files_;
}

std::map<std::string, std::string>
FakeSite::storedIn(const std::string &folder) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = files_.find(folder);
  return it == files_.end() ? std::map<std::string, std::string>() : it->second;
}

void FakeSite::serveFiles(const std::string &prefix) {
  svr_.Get(prefix + "(.*)",
           [this](const httplib::Request &req, httplib::Response &res) {
             // The folder is everything before the last slash.
             const std::string path = req.matches[1].str();
             const auto slash = path.rfind('/');
             const std::string folder =
                 slash == std::string::npos ? "" : path.substr(0, slash);
             const std::string name =
                 slash == std::string::npos ? path : path.substr(slash + 1);
             std::lock_guard<std::mutex> lock(mutex_);
             auto f = files_.find(folder);
             if (f == files_.end() || !f->second.count(name))
               return html(res, "404", "<h1>ファイルがありません</h1>", 404);
             res.set_content(f->second.at(name), contentType(name).c_str());
           });
}

FakeSite::~FakeSite() { stop(); }

bool FakeSite::start() {
  std::lock_guard<std::mutex> life(lifeMutex_);
  if (running_)
    return true;
  if (port_ == 0) {
    const int p = svr_.bind_to_any_port("127.0.0.1");
    if (p <= 0)
      return false;
    port_ = p;
  } else if (!svr_.bind_to_port("127.0.0.1", port_)) {
    return false;
  }
  running_ = listenOnThread();
  return running_;
}

bool FakeSite::listenOnThread() {
  // The library listens with a backlog of 5; a browser opening several
  // connections at once would overflow it and wait a second for a retry.
  if (listenFd_ >= 0)
    ::listen(listenFd_, SOMAXCONN);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = false;
  }
  auto ended = std::make_shared<std::atomic<bool>>(false);
  thread_ = std::thread([this, ended] {
    svr_.listen_after_bind();
    *ended = true;
  });
  // stop() only works once the accept loop runs, so wait for it.
  while (!svr_.is_running() && !*ended)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  if (*ended) {
    thread_.join();
    return false;
  }
  return true;
}

void FakeSite::shutDownServer() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  svr_.stop();
  // The library lets an idle keep-alive connection run out its time-out
  // (seconds) before its worker notices the stop; a browser keeps several.
  shutDownConnections(port_, -1);
  if (thread_.joinable())
    thread_.join();
  listenFd_ = -1;
}

void FakeSite::stop() {
  std::lock_guard<std::mutex> life(lifeMutex_);
  if (!running_)
    return;
  shutDownServer();
  running_ = false;
}

bool FakeSite::refuse(bool on) {
  std::lock_guard<std::mutex> life(lifeMutex_);
  if (on) {
    if (running_) {
      shutDownServer();
      running_ = false;
    }
    return true;
  }
  if (running_)
    return true;
  if (port_ == 0 || !svr_.bind_to_port("127.0.0.1", port_))
    return false;
  running_ = listenOnThread();
  return running_;
}

std::string FakeSite::baseUrl() const {
  return "http://" + host_ + ":" + std::to_string(port_);
}

std::string FakeSite::url(const std::string &path) const {
  if (path.empty() || path[0] != '/')
    return baseUrl() + "/" + path;
  return baseUrl() + path;
}

// --- Pages -----------------------------------------------------------------

std::string FakeSite::escape(const std::string &text) {
  static const std::map<char, std::string> entities = {{'&', "&amp;"},
                                                       {'<', "&lt;"},
                                                       {'>', "&gt;"},
                                                       {'"', "&quot;"},
                                                       {'\'', "&#39;"}};
  std::string out;
  for (char c : text) {
    auto it = entities.find(c);
    out += it == entities.end() ? std::string(1, c) : it->second;
  }
  return out;
}

std::string FakeSite::upper(std::string text) {
  for (auto &c : text)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string FakeSite::trim(const std::string &text) {
  const auto b = text.find_first_not_of(' ');
  return b == std::string::npos
             ? ""
             : text.substr(b, text.find_last_not_of(' ') - b + 1);
}

std::string FakeSite::percentEncode(const std::string &text) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

std::string FakeSite::page(const std::string &title, const std::string &body) {
  // The empty icon keeps the browser from asking for /favicon.ico.
  return "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n"
         "<meta charset=\"utf-8\">\n<link rel=\"icon\" href=\"data:,\">\n"
         "<title>" +
         escape(title) + "</title>\n</head>\n<body>\n" + body +
         "\n</body>\n</html>\n";
}

void FakeSite::html(httplib::Response &res, const std::string &title,
                    const std::string &body, int status) {
  res.status = status;
  res.set_header("Cache-Control", "no-store");
  res.set_content(page(title, body), "text/html; charset=utf-8");
}

void FakeSite::redirect(httplib::Response &res, const std::string &location) {
  res.set_redirect(location, 302);
}

const std::string &FakeSite::tinyPng() {
  // An 8 x 8 grey picture.
  static const std::string png(
      "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00"
      "\x00\x00\x08\x00\x00\x00\x08\x08\x02\x00\x00\x00\x4b\x6d\x29\xdc\x00"
      "\x00\x00\x0f\x49\x44\x41\x54\x78\xda\x63\x68\xc0\x01\x18\x86\x96\x04"
      "\x00\x82\xf3\x60\x01\x25\x95\xb3\x63\x00\x00\x00\x00\x49\x45\x4e\x44"
      "\xae\x42\x60\x82",
      72);
  return png;
}

std::string FakeSite::field(const httplib::Request &req,
                            const std::string &name) {
  if (req.has_param(name))
    return req.get_param_value(name);
  auto range = req.files.equal_range(name);
  for (auto it = range.first; it != range.second; ++it)
    if (isPlainField(it->second))
      return it->second.content;
  return {};
}

std::map<std::string, std::string>
FakeSite::fields(const httplib::Request &req) {
  std::map<std::string, std::string> out;
  for (const auto &p : req.params)
    out.emplace(p.first, p.second);
  for (const auto &f : req.files)
    if (isPlainField(f.second))
      out.emplace(f.first, f.second.content);
  return out;
}

// --- Sessions ----------------------------------------------------------------

std::string FakeSite::ensureSession(const httplib::Request &req,
                                    httplib::Response &res) {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::string known = sessionCookie(req);
  if (sessions_.count(known))
    return known;
  const std::string id = randomId();
  sessions_[id] = newSessionsLoggedIn_;
  res.set_header("Set-Cookie",
                 std::string(kSessionCookie) + "=" + id + "; Path=/; HttpOnly");
  return id;
}

bool FakeSite::isLoggedIn(const std::string &session) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = sessions_.find(session);
  return it != sessions_.end() && it->second;
}

void FakeSite::setLoggedIn(const std::string &session, bool on) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (sessions_.count(session))
    sessions_[session] = on;
}

void FakeSite::logOutAll() {
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto &s : sessions_)
    s.second = false;
}

void FakeSite::setNewSessionsLoggedIn(bool on) {
  std::lock_guard<std::mutex> lock(mutex_);
  newSessionsLoggedIn_ = on;
}

// --- Uploads and the request log -------------------------------------------

std::vector<Upload> FakeSite::recordUploads(const httplib::Request &req,
                                            const std::string &folder,
                                            bool store) {
  const auto others = fields(req);
  std::vector<Upload> got;
  for (const auto &f : req.files)
    if (!f.second.filename.empty())
      got.push_back(
          {f.first, f.second.filename, f.second.content, folder, others});
  for (const Upload &u : got)
    if (store)
      keep(folder, u.filename, u.bytes);
  std::lock_guard<std::mutex> lock(mutex_);
  uploads_.insert(uploads_.end(), got.begin(), got.end());
  return got;
}

std::vector<Upload> FakeSite::uploads() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return uploads_;
}

void FakeSite::clearUploads() {
  std::lock_guard<std::mutex> lock(mutex_);
  uploads_.clear();
}

std::vector<RequestLine> FakeSite::requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

void FakeSite::clearRequests() {
  std::lock_guard<std::mutex> lock(mutex_);
  requests_.clear();
}

// --- Faults ------------------------------------------------------------------

void FakeSite::setSwitch(std::map<std::string, int> &paths,
                         const std::string &path, int value) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (value > 0)
      paths[path] = value;
    else
      paths.erase(path);
  }
  wake_.notify_all();
}

void FakeSite::stallPath(const std::string &path, int ms) {
  setSwitch(stalls_, path, ms);
}

void FakeSite::neverCompletePath(const std::string &path, bool on) {
  setSwitch(neverComplete_, path, on);
}

void FakeSite::failPath(const std::string &path, int status) {
  setSwitch(failures_, path, status);
}

void FakeSite::dropUploadConnection(bool on) {
  std::lock_guard<std::mutex> lock(mutex_);
  dropUpload_ = on;
}

httplib::Server::HandlerResponse
FakeSite::preRouting(const httplib::Request &req, httplib::Response &res) {
  const bool upload = req.method == "POST" && req.is_multipart_form_data();
  int failure = 0;
  bool drop = false;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    if (req.path != "/favicon.ico")
      requests_.push_back({req.method, req.path});
    if (auto it = failures_.find(req.path); it != failures_.end())
      failure = it->second;
    drop = upload && dropUpload_;
    // A stall holds the request until its time is up, the stall is changed
    // or the site stops.
    if (auto it = stalls_.find(req.path); it != stalls_.end() && !drop) {
      const int stall = it->second;
      wake_.wait_for(lock, std::chrono::milliseconds(stall), [&] {
        auto now = stalls_.find(req.path);
        return stopping_ || now == stalls_.end() || now->second != stall;
      });
    }
  }
  if (drop) {
    // The library gives a handler no access to its connection; shutting it
    // down makes the library fail to write its answer and close it.
    if (shutDownConnections(req.local_port, req.remote_port) > 0) {
      res.status = 500; // never sent: the socket is already shut down
      return httplib::Server::HandlerResponse::Handled;
    }
    std::fprintf(stderr, "fakesite: could not find the upload's socket\n");
  }

  // The request is the library's own non-const object; only the reference
  // handed to this hook is const. It is changed where that is the only way
  // to steer the library.
  //
  // The library compresses text for browsers that accept it, after the
  // handler but before postRouting(), which then could not add to a page.
  // Pages on loopback gain nothing from compression anyway.
  const_cast<httplib::Request &>(req).headers.erase("Accept-Encoding");
  if (failure > 0) {
    // Answering here would leave a post's body unread on a connection that
    // stays open. Sending the request to the error page instead lets the
    // library read the body first.
    const_cast<httplib::Request &>(req).path =
        "/__status/" + std::to_string(failure);
  }
  return httplib::Server::HandlerResponse::Unhandled;
}

void FakeSite::postRouting(const httplib::Request &req,
                           httplib::Response &res) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!neverComplete_.count(req.path))
      return;
  }
  if (res.get_header_value("Content-Type").rfind("text/html", 0) != 0)
    return;
  const std::string img = "<img src=\"" + std::string(kNeverImage) +
                          "?for=" + percentEncode(req.path) +
                          "\" alt=\"\" width=\"1\" height=\"1\">";
  auto at = res.body.rfind("</body>");
  res.body.insert(at == std::string::npos ? res.body.size() : at, img);
  res.headers.erase("Content-Length");
  res.set_header("Content-Length", std::to_string(res.body.size()));
}

void FakeSite::serveNeverImage(const httplib::Request &req,
                               httplib::Response &res) {
  const std::string page = req.get_param_value("for");
  res.set_header("Cache-Control", "no-store");
  res.set_content_provider(
      tinyPng().size(), "image/png",
      [this, page](size_t offset, size_t, httplib::DataSink &sink) {
        {
          std::unique_lock<std::mutex> lock(mutex_);
          while (!stopping_ && neverComplete_.count(page)) {
            wake_.wait_for(lock, std::chrono::milliseconds(200));
            if (sink.is_writable && !sink.is_writable())
              return false;
          }
          if (stopping_)
            return false;
        }
        const std::string &png = tinyPng();
        sink.write(png.data() + offset, png.size() - offset);
        return true;
      });
}

// Finds connections among the process's descriptors by their two ports;
// remotePort -1 takes every connection accepted on localPort.
int FakeSite::shutDownConnections(int localPort, int remotePort) {
  DIR *dir = opendir("/proc/self/fd");
  if (!dir)
    return 0;
  int count = 0;
  while (dirent *entry = readdir(dir)) {
    char *end = nullptr;
    const long n = std::strtol(entry->d_name, &end, 10);
    const int fd = static_cast<int>(n);
    if (end == entry->d_name || *end != '\0' || fd == dirfd(dir))
      continue;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISSOCK(st.st_mode))
      continue;
    sockaddr_storage local{}, peer{};
    socklen_t localLen = sizeof(local), peerLen = sizeof(peer);
    if (getsockname(fd, reinterpret_cast<sockaddr *>(&local), &localLen) != 0 ||
        portOf(local) != localPort)
      continue;
    if (getpeername(fd, reinterpret_cast<sockaddr *>(&peer), &peerLen) != 0 ||
        (remotePort != -1 && portOf(peer) != remotePort))
      continue;
    ::shutdown(fd, SHUT_RDWR);
    ++count;
  }
  closedir(dir);
  return count;
}

} // namespace fake
