// The goo blog service as the tests meet it; its pages are pages/goo.pages.
#pragma once

#include "fakesite.h"

namespace fake {

class FakeGoo : public FakeSite {
public:
  explicit FakeGoo(std::string host = "blog.goo.ne.jp.localhost");
  std::string loginUrl() const { return url("/"); }
};

} // namespace fake
