// The DTI blog service as the tests meet it: /login.html (a logged-in
// browser goes on to /admin/), the menu /admin/, /admin/upload (the form
// above the table of uploaded files, whose name cell is td.cell6), /logout.
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
  std::string loginUrl() const { return url("/login.html"); }

private:
  std::string uploadBody(bool hideNewest) const;
};

} // namespace fake
