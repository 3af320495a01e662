// The CSC blog service as the tests meet it: / (the login form with a
// button named "login", or the greeting "ようこそ、ACCOUNTさん" in div.fb12
// and the menu), /image/ (its post keeps the image and lists it), /logout.
#pragma once

#include "fakesite.h"

namespace fake {

struct CscOptions {
  std::string email = "csc@example.com";
  std::string password = "secret";
  // The name the greeting shows; empty: the account's own.
  std::string greetingName;
};

class FakeCsc : public SiteWith<CscOptions> {
public:
  explicit FakeCsc(std::string host = "cscblog.localhost");
  std::string loginUrl() const { return url("/"); }
  // Stored images by name.
  std::map<std::string, std::string> stored() const { return storedIn(""); }

private:
  std::string imagePage(const std::string &result) const;
};

} // namespace fake
