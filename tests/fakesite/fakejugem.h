// The Jugem blog service as the tests meet it.
//
// Pages: / (login form "account_name", "password", "ログイン"; logged in,
// the user's name in a span instead; always "管理者ページ", which asks for
// a new window), /login (back to / either way), /admin/ (an image link
// whose alt is "画像の管理", "ログアウト"), /admin/images/ (a help link that
// starts like "画像アップロード", then that link), /admin/upload (upfile0,
// alt0, the radios create_thumb / not_create_thumb, a submit; the post
// keeps the file and shows its address in the field "image_alt"), /logout,
// /img/NAME.
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
  ~FakeJugem() override { stop(); }
  std::string loginUrl() const { return url("/"); }
  std::map<std::string, std::string> storedFiles() const {
    return storedIn("");
  }

private:
  std::string uploadForm() const;
};

} // namespace fake
