// The DTI blog service as the tests meet it.
//
// Pages: /login.html (id, pass, "管理画面へログイン"; a logged-in browser
// goes on to /admin/), /admin/ (menu), /admin/upload (thumb, upfile,
// "アップロード" above the table of stored files, whose name cell is
// td.cell6; the post keeps the file and shows form and table again),
// /logout.
#pragma once

#include "fakesite.h"

namespace fake {

struct DtiOptions {
  std::string id = "user1";
  std::string password = "secret";
  // The table shows names in capitals, as some servers store them.
  bool upperCaseNames = false;
  // The next n results leave the newest file out of the table.
  int unlistedResults = 0;
};

class FakeDti : public SiteWith<DtiOptions> {
public:
  explicit FakeDti(std::string host = "dtiblog.localhost");
  ~FakeDti() override { stop(); }
  std::string loginUrl() const { return url("/login.html"); }

private:
  std::string uploadBody(bool hideNewest) const;
};

} // namespace fake
