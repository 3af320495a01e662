#include "fakegeneric.h"

namespace fake {

FakeGeneric::FakeGeneric(std::string host) : FakeSite(std::move(host)) {
  loadPages("generic", {{"POST /login",
                         [this](Visit &v) {
                           const bool ok =
                               v.field(opt("userField")) == opt("user") &&
                               v.field(opt("passwordField")) == opt("password");
                           setLoggedIn(v.session, ok);
                           if (ok)
                             v.redirect("/home");
                         }},
                        {"POST /upload", [this](Visit &v) {
                           v.vars["result"] = uploadResult(
                               recordUploads(v.req), " をアップロードしました");
                         }}});
}

} // namespace fake
