// The goo blog service as the tests meet it.
//
// Pages:
//   /             the start page: a "ログイン" picture link to /login for a
//                 visitor, a "作成・編集" button to /admin/ for a user who
//                 is logged in
//   /login        the login form: "uname", "pass" and an image button whose
//                 alt is "ログイン"; its post leads to /admin/
//   /admin/       the management page: link "画像フォルダ", log-out button
//   /admin/image  the upload form: the "upload_size" choices, "userfile[0]",
//                 "raw_title[0]" and "アップロード"; its post stores the files
//                 and shows the form again
//   /logout       the log-out button's target
#pragma once

#include "fakesite.h"

#include <vector>

namespace fake {

class FakeGoo : public FakeSite {
public:
  struct Options {
    std::string user = "goo-user";
    std::string password = "secret";
    // Values of the size choices in page order; the first is checked.
    std::vector<std::string> sizeValues = {"0", "1", "2"};
  };

  explicit FakeGoo(std::string host = "blog.goo.ne.jp.localhost");
  ~FakeGoo() override;

  Options options() const;
  void setOptions(const Options &options);

  std::string loginUrl() const { return url("/"); }

private:
  std::string loginBody(bool failed) const;
  std::string uploadBody(const std::string &result) const;

  mutable std::mutex gooMutex_;
  Options options_;
};

} // namespace fake
