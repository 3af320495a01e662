#include "fakejugem.h"

namespace fake {

FakeJugem::FakeJugem(std::string host) : FakeSite(std::move(host)) {
  loadPages("jugem",
            {{"POST /login",
              [this](Visit &v) {
                setLoggedIn(v.session,
                            v.field("account_name") == opt("user") &&
                                v.field("password") == opt("password"));
              }},
             {"POST /admin/upload", [this](Visit &v) {
                const auto got = recordUploads(v.req, "", true);
                if (got.empty())
                  v.vars["result"] = uploadResult(got, "");
                for (const auto &u : got)
                  v.vars["names"] +=
                      (v.vars["names"].empty() ? "" : "|") + u.filename;
              }}});
}

} // namespace fake
