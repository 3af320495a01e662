// A small web server that stands in for a blog service during tests.
//
// A FakeSite listens on 127.0.0.1 on a port the system picks and is reached
// as http://HOST:PORT/, HOST being a name under ".localhost" so that the
// browser resolves it to the loopback address on its own. A concrete site
// (one per blog service, in sites.h) is a page table read from pages/: each
// page says its path, title, who may see it and its body's template; the
// engine keeps the sessions, the uploads and the files they left, the
// request log, the traps and the faults a test can switch on while the site
// runs.
#pragma once

#include <httplib.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace fake {

// One file part of a multipart post that the site accepted.
struct Upload {
  std::string field;    // name of the file input, e.g. "upfile[]"
  std::string filename; // the name as the browser sent it (raw UTF-8 bytes)
  std::string bytes;    // the file's content, byte for byte
  std::string folder;   // where the site put it ("" when it has no folders)
  std::map<std::string, std::string> fields; // the post's other form fields
};

// What a page's body is made from: the request, its session (made on the
// first visit) and the path's groups.
struct Visit {
  const httplib::Request &req;
  httplib::Response &res;
  std::string session;
  bool member; // logged in
  bool answered = false;
  // What a page's action hands to its template ("|" separates list items).
  std::map<std::string, std::string> vars;
  std::string arg(int i = 1) const { return req.matches[i].str(); }
  std::string field(const std::string &name) const;
  // Appends an item to the list variable `name` (see FakeSite::join).
  void add(const std::string &name, const std::string &item);
  // Answers with a redirect instead of the page; the body is dropped.
  std::string redirect(const std::string &to);
};

enum class Gate {
  Open,   // anyone
  Member, // a visitor who is not logged in is sent to the login page
  Upload  // a post of a logged-in session; others get 403
};

struct Page {
  std::string method; // "GET" or "POST"
  std::string path;   // a regular expression; groups reach Visit::arg
  std::string title;
  Gate gate;
  std::function<std::string(Visit &)> body;
};

struct RequestLine {
  std::string method;
  std::string path; // decoded, without the query
};

class FakeSite {
public:
  explicit FakeSite(std::string host);
  // Subclasses whose handlers touch their own members must call stop() in
  // their destructor: by the time this one runs, they are gone.
  virtual ~FakeSite();
  FakeSite(const FakeSite &) = delete;
  FakeSite &operator=(const FakeSite &) = delete;

  // Binds an ephemeral port (the same one again after stop()) and serves on
  // a thread of its own; returns once connections are accepted. False when
  // no port could be bound.
  bool start();
  // Releases every held response (stalls, never-ending images) and waits
  // until the serving threads have ended.
  void stop();

  int port() const { return port_; }
  const std::string &host() const { return host_; }
  std::string baseUrl() const; // "http://HOST:PORT"
  std::string url(const std::string &path) const;

  httplib::Server &server() { return svr_; }

  // --- Page tables -----------------------------------------------------------
  void addPages(const std::vector<Page> &pages);
  // Reads the page table pages/NAME.pages (its format is described in
  // pages/README.md): the options and their defaults, the login, and the
  // pages, whose bodies are templates. A page's action, keyed "METHOD PATH",
  // runs before its template: it may set variables, or answer itself.
  using Action = std::function<void(Visit &)>;
  void loadPages(const std::string &name,
                 const std::map<std::string, Action> &actions = {});
  // A template filled in for this visit.
  std::string render(const std::string &tpl, Visit &v) const;

  // --- HTML pieces for actions --------------------------------------------
  static std::string link(const std::string &href, const std::string &text);
  // A line "NAME done" per file, or one line telling none came.
  static std::string uploadResult(const std::vector<Upload> &got,
                                  const std::string &done);
  // Visits of the look-alike elements (under /trap/) that the tables carry:
  // a scanner that takes the wrong one of two shows here.
  int trapped() const;

  // --- Stored files (folder, name) -----------------------------------------
  // Keeps bytes under folder/name, or under the first free "stem_N.ext"
  // unless `replace`; returns the name used.
  std::string keep(const std::string &folder, const std::string &name,
                   const std::string &bytes, bool replace = true);
  std::map<std::string, std::map<std::string, std::string>> stored() const;
  std::map<std::string, std::string> storedIn(const std::string &folder) const;
  // A folder's names in the order they were last written, newest last.
  std::vector<std::string> writeOrder(const std::string &folder) const;
  // Serves kept files as prefix + percent-encoded folder "/" name.
  void serveFiles(const std::string &prefix);

  // --- Pages ---------------------------------------------------------------
  static std::string escape(const std::string &text); // HTML text/attribute
  static std::string percentEncode(const std::string &text); // path segment
  static std::string trim(const std::string &text);          // spaces only
  static std::string upper(std::string text);                // ASCII only
  // A complete UTF-8 document around body.
  static std::string page(const std::string &title, const std::string &body);
  static void html(httplib::Response &res, const std::string &title,
                   const std::string &body, int status = 200);
  static void redirect(httplib::Response &res, const std::string &location);
  // A small valid PNG for image buttons and pictures.
  static const std::string &tinyPng();

