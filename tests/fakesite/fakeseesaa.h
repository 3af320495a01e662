// The SeeSaa blog service as the tests meet it; its pages are
// pages/seesaa.pages.
#pragma once

#include "fakesite.h"

namespace fake {

class FakeSeesaa : public FakeSite {
public:
  explicit FakeSeesaa(std::string host = "seesaa.localhost");
  ~FakeSeesaa() override { stop(); }
  std::string startUrl() const { return url("/"); }
  // Directories of a blog as its list shows them ("" is the top).
  std::vector<std::string> directories(const std::string &blog) const;

private:
  mutable std::mutex dirsMutex_;
  std::map<std::string, std::vector<std::string>> dirs_; // per blog
};

} // namespace fake
