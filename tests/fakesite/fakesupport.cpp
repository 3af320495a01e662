#include "fakesupport.h"

namespace fake {

FakeSupport::FakeSupport(std::string host) : FakeSite(std::move(host)) {
  loadPages("support");
}

int FakeSupport::adVisits() const {
  int n = 0;
  for (const auto &r : requests())
    n += r.path.rfind("/ad/", 0) == 0;
  return n;
}

} // namespace fake
