#include "sites.h"

#include <algorithm>

namespace fake {

FakeFc2::FakeFc2(std::string host) : FakeSite(std::move(host)) {
  // The upload page lists the stored files; its post keeps the files sent
  // and shows each one's address.
  auto listStored = [this](Visit &v) {
    for (const auto &f : storedFiles())
      v.vars["stored"] +=
          "<li>" + link("/file/" + percentEncode(f.first), f.first) + "</li>\n";
  };
  auto upload = [this, listStored](Visit &v) {
    const bool replace = v.field("overwrite") == "1";
    const std::string base = on("omitResultHttp")
                                 ? this->host() + ":" + std::to_string(port())
                                 : baseUrl();
    const auto got = recordUploads(v.req);
    std::string &result = v.vars["result"];
    for (const auto &u : got) {
      const std::string text = escape(opt("resultPrefix") + base + "/file/" +
                                      keep("", u.filename, u.bytes, replace));
      result += on("omitResultSpan")
                    ? "<p class=\"result\">" + text + "</p>\n"
                    : "<p><span class=\"result\">" + text + "</span></p>\n";
    }
    if (got.empty())
      result = uploadResult(got, "");
    listStored(v);
  };
  loadPages("fc2",
            {{"GET /upload.php", listStored}, {"POST /upload.php", upload}});
}

FakeSeesaa::FakeSeesaa(std::string host) : FakeSite(std::move(host)) {
  // The file manager lists the blog's directories and the files it holds.
  auto files = [this](Visit &v) {
    const std::string blog = v.arg();
    std::vector<std::string> stored;
    for (const Upload &u : uploads())
      if (u.folder.rfind(blog + "/", 0) == 0)
        stored.push_back(u.folder.substr(blog.size() + 1) + "/" + u.filename);
    v.vars["dirs"] = join(directories(blog));
    v.vars["stored"] = join(stored);
  };
  loadPages("seesaa",
            {{"GET /",
              [this](Visit &v) {
                v.vars["signedIn"] =
                    v.member && !on("signInLinkAlways") ? "1" : "";
              }},
             {"GET /blog/(diary|photos)/files", files},
             {"POST /blog/(diary|photos)/files", [this, files](Visit &v) {
                // The list's choice decides the directory; a name typed in the
                // field only counts once its add button has put it into the
                // list.
                const std::string blog = v.arg();
                const std::string dir = v.field("upload__dirname_select");
                const auto got = recordUploads(v.req, blog + "/" + dir);
                {
                  auto list = directories(blog);
                  std::lock_guard<std::mutex> lock(dirsMutex_);
                  if (std::find(list.begin(), list.end(), dir) == list.end())
                    list.push_back(dir);
                  dirs_[blog] = list;
                }
                v.vars["result"] = uploadResult(got, " をアップロードしました");
                files(v);
              }}});
}

std::vector<std::string>
FakeSeesaa::directories(const std::string &blog) const {
  std::lock_guard<std::mutex> lock(dirsMutex_);
  auto it = dirs_.find(blog);
  if (it != dirs_.end())
    return it->second;
  return {"", "images", "Diary"};
}

FakeLivedoor::FakeLivedoor(std::string host) : FakeSite(std::move(host)) {
  const Action vars = [this](Visit &v) { blogVars(v); };
  loadPages("livedoor",
            {{"GET /manage", vars},
             {"GET /old/",
              [this](Visit &v) {
                if (v.req.has_param("blog_id")) {
                  const std::string blog = v.req.get_param_value("blog_id");
                  const auto known = items("blogs");
                  std::lock_guard<std::mutex> lock(blogMutex_);
                  for (const auto &b : known)
                    if (b == blog)
                      chosenBlog_[v.session] = blog;
                }
                blogVars(v);
              }},
             {"GET /old/files", vars},
             {"POST /old/upload", [this](Visit &v) {
                const std::string blog = blogOf(v.session);
                const auto folders = items("folders");
                std::string folder;
                for (size_t i = 0; i < folders.size(); ++i)
                  if (std::to_string(i) == v.field("folder_id_1"))
                    folder = folders[i];
                const auto got =
                    recordUploads(v.req, blog + "/" + folder, true);
                v.vars["confirmed"] =
                    !got.empty() && !countDown("unconfirmedResults") ? "1" : "";
                blogVars(v);
              }}});
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
  const auto blogs = items("blogs");
  std::lock_guard<std::mutex> lock(blogMutex_);
  auto it = chosenBlog_.find(session);
  if (it != chosenBlog_.end())
    return it->second;
  return blogs.empty() ? std::string() : blogs.front();
}

void FakeLivedoor::blogVars(Visit &v) const {
  const std::string blog = blogOf(v.session);
  const auto blogs = items("blogs");
  v.vars["blog"] = blog;
  v.vars["severalBlogs"] = blogs.size() > 1 ? "1" : "";
  for (const auto &b : blogs) {
    v.vars["choice"] = b;
    v.vars["chosen"] = b == blog ? "1" : "";
    v.vars["blogOptions"] += render("{{>blogOption}}", v);
  }
  for (const Upload &u : uploads())
    if (u.folder.rfind(blog + "/", 0) == 0) {
      v.vars["name"] = u.filename;
      v.vars["address"] = fileUrl(blog, u.filename);
      v.vars["files"] += render("{{>file}}", v);
    }
}

FakeDti::FakeDti(std::string host) : FakeSite(std::move(host)) {
  // The table of the files sent so far, one row each.
  auto table = [this](Visit &v, bool hideNewest) {
    auto files = uploads();
    if (hideNewest && !files.empty())
      files.pop_back();
    for (size_t i = 0; i < files.size(); ++i) {
      v.vars["number"] = std::to_string(i + 1);
      v.vars["size"] = std::to_string(files[i].bytes.size());
      v.vars["name"] =
          on("upperCaseNames") ? upper(files[i].filename) : files[i].filename;
      v.vars["rows"] += render("{{>row}}", v);
    }
  };
  loadPages("dti",
            {{"GET /admin/upload", [table](Visit &v) { table(v, false); }},
             {"POST /admin/upload", [this, table](Visit &v) {
                recordUploads(v.req);
                table(v, countDown("unlistedResults"));
              }}});
}

FakeNinja::FakeNinja(std::string host) : FakeSite(std::move(host)) {
  // The blog of the path's number; an unknown one leads back to the list.
  auto blogOf = [this](Visit &v) {
    const auto blogs = items("blogs");
    const size_t n = std::stoul(v.arg());
    if (n >= blogs.size())
      return v.redirect("/tools");
    return v.vars["blog"] = blogs[n];
  };
  // The stored files, newest first, one row of the table each.
  auto list = [this, blogOf](Visit &v, const std::string &highlight) {
    const std::string blog = blogOf(v);
    if (v.answered)
      return;
    const auto names = writeOrder(blog);
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
      v.vars["name"] = *it;
      v.vars["shown"] = on("upperCaseNames") ? upper(*it) : *it;
      v.vars["address"] = fileUrl(blog, *it);
      v.vars["highlight"] = *it == highlight ? "1" : "";
      v.vars["rows"] += render("{{>row}}", v);
    }
  };
  loadPages(
      "ninja",
      {{"GET /blog/(\\d+)/", [blogOf](Visit &v) { blogOf(v); }},
       {"GET /blog/(\\d+)/files", [list](Visit &v) { list(v, ""); }},
       {"POST /blog/(\\d+)/files", [this, blogOf, list](Visit &v) {
          const std::string blog = blogOf(v);
          if (v.answered)
            return;
          const auto got = recordUploads(v.req, blog);
          std::string highlight;
          for (const auto &u : got) {
            const std::string name =
                keep(blog, u.filename, u.bytes, v.field("overwrite") == "1");
            if (!countDown("missHighlights") && name != opt("neverHighlight"))
              highlight = name;
          }
          v.vars["result"] = uploadResult(got, " をアップロードしました。");
          list(v, highlight);
        }}});
}

