// A blog that none of the built-in scripts knows, for the user-defined
// script. Every element the script looks for is named by Options, so one
// site serves both the generic layout and a copy of another service's
// names.
//
// Pages:
//   /          the top page: the sign-in link (Options::signInText) to /login
//   /login     the login form (user and password fields, a submit button or
//              an image button); a logged-in browser sees the "already
//              logged in" link to /home instead
//   /home      the first page after the login: link1 to /page1 (or straight
//              to /upload when link2Text is empty)
//   /page1     link2 to /upload
//   /upload    the upload form: thumbnail box, file input, file-name field,
//              extra text fields and a check box, submit button; its post
//              stores the file and shows "アップロードしました: NAME" (with the
//              form again when formAfterUpload)
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
