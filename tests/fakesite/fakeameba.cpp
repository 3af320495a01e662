#include "fakeameba.h"

namespace fake {

FakeAmeba::FakeAmeba(std::string host) : FakeSite(std::move(host)) {
  // The folder lists its images as "TITLE (NAME)".
  auto listImages = [this](Visit &v) {
    std::string &images = v.vars["images"];
    for (const auto &f : stored())
      images +=
          (images.empty() ? "" : "|") + f.second.title + " (" + f.first + ")";
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

} // namespace fake