FakeCsc::FakeCsc(std::string host) : FakeSite(std::move(host)) {
  auto listImages = [this](Visit &v) {
    for (const auto &f : stored())
      v.add("images", f.first);
  };
  loadPages("csc", {{"GET /image/", listImages},
                    {"POST /image/", [this, listImages](Visit &v) {
                       const auto got = recordUploads(v.req, "", true);
                       v.vars["result"] = uploadResult(got, " を追加しました");
                       listImages(v);
                     }}});
}

FakeAmeba::FakeAmeba(std::string host) : FakeSite(std::move(host)) {
  // The folder lists its images as "TITLE (NAME)".
  auto listImages = [this](Visit &v) {
    for (const auto &f : stored())
      v.add("images", f.second.title + " (" + f.first + ")");
  };
  loadPages("ameba", {{"GET /image/folder", listImages},
                      {"POST /image/folder", [this, listImages](Visit &v) {
                         const auto got = recordUploads(v.req);
                         for (const auto &u : got)
                           keep("", u.filename,
                                v.field("image_title[0]") + '\0' + u.bytes);
                         v.vars["result"] =
                             uploadResult(got, " をアップロードしました");
                         listImages(v);
                       }}});
}

std::map<std::string, FakeAmeba::Image> FakeAmeba::stored() const {
  // Each file is kept as its title, a NUL and its bytes.
  std::map<std::string, Image> out;
  for (const auto &f : storedIn("")) {
    const auto nul = f.second.find('\0');
    out[f.first] = {f.second.substr(0, nul), f.second.substr(nul + 1)};
  }
  return out;
}

