// The DTI blog service as the tests meet it; its pages are pages/dti.pages.
#pragma once

#include "fakesite.h"

namespace fake {

class FakeDti : public FakeSite {
public:
  explicit FakeDti(std::string host = "dtiblog.localhost");
  std::string loginUrl() const { return url("/login.html"); }
};

} // namespace fake
