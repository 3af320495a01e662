// The maker's support blog as the support visit meets it; its pages are
// pages/support.pages.
#pragma once

#include "fakesite.h"

namespace fake {

class FakeSupport : public FakeSite {
public:
  explicit FakeSupport(std::string host = "support.localhost");
  // Requests of advertisers' pages so far.
  int adVisits() const;
};

} // namespace fake
