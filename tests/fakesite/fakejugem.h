// The Jugem blog service as the tests meet it.
//
// Pages:
//   /                    login page: "account_name", "password" and a
//                        "ログイン" submit; logged in, the user's name in a
//                        <span> instead of the form. Always the link
//                        "管理者ページ", which asks for a new window.
//   /login               the form's target; back to / either way
//   /admin/              the management page: an image link whose alt is
//                        "画像の管理", "ログアウト"
//   /admin/images/       "画像アップロードの使い方" (help), then
//                        "画像アップロード"
//   /admin/upload        the upload form: upfile0, alt0, the radios
//                        create_thumb / not_create_thumb, a submit; its post
//                        stores the file and shows the form again under the
//                        field "image_alt" holding the image's address
//   /logout              ends the login
//   /img/NAME            a stored image
#pragma once

#include "fakesite.h"

namespace fake {

class FakeJugem : public FakeSite {
public:
  struct Options {
    std::string account = "jugemuser";
    std::string password = "secret";
    bool emptyUrlField = false; // the result's address field is empty
    bool hideFileInput = false; // upload form without its file input
  };

  explicit FakeJugem(std::string host = "jugem.localhost");
  ~FakeJugem() override;

  Options options() const;
  void setOptions(const Options &options);
  std::string loginUrl() const { return url("/"); }
  std::map<std::string, std::string> storedFiles() const;

private:
  std::string uploadForm() const;
  std::string adminMenu() const;

  mutable std::mutex jugemMutex_;
  Options options_;
  std::map<std::string, std::string> stored_;
};

} // namespace fake
