// The Webry blog service as the tests meet it; its pages are
// pages/webry.pages.
#pragma once

#include "fakesite.h"

namespace fake {

class FakeWebry : public FakeSite {
public:
  explicit FakeWebry(std::string host = "webry.localhost");
  std::string loginUrl() const { return url("/"); }
  void addFolder(const std::string &name);
  // The address a stored file is listed under.
  std::string fileUrl(const std::string &folder,
                      const std::string &name) const {
    return baseUrl() + "/files/" + percentEncode(folder) + "/" +
           percentEncode(name);
  }
};

} // namespace fake
