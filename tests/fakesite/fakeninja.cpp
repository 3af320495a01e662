#include "fakeninja.h"

namespace fake {

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

} // namespace fake