  // A form field of a query, an urlencoded post or a multipart post
  // (non-file parts only); "" when absent.
  static std::string field(const httplib::Request &req,
                           const std::string &name);
  static std::map<std::string, std::string> fields(const httplib::Request &req);

  // --- Sessions (cookie "FAKESID") -----------------------------------------
  // The request's session, or a new one whose cookie goes out with res
  // (logged in when new sessions are).
  std::string ensureSession(const httplib::Request &req,
                            httplib::Response &res);
  bool isLoggedIn(const std::string &session) const;
  void setLoggedIn(const std::string &session, bool on);
  void logOutAll();
  // Stands for a browser that is still logged in from an earlier visit.
  void setNewSessionsLoggedIn(bool on);

  // --- Uploads -------------------------------------------------------------
  // Records every file part of req (parts with a file name) and returns
  // them; with `store`, keeps each in the folder too.
  std::vector<Upload> recordUploads(const httplib::Request &req,
                                    const std::string &folder = "",
                                    bool store = false);
  std::vector<Upload> uploads() const;
  void clearUploads();

  // --- Request log (favicon requests are left out) -------------------------
  std::vector<RequestLine> requests() const;
  void clearRequests();
  // Time spent handling requests, from routing to the answer.
  long long servedNanoseconds() const { return servedNs_; }

  // --- Options of the page table, switchable at any time from any thread ---
  // Setting an option the table does not declare aborts: a misspelt switch
  // would otherwise leave a test checking the default.
  void set(const std::string &name, const std::string &value);
  void set(const std::string &name, const char *value) {
    set(name, std::string(value));
  }
  void set(const std::string &name, bool on) { set(name, on ? "1" : ""); }
  void set(const std::string &name, int n) { set(name, std::to_string(n)); }
  void set(const std::string &name, const std::vector<std::string> &items);
  std::string opt(const std::string &name) const;
  bool on(const std::string &name) const; // set, and neither "" nor "0"
  std::vector<std::string> items(const std::string &name) const;
  // A list value of these items, for an option or a template variable.
  static std::string join(const std::vector<std::string> &items);
  // Counts a "the next n answers" option down; true while it was above 0.
  bool countDown(const std::string &name);

  // --- Faults, switchable at any time from any thread ----------------------
  // The response to path is held back ms milliseconds (0 clears).
  void stallPath(const std::string &path, int ms);
  // The HTML of path references an image whose response never ends while
  // the switch is on, so the page never reaches "complete".
  void neverCompletePath(const std::string &path, bool on = true);
  // Requests for path are answered with an error page of that status (0
  // clears); the page's handler does not run.
  void failPath(const std::string &path, int status = 500);
  // true: stop listening, so that connections are refused; false: listen
  // again on the same port. False when the port could not be bound again.
  bool refuse(bool on);
  // While on, multipart posts get no answer: the connection is closed before
  // the body is read, and nothing of it is stored. It stays on until switched
  // off because a browser silently sends a post again, on a new connection,
  // when a connection it reused dies; a single drop would never reach it.
  void dropUploadConnection(bool on);

private:
  bool listenOnThread();
  void shutDownServer();
  httplib::Server::HandlerResponse preRouting(const httplib::Request &req,
                                              httplib::Response &res);
  void postRouting(const httplib::Request &req, httplib::Response &res);
  void serveNeverImage(const httplib::Request &req, httplib::Response &res);
  // Sets a switch of a path (0 clears it) and wakes held responses.
  void setSwitch(std::map<std::string, int> &paths, const std::string &path,
                 int value);
  int shutDownConnections(int localPort, int remotePort);

  const std::string host_;
  httplib::Server svr_;
  std::thread thread_;
  std::atomic<int> port_{0};
  std::atomic<long long> servedNs_{0};
  std::atomic<int> listenFd_{-1};
  bool running_ = false; // guarded by lifeMutex_
  std::mutex lifeMutex_;

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::map<std::string, bool> sessions_; // id: logged in
  std::string loginPage_ = "/";
  std::map<std::string, std::string> login_; // the words of @login
  std::map<std::string, std::map<std::string, std::string>> files_;
  std::map<std::string, std::vector<std::string>> order_; // per folder
  bool newSessionsLoggedIn_ = false;
  std::vector<Upload> uploads_;
  std::vector<RequestLine> requests_;
  std::map<std::string, int> stalls_, neverComplete_, failures_;
  bool dropUpload_ = false;
  std::map<std::string, std::string> options_;
  std::map<std::string, std::string> blocks_; // named template parts
};

} // namespace fake
