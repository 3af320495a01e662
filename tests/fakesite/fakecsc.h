// The CSC blog service as the tests meet it.
//
// Pages:
//   /          logged out: the login form ("data[user][email]",
//              "data[user][password]", the button named "login");
//              logged in: the greeting "ようこそ、ACCOUNTさん" in a div of
//              class "fb12", and the links "画像の管理" and "ログアウト"
//   /login     the login form's target; success leads back to /
//   /image/    the image management page: "data[image][file_image1]" and
//              "画像を追加する"; its post stores the file and shows the page
//              again with the new image listed
//   /logout    ends the login
#pragma once

#include "fakesite.h"

namespace fake {

class FakeCsc : public FakeSite {
public:
  struct Options {
    std::string email = "csc@example.com";
    std::string password = "secret";
    // The name the greeting shows; empty: the account's own.
    std::string greetingName;
  };

  explicit FakeCsc(std::string host = "cscblog.localhost");
  ~FakeCsc() override;

  Options options() const;
  void setOptions(const Options &options);

  std::string loginUrl() const { return url("/"); }
  // Stored images by name.
  std::map<std::string, std::string> stored() const;

private:
  std::string imagePage(const std::string &result) const;

  mutable std::mutex cscMutex_;
  Options options_;
  std::map<std::string, std::string> stored_;
};

} // namespace fake
