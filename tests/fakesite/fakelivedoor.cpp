#include "fakelivedoor.h"

namespace fake {

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

} // namespace fake
