// A blog that none of the built-in scripts knows, for the user-defined
// script; its pages are pages/generic.pages.
#pragma once

#include "fakesite.h"

namespace fake {

class FakeGeneric : public FakeSite {
public:
  explicit FakeGeneric(std::string host = "myblog.localhost");

  std::string topUrl() const { return url("/"); }
  std::string loginUrl() const { return url("/login"); }
};

} // namespace fake
