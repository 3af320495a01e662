#include "fakegoo.h"

namespace fake {

FakeGoo::FakeGoo(std::string host) : FakeSite(std::move(host)) {
  loadPages("goo", {{"POST /admin/image", [this](Visit &v) {
                       v.vars["result"] = uploadResult(
                           recordUploads(v.req), " をアップロードしました。");
                     }}});
}

} // namespace fake
