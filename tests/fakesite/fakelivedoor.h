// The livedoor blog service as the tests meet it.
//
// Pages:
//   /               start page with the "管理ページ" link (to /manage)
//   /manage         the login form (livedoor_id, password and a button whose
//                   value contains "ログイン") for a browser that is not
//                   logged in; otherwise the new management screen with its
//                   "旧管理画面" link (or, with oldScreenFirst, the old one)
//   /old/           the old management screen: the blog list ("blog_id",
//                   one option per blog, button "変更") when the account has
//                   several blogs, and "ファイルの管理・お絵描き"
//   /old/files      file management: "ファイルのアップロード" and the files
//   /old/upload     the upload form (file_1, name_1, the radio pair
//                   make_thumbnail_1, folder_id_1 and the submit button); its
//                   post stores the file in the chosen blog and folder and
//                   shows "設定が完了しました。" in <strong> with a link per
//                   file of the blog, named after it, to /f/BLOG/NAME
//   /logout         ends the login
#pragma once

#include "fakesite.h"

namespace fake {

class FakeLivedoor : public FakeSite {
public:
  struct Options {
    std::string id = "user1";
    std::string password = "secret";
    std::string loginValue = "ログインする"; // contains "ログイン"
    std::vector<std::string> blogs = {"日々の写真", "Travel Notes"};
    std::vector<std::string> folders = {"未分類", "写真", "Screenshots"};
    // The management screen a logged-in browser gets is the old one.
    bool oldScreenFirst = false;
    // The next n upload results lack the confirmation text.
    int unconfirmedResults = 0;
    bool hideFileInput = false; // upload form without its file input
  };

  explicit FakeLivedoor(std::string host = "livedoor.localhost");
  ~FakeLivedoor() override;

  Options options() const;
  void setOptions(const Options &options);

  std::string startUrl() const { return url("/"); }
  std::string fileUrl(const std::string &blog, const std::string &name) const;

private:
  std::string loginBody(bool failed) const;
  std::string newScreenBody() const;
  std::string oldScreenBody(const Options &o, const std::string &blog) const;
  std::string uploadBody(const Options &o) const;
  std::string fileList(const std::string &blog) const;
  std::string blogOf(const std::string &session) const;
  void postUpload(const httplib::Request &req, httplib::Response &res);

  mutable std::mutex livedoorMutex_;
  Options options_;
  std::map<std::string, std::string> chosenBlog_; // per session
};

} // namespace fake
