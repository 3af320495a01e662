#include "fakedti.h"

namespace fake {

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

} // namespace fake
