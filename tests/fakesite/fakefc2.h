// The FC2 blog service as the tests meet it; its pages are pages/fc2.pages.
#pragma once

#include "fakesite.h"

namespace fake {

class FakeFc2 : public FakeSite {
public:
  explicit FakeFc2(std::string host = "fc2.com.localhost");

  void setCredentials(const std::string &email, const std::string &password) {
    set("user", email);
    set("password", password);
  }
  std::string loginUrl() const { return url("/"); }
  std::string topUrl() const { return url("/blog/"); }
  // The files as the blog holds them, by stored name.
  std::map<std::string, std::string> storedFiles() const {
    return storedIn("");
  }
  void storeFile(const std::string &name, const std::string &bytes) {
    keep("", name, bytes);
  }
};

} // namespace fake
