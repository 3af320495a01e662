// The Ameba blog service as the tests meet it; its pages are
// pages/ameba.pages.
#pragma once

#include "fakesite.h"

namespace fake {

class FakeAmeba : public FakeSite {
public:
  struct Image {
    std::string title;
    std::string bytes;
  };
  explicit FakeAmeba(std::string host = "ameba.jp.localhost");
  std::string loginUrl() const { return url("/"); }
  // Stored images by file name.
  std::map<std::string, Image> stored() const;
};

} // namespace fake
