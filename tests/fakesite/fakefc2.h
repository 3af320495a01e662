// The FC2 blog service as the tests meet it.
//
// Pages:
//   /             login page: fields "email" and "pass", an image button whose
//                 alt is "ログイン"; a logged-in browser is sent to
//                 /control.php
//   /login.php    the login form's target; wrong credentials show the login
//                 page again, right ones lead to /control.php
//   /blog/        the blog top page: "・ブログ管理画面へ" when logged in, a
//                 "ログイン" link to / when not
//   /control.php  the management page: links "ファイルアップロード" and
//                 "ログアウト" (the login page when logged out)
//   /upload.php   the upload form (thumb, upfile[], overwrite, "アップロード");
//                 its post stores the files and shows the form again under
//                 "ファイルをアップロードしました : http://HOST:PORT/file/NAME"
//   /logout.php   ends the login and says so
//   /file/NAME    a stored file
#pragma once

#include "fakesite.h"

namespace fake {

class FakeFc2 : public FakeSite {
public:
  struct Options {
    std::string email = "user@example.com";
    std::string password = "secret";
    std::string loginAlt = "ログイン";      // alt of the login image button
    std::string loginLinkText = "ログイン"; // the top page's login link
    // The top page offers "・ブログ管理画面へ" also to a logged-out browser
    // (the link then leads to the login page).
    bool adminLinkWhenLoggedOut = false;
    bool thumbChecked = false;          // thumbnail box ticked at first
    bool singleOverwriteOption = false; // only "別名で保存"
    bool hideFileInput = false;         // upload form without its file input
    bool fileInputHidden = false;    // a display:none input opened by a label
    bool submitLoadsNothing = false; // the form's submit is swallowed
    bool omitResultSpan = false;     // the result is shown, but not in a <span>
    bool omitResultHttp = false;     // the result's address lacks "http://"
    std::string resultPrefix = "ファイルをアップロードしました : ";
  };

  // Values of the overwrite list's two options.
  static constexpr const char *kKeepBoth = "0"; // "別名で保存"
  static constexpr const char *kReplace = "1";  // "上書き保存"

  explicit FakeFc2(std::string host = "fc2.com.localhost");
  ~FakeFc2() override;

  Options options() const;
  void setOptions(const Options &options);
  void setCredentials(const std::string &email, const std::string &password);

  std::string loginUrl() const { return url("/"); }
  std::string topUrl() const { return url("/blog/"); }

  // The files as the blog holds them, by stored name.
  std::map<std::string, std::string> storedFiles() const;
  // Puts a file on the blog as if uploaded earlier.
  void storeFile(const std::string &name, const std::string &bytes);

private:
  std::string loginBody(const Options &o, bool failed) const;
  std::string uploadBody(const Options &o, const std::string &result) const;
  std::string freeName(const std::string &name) const; // needs fc2Mutex_
  void showLogin(const httplib::Request &req, httplib::Response &res,
                 bool failed);
  void postUpload(const httplib::Request &req, httplib::Response &res);

  mutable std::mutex fc2Mutex_;
  Options options_;
  std::map<std::string, std::string> stored_;
};

} // namespace fake
