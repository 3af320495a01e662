// The Ninja blog service as the tests meet it; its pages are
// pages/ninja.pages.
#pragma once

#include "fakesite.h"

namespace fake {

class FakeNinja : public FakeSite {
public:
  explicit FakeNinja(std::string host = "ninja.localhost");
  std::string loginUrl() const { return url("/login.html"); }
  // The address under which a stored file is served (as the list shows it).
  std::string fileUrl(const std::string &blog, const std::string &name) const {
    return url("/files/" + percentEncode(blog) + "/" + percentEncode(name));
  }
};

} // namespace fake
