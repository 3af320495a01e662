// The Ameba blog service as the tests meet it: / (the login form, or the
// account id block h2#amebaid followed by a link to the account's pages),
// /entry/new ("画像フォルダ"), /image/folder (its post keeps each file with
// its title), /logout.
#pragma once

#include "fakesite.h"

namespace fake {

struct AmebaOptions {
  std::string amebaid = "ameba_user";
  std::string password = "secret";
  std::string loginAlt = "Ameba (アメーバ)ログイン";
  // The account the id block links to; empty: the logged-in account.
  std::string shownAccount;
};

class FakeAmeba : public SiteWith<AmebaOptions> {
public:
  struct Image {
    std::string title;
    std::string bytes;
  };
  explicit FakeAmeba(std::string host = "ameba.jp.localhost");
  std::string loginUrl() const { return url("/"); }
  // Stored images by file name.
  std::map<std::string, Image> stored() const;

private:
  std::string folderPage(const std::string &result) const;
};

} // namespace fake