FakeRakuten::FakeRakuten(std::string host) : FakeSite(std::move(host)) {
  auto upload = [this](Visit &v) {
    const auto albums = items("albums");
    const size_t n = std::stoul("0" + v.field("album"));
    if (n >= albums.size()) {
      v.vars["badAlbum"] = "1";
      return;
    }
    // The album as the service knows it, without the list's padding.
    const auto got = recordUploads(v.req, trim(albums[n]));
    if (got.empty())
      v.vars["result"] = uploadResult(got, "");
    std::string &urls = v.vars["urls"];
    for (const auto &u : got)
      urls += (urls.empty() ? "" : "\n") + pictureUrl(++pictures_, u.filename);
  };
  loadPages("rakuten", {{"POST /photo/upload", upload}});
}

FakeGoo::FakeGoo(std::string host) : FakeSite(std::move(host)) {
  loadPages("goo", {{"POST /admin/image", [this](Visit &v) {
                       v.vars["result"] = uploadResult(
                           recordUploads(v.req), " をアップロードしました。");
                     }}});
}

FakeCocolog::FakeCocolog(std::string host) : FakeSite(std::move(host)) {
  auto query = [](Visit &v) {
    for (const auto &p : v.req.params)
      v.vars[p.first] = p.second;
  };
  auto posted = [this](Visit &v, const std::string &folder) {
    v.vars["result"] =
        uploadResult(recordUploads(v.req, folder), " を追加しました。");
  };
  loadPages("cocolog", {{"GET /t/app/photos/add", query},
                        {"GET /t/app/files", query},
                        {"POST /t/app/photos/add",
                         [this, posted](Visit &v) {
                           const auto albums = items("albums");
                           const size_t n =
                               std::stoul("0" + v.req.get_param_value("album"));
                           if (n < albums.size())
                             posted(v, trim(albums[n]));
                           else
                             v.redirect("/t/app/photos");
                         }},
                        {"POST /t/app/files", [posted](Visit &v) {
                           posted(v, v.req.get_param_value("folder"));
                         }}});
}

FakeJugem::FakeJugem(std::string host) : FakeSite(std::move(host)) {
  loadPages("jugem",
            {{"POST /login",
              [this](Visit &v) {
                setLoggedIn(v.session,
                            v.field("account_name") == opt("user") &&
                                v.field("password") == opt("password"));
              }},
             {"POST /admin/upload", [this](Visit &v) {
                const auto got = recordUploads(v.req, "", true);
                if (got.empty())
                  v.vars["result"] = uploadResult(got, "");
                for (const auto &u : got)
                  v.add("names", u.filename);
              }}});
}

