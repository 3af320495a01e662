// The Rakuten blog service as the tests meet it; its pages are
// pages/rakuten.pages.
#pragma once

#include "fakesite.h"

#include <atomic>

namespace fake {

class FakeRakuten : public FakeSite {
public:
  explicit FakeRakuten(std::string host = "plaza.rakuten.localhost");
  ~FakeRakuten() override { stop(); }
  std::string loginUrl() const { return url("/"); }
  // The address an upload's text area shows for a stored picture.
  std::string pictureUrl(int number, const std::string &name) const {
    return baseUrl() + "/photo/" + std::to_string(number) + "/" + name;
  }

private:
  std::atomic<int> pictures_{0};
};

} // namespace fake
