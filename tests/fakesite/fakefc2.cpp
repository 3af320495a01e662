#include "fakefc2.h"

namespace fake {

FakeFc2::FakeFc2(std::string host) : FakeSite(std::move(host)) {
  // The upload page lists the stored files; its post keeps the files sent
  // and shows each one's address.
  auto listStored = [this](Visit &v) {
    for (const auto &f : storedFiles())
      v.vars["stored"] += "<li>" +
                          link("/file/" + percentEncode(f.first), f.first) +
                          "</li>\n";
  };
  auto upload = [this, listStored](Visit &v) {
    const bool replace = v.field("overwrite") == "1";
    const std::string base = on("omitResultHttp")
                                 ? this->host() + ":" + std::to_string(port())
                                 : baseUrl();
    const auto got = recordUploads(v.req);
    std::string &result = v.vars["result"];
    for (const auto &u : got) {
      const std::string text =
          escape(opt("resultPrefix") + base + "/file/" +
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

} // namespace fake