FakeWebry::FakeWebry(std::string host) : FakeSite(std::move(host)) {
  // The file manager of one folder: its files, newest last.
  auto manager = [this](Visit &v, const std::string &folder) {
    v.vars["folder"] = folder;
    v.vars["recent"] = items("folders").back();
    v.vars["files"] = join(writeOrder(folder));
  };
  loadPages("webry", {{"GET /fm/",
                       [manager](Visit &v) {
                         const std::string folder = v.field("folder");
                         manager(v, folder.empty() ? "default" : folder);
                       }},
                      {"POST /fm/mkdir",
                       [this](Visit &v) {
                         if (!v.field("folderName").empty())
                           addFolder(v.field("folderName"));
                       }},
                      {"POST /fm/upload", [this, manager](Visit &v) {
                         const std::string folder = v.field("folder");
                         v.vars["result"] =
                             uploadResult(recordUploads(v.req, folder, true),
                                          " をアップロードしました");
                         manager(v, folder);
                       }}});
}

void FakeWebry::addFolder(const std::string &name) {
  auto folders = items("folders");
  if (std::find(folders.begin(), folders.end(), name) == folders.end())
    folders.push_back(name);
  set("folders", folders);
}

FakeSonet::FakeSonet(std::string host) : FakeSite(std::move(host)) {
  // Whether the fields of the session's kind hold the account.
  auto right = [this](const Visit &v, bool member) {
    return member ? v.field("SSO_COMMON_ID") == opt("user") &&
                        v.field("SSO_COMMON_PWD") == opt("password")
                  : v.field("mailAddress") == opt("mailAddress") &&
                        v.field("password") == opt("password");
  };
  loadPages("sonet",
            {{"POST /login",
              [this, right](Visit &v) {
                const bool member = !v.field("SSO_COMMON_ID").empty();
                const bool ok = right(v, member);
                setLoggedIn(v.session, ok);
                if (ok) {
                  std::lock_guard<std::mutex> lock(stateMutex_);
                  lastKind_ = kinds_[v.session] = member ? "member" : "mail";
                  reauthenticated_.erase(v.session);
                  v.redirect("/");
                } else if (member) {
                  v.redirect("/login");
                }
              }},
             {"GET /manage/articles",
              [this](Visit &v) {
                std::lock_guard<std::mutex> lock(stateMutex_);
                v.vars["reauth"] =
                    on("reauthentication") && !reauthenticated_.count(v.session)
                        ? "1"
                        : "";
                v.vars["mail"] = kinds_[v.session] == "mail" ? "1" : "";
              }},
             {"POST /reauth",
              [this, right](Visit &v) {
                std::lock_guard<std::mutex> lock(stateMutex_);
                // A member re-enters only the password.
                if (kinds_[v.session] == "mail"
                        ? right(v, false)
                        : v.field("SSO_COMMON_PWD") == opt("password")) {
                  reauthenticated_.insert(v.session);
                  ++reauths_;
                }
              }},
             {"POST /manage/files", [this](Visit &v) {
                v.vars["result"] = uploadResult(recordUploads(v.req),
                                                " をアップロードしました");
              }}});
}

std::string FakeSonet::lastLoginKind() const {
  std::lock_guard<std::mutex> lock(stateMutex_);
  return lastKind_;
}

int FakeSonet::reauthentications() const {
  std::lock_guard<std::mutex> lock(stateMutex_);
  return reauths_;
}

FakeGeneric::FakeGeneric(std::string host) : FakeSite(std::move(host)) {
  loadPages("generic", {{"POST /login",
                         [this](Visit &v) {
                           const bool ok =
                               v.field(opt("userField")) == opt("user") &&
                               v.field(opt("passwordField")) == opt("password");
                           setLoggedIn(v.session, ok);
                           if (ok)
                             v.redirect("/home");
                         }},
                        {"POST /upload", [this](Visit &v) {
                           v.vars["result"] = uploadResult(
                               recordUploads(v.req), " をアップロードしました");
                         }}});
}

FakeSupport::FakeSupport(std::string host) : FakeSite(std::move(host)) {
  loadPages("support");
}

int FakeSupport::adVisits() const {
  int n = 0;
  for (const auto &r : requests())
    n += r.path.rfind("/ad/", 0) == 0;
  return n;
}

} // namespace fake
