// The livedoor blog service as the tests meet it; its pages are
// pages/livedoor.pages.
#pragma once

#include "fakesite.h"

namespace fake {

class FakeLivedoor : public FakeSite {
public:
  explicit FakeLivedoor(std::string host = "livedoor.localhost");
  ~FakeLivedoor() override { stop(); }
  std::string startUrl() const { return url("/"); }
  std::string fileUrl(const std::string &blog, const std::string &name) const;

private:
  // The blog a session works on, and the variables of the pages about it.
  std::string blogOf(const std::string &session) const;
  void blogVars(Visit &v) const;

  mutable std::mutex blogMutex_;
  std::map<std::string, std::string> chosenBlog_; // per session
};

} // namespace fake
