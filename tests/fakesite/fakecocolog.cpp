#include "fakecocolog.h"

namespace fake {

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

} // namespace fake
