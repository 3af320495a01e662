#include "fakecsc.h"

namespace fake {

FakeCsc::FakeCsc(std::string host) : FakeSite(std::move(host)) {
  auto listImages = [this](Visit &v) {
    std::string &images = v.vars["images"];
    for (const auto &f : stored())
      images += (images.empty() ? "" : "|") + f.first;
  };
  loadPages("csc", {{"GET /image/", listImages},
                    {"POST /image/", [this, listImages](Visit &v) {
                       const auto got = recordUploads(v.req, "", true);
                       v.vars["result"] = uploadResult(got, " を追加しました");
                       listImages(v);
                     }}});
}

} // namespace fake
