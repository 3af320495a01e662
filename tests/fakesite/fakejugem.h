// The Jugem blog service as the tests meet it; its pages are
// pages/jugem.pages.
#pragma once

#include "fakesite.h"

namespace fake {

class FakeJugem : public FakeSite {
public:
  explicit FakeJugem(std::string host = "jugem.localhost");
  std::string loginUrl() const { return url("/"); }
};

} // namespace fake
