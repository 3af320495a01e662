// The So-net blog service as the tests meet it: / (a login image link, or
// "管理ページ" and a log-out image link), /login (member fields
// "SSO_COMMON_ID" / "SSO_COMMON_PWD" and mail fields "mailAddress" /
// "password" in one form: the kind is the one whose fields were filled; a
// failed mail login shows a page with a "戻る" button), /manage,
// /manage/articles (with reauthentication, first the re-authentication form
// of the session's kind), /manage/files, /logout.
#pragma once

#include "fakesite.h"

namespace fake {

struct SonetOptions {
  std::string memberId = "sonetuser";
  std::string mailAddress = "user@so-net.example";
  std::string password = "secret";
  bool reauthentication = false; // the articles link asks again
};

class FakeSonet : public SiteWith<SonetOptions> {
public:
  explicit FakeSonet(std::string host = "so-net.localhost");
  ~FakeSonet() override { stop(); }
  std::string loginUrl() const { return url("/"); }
  // "member" or "mail": how the last successful login was made ("" none).
  std::string lastLoginKind() const;
  // How many re-authentications were accepted.
  int reauthentications() const;

private:
  struct State {
    std::string kind;
    bool reauthenticated = false;
  };
  State stateOf(const std::string &session) const;

  mutable std::mutex stateMutex_;
  std::map<std::string, State> states_;
  std::string lastKind_;
  int reauths_ = 0;
};

} // namespace fake
