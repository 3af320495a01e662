#include "fakerakuten.h"

namespace fake {

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

} // namespace fake
