// The Cocolog blog service as the tests meet it.
//
// Pages (all under /t/app):
//   /t/app           the login page: "username", "password" and a button
//                    reading "ログイン"; a logged-in browser sees the menu
//                    ("マイフォト", "コントロールパネル", "ログアウト", each
//                    asking for a window of its own) instead of the form
//   /t/app/login     the login form's target
//   /t/app/photos    the albums, each an h4 heading followed by its own
//                    "新しい写真の追加" link
//   /t/app/photos/add?album=N  the album's form ("file1", "写真を追加する");
//                    its post stores the files in the album and answers with
//                    a page that has no form
//   /t/app/control   the control panel: link "ファイル" (new window)
//   /t/app/files?folder=NAME   the file manager: one link per folder, the
//                    form ("file", "アップロード"); its post stores the files
//                    in the folder shown ("" for the top) and answers with a
//                    page that has no form
//   /t/app/logout    ends the login
#pragma once

#include "fakesite.h"

#include <vector>

namespace fake {

class FakeCocolog : public FakeSite {
public:
  struct Options {
    std::string user = "coco-user";
    std::string password = "secret";
    // Album headings in page order, as the page writes them.
    std::vector<std::string> albums = {"Travel", " 日記 "};
    std::vector<std::string> folders = {"images", "docs"};
  };

  explicit FakeCocolog(std::string host = "cocolog-nifty.localhost");
  ~FakeCocolog() override;

  Options options() const;
  void setOptions(const Options &options);

  std::string loginUrl() const { return url("/t/app"); }

private:
  std::string menu() const;
  std::string loginBody(bool failed) const;
  bool requireLogin(const httplib::Request &req, httplib::Response &res);
  void postFiles(const httplib::Request &req, httplib::Response &res,
                 const std::string &folder, const std::string &back);

  mutable std::mutex cocologMutex_;
  Options options_;
};

} // namespace fake
