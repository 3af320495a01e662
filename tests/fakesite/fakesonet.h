// The So-net blog service as the tests meet it.
//
// Pages:
//   /                 start page: a login image link (alt "ログイン") while
//                     logged out; "管理ページ" and a log-out image link once
//                     logged in
//   /login            one login form for both kinds: the member fields
//                     "SSO_COMMON_ID" / "SSO_COMMON_PWD" and the mail fields
//                     "mailAddress" / "password", one "ログイン" button; the
//                     kind is the one whose fields were filled. A failed
//                     member login shows the form again, a failed mail login
//                     a page with a "戻る" button.
//   /manage           "記事管理" and the log-out image link
//   /manage/articles  with re-authentication on and not yet given: the
//                     re-authentication form of the session's kind (member:
//                     "SSO_COMMON_PWD" and "認証"; mail: "mailAddress",
//                     "password" and "ログイン"); otherwise "ファイル管理"
//   /manage/files     the upload form ("upload__file", "アップロード"); its
//                     post stores the file and shows the form again
//   /logout           ends the login
#pragma once

#include "fakesite.h"

namespace fake {

class FakeSonet : public FakeSite {
public:
  struct Options {
    std::string memberId = "sonetuser";
    std::string mailAddress = "user@so-net.example";
    std::string password = "secret";
    bool reauthentication = false; // the articles link asks again
  };

  explicit FakeSonet(std::string host = "so-net.localhost");
  ~FakeSonet() override;

  Options options() const;
  void setOptions(const Options &options);
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
  std::string menu() const;

  mutable std::mutex sonetMutex_;
  Options options_;
  std::map<std::string, State> states_;
  std::string lastKind_;
  int reauths_ = 0;
};

} // namespace fake
