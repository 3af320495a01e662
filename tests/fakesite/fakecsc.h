// The CSC blog service as the tests meet it.
//
// Pages: / (logged out: the login form "data[user][email]",
// "data[user][password]" and the button named "login"; logged in: the
// greeting "ようこそ、ACCOUNTさん" in div.fb12, "画像の管理", "ログアウト"),
// /login, /image/ ("data[image][file_image1]", "画像を追加する"; the post
// keeps the image and lists it), /logout.
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
  ~FakeCsc() override { stop(); }
  std::string loginUrl() const { return url("/"); }
  // Stored images by name.
  std::map<std::string, std::string> stored() const { return storedIn(""); }

private:
  std::string imagePage(const std::string &result) const;
};

} // namespace fake
