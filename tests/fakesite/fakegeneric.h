// A blog that none of the built-in scripts knows, for the user-defined
// script. Every element the script looks for is named by Options, so one
// site serves both the generic layout and a copy of another service's
// names. Pages: / (the sign-in link), /login (the form, or an "already
// logged in" link to /home), /home (link1 to /page1, or straight to /upload
// when link2Text is empty), /page1 (link2), /upload (its post shows
// "NAME をアップロードしました", with the form again when formAfterUpload).
#pragma once

#include "fakesite.h"

#include <vector>

namespace fake {

struct GenericOptions {
  std::string user = "taro";
  std::string password = "himitsu";
  std::string signInText = "サインイン";
  std::string userField = "user_id";
  std::string passwordField = "user_pw";
  bool loginImageButton = false;            // <input type=image alt=...>
  std::string loginButtonText = "ログイン"; // value, or alt of the image
  std::string loggedInText = "管理画面へ";  // link shown when logged in
  std::string link1Text = "ファイル管理";
  std::string link2Text = "新規アップロード"; // "" : link1 leads to the form
  std::string thumbField = "make_thumb";
  bool thumbChecked = true;
  std::string fileField = "upload_file";
  std::string nameField = "file_title"; // "" : no file-name field
  std::vector<std::string> textFields = {"comment", "tags"};
  std::string checkField = "public"; // "" : no extra check box
  std::string submitText = "送信する";
  bool formAfterUpload = true;
};

class FakeGeneric : public SiteWith<GenericOptions> {
public:
  explicit FakeGeneric(std::string host = "myblog.localhost");

  std::string topUrl() const { return url("/"); }
  std::string loginUrl() const { return url("/login"); }

private:
  std::string loginBody(const Options &o, bool loggedIn) const;
  std::string uploadForm(const Options &o) const;
};

} // namespace fake
