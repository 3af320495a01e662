#include "fakewebry.h"

#include <algorithm>

namespace fake {

FakeWebry::FakeWebry(std::string host) : FakeSite(std::move(host)) {
  // The file manager of one folder: its files, newest last.
  auto manager = [this](Visit &v, const std::string &folder) {
    v.vars["folder"] = folder;
    v.vars["recent"] = items("folders").back();
    for (const auto &name : writeOrder(folder))
      v.vars["files"] += (v.vars["files"].empty() ? "" : "|") + name;
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

} // namespace fake
