// The Cocolog blog service as the tests meet it; its pages are
// pages/cocolog.pages.
#pragma once

#include "fakesite.h"

namespace fake {

class FakeCocolog : public FakeSite {
public:
  explicit FakeCocolog(std::string host = "cocolog-nifty.localhost");
  std::string loginUrl() const { return url("/t/app"); }
};

} // namespace fake
