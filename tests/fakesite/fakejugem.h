// The Jugem blog service as the tests meet it: / (the login form, or the
// user's name in a span; always "管理者ページ", which asks for a new
// window), /admin/ (an image link whose alt is "画像の管理"),
// /admin/images/ (a help link that starts like "画像アップロード", then that
// link), /admin/upload (its post keeps the file and shows its address in the
// field "image_alt"), /logout and the files under /img/.
#pragma once

#include "fakesite.h"

namespace fake {

struct JugemOptions {
  std::string account = "jugemuser";
  std::string password = "secret";
  bool emptyUrlField = false; // the result's address field is empty
  bool hideFileInput = false; // upload form without its file input
};

class FakeJugem : public SiteWith<JugemOptions> {
public:
  explicit FakeJugem(std::string host = "jugem.localhost");
  std::string loginUrl() const { return url("/"); }
  std::map<std::string, std::string> storedFiles() const {
    return storedIn("");
  }

private:
  std::string uploadBody() const;
};

} // namespace fake
