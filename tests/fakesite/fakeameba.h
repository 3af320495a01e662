// The Ameba blog service as the tests meet it.
//
// Pages:
//   /               logged out: the login form ("amebaid", "password" and an
//                   image button with the alt "Ameba (アメーバ)ログイン");
//                   logged in: the account id block (h2 "amebaid") followed
//                   by a link to the account's pages, "記事を書く" and
//                   "ログアウト"
//   /login          the login form's target; success leads back to /
//   /entry/new      the entry editor with the link "画像フォルダ"
//   /image/folder   the image folder: "image_file[0]", "image_title[0]" and
//                   "アップロード"; its post stores the file with its title and
//                   shows the folder again
//   /logout         ends the login
#pragma once

#include "fakesite.h"

namespace fake {

class FakeAmeba : public FakeSite {
public:
  struct Options {
    std::string amebaid = "ameba_user";
    std::string password = "secret";
    std::string loginAlt = "Ameba (アメーバ)ログイン";
    // The account the id block links to; empty: the logged-in account.
    std::string shownAccount;
  };

  struct Image {
    std::string title;
    std::string bytes;
  };

  explicit FakeAmeba(std::string host = "ameba.jp.localhost");
  ~FakeAmeba() override;

  Options options() const;
  void setOptions(const Options &options);

  std::string loginUrl() const { return url("/"); }
  // Stored images by file name.
  std::map<std::string, Image> stored() const;

private:
  std::string folderPage(const std::string &result) const;

  mutable std::mutex amebaMutex_;
  Options options_;
  std::map<std::string, Image> stored_;
};

} // namespace fake
