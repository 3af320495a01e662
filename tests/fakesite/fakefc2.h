// The FC2 blog service as the tests meet it: the login form at / (an image
// button whose alt has TABs in it), the blog top /blog/, the menu
// /control.php, /upload.php (its post keeps the files and shows
// "ファイルをアップロードしました : http://HOST:PORT/file/NAME" in a span),
// /logout.php and the files under /file/.
#pragma once

#include "fakesite.h"

namespace fake {

struct Fc2Options {
  std::string email = "user@example.com";
  std::string password = "secret";
  std::string loginAlt = "\tログ\tイン ";   // alt of the login image button
  std::string loginLinkText = " ログイン "; // the top page's login link
  // The top page offers "・ブログ管理画面へ" also to a logged-out browser
  // (the link then leads to the login page).
  bool adminLinkWhenLoggedOut = false;
  bool thumbChecked = false;          // thumbnail box ticked at first
  bool singleOverwriteOption = false; // only "別名で保存"
  bool hideFileInput = false;         // upload form without its file input
  bool fileInputHidden = false;       // a display:none input opened by a label
  bool submitLoadsNothing = false;    // the form's submit is swallowed
  bool omitResultSpan = false; // the result is shown, but not in a <span>
  bool omitResultHttp = false; // the result's address lacks "http://"
  std::string resultPrefix = "ファイルをアップロードしました : ";
};

class FakeFc2 : public SiteWith<Fc2Options> {
public:
  explicit FakeFc2(std::string host = "fc2.com.localhost");

  void setCredentials(const std::string &email, const std::string &password);
  std::string loginUrl() const { return url("/"); }
  std::string topUrl() const { return url("/blog/"); }
  // The files as the blog holds them, by stored name.
  std::map<std::string, std::string> storedFiles() const {
    return storedIn("");
  }
  void storeFile(const std::string &name, const std::string &bytes) {
    keep("", name, bytes);
  }

private:
  std::string uploadBody(const std::string &result) const;
};

} // namespace fake
