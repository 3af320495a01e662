// The CSC blog service as the tests meet it; its pages are pages/csc.pages.
#pragma once

#include "fakesite.h"

namespace fake {

class FakeCsc : public FakeSite {
public:
  explicit FakeCsc(std::string host = "cscblog.localhost");
  std::string loginUrl() const { return url("/"); }
  // Stored images by name.
  std::map<std::string, std::string> stored() const { return storedIn(""); }
};

} // namespace fake
