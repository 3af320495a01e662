// The livedoor blog service as the tests meet it: / ("管理ページ"),
// /manage (the login form, then the new management screen with "旧管理画面"
// or, with oldScreenFirst, the old one), /old/ (the blog list "blog_id"
// with "変更" when the account has several blogs), /old/files,
// /old/upload (its post keeps the file in the chosen blog and folder and
// shows "設定が完了しました。" in a strong element with a link per file of the
// blog, named after it), /logout and the files under /f/BLOG/FOLDER/.
#pragma once

#include "fakesite.h"

namespace fake {

struct LivedoorOptions {
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

class FakeLivedoor : public SiteWith<LivedoorOptions> {
public:
  explicit FakeLivedoor(std::string host = "livedoor.localhost");
  ~FakeLivedoor() override { stop(); }
  std::string startUrl() const { return url("/"); }
  std::string fileUrl(const std::string &blog, const std::string &name) const;

private:
  std::string oldScreenBody(const std::string &blog) const;
  std::string uploadBody() const;
  std::string fileList(const std::string &blog) const;
  std::string blogOf(const std::string &session) const;

  mutable std::mutex blogMutex_;
  std::map<std::string, std::string> chosenBlog_; // per session
};

} // namespace fake
