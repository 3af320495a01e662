// The So-net blog service as the tests meet it; its pages are
// pages/sonet.pages.
#pragma once

#include "fakesite.h"

#include <set>

namespace fake {

class FakeSonet : public FakeSite {
public:
  explicit FakeSonet(std::string host = "so-net.localhost");
  ~FakeSonet() override { stop(); }
  std::string loginUrl() const { return url("/"); }
  // "member" or "mail": how the last successful login was made ("" none).
  std::string lastLoginKind() const;
  // How many re-authentications were accepted.
  int reauthentications() const;

private:
  mutable std::mutex stateMutex_;
  std::map<std::string, std::string> kinds_; // by session
  std::set<std::string> reauthenticated_;    // sessions
  std::string lastKind_;
  int reauths_ = 0;
};

} // namespace fake
