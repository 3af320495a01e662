#include "fakeseesaa.h"

#include <algorithm>

namespace fake {

namespace {
std::string joined(const std::vector<std::string> &items) {
  std::string out;
  for (size_t i = 0; i < items.size(); ++i)
    out += (i ? "|" : "") + items[i];
  return out;
}
} // namespace

FakeSeesaa::FakeSeesaa(std::string host) : FakeSite(std::move(host)) {
  // The file manager lists the blog's directories and the files it holds.
  auto files = [this](Visit &v) {
    const std::string blog = v.arg();
    std::vector<std::string> stored;
    for (const Upload &u : uploads())
      if (u.folder.rfind(blog + "/", 0) == 0)
        stored.push_back(u.folder.substr(blog.size() + 1) + "/" + u.filename);
    v.vars["dirs"] = joined(directories(blog));
    v.vars["stored"] = joined(stored);
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

} // namespace fake
