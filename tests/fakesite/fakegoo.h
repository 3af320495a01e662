// The goo blog service as the tests meet it.
//
// Pages: / (a "ログイン" picture link to /login for a visitor, a "作成・編集"
// button to /admin/ for a logged-in user), /login ("uname", "pass", an
// image button whose alt is "ログイン" with a TAB in it), /admin/
// ("画像フォルダ", log-out button), /admin/image (the "upload_size" choices,
// "userfile[0]", "raw_title[0]", "アップロード"; the post keeps the files and
// shows the form again), /logout (the log-out button's target).
#pragma once

#include "fakesite.h"

#include <vector>

namespace fake {

struct GooOptions {
  std::string user = "goo-user";
  std::string password = "secret";
  // Values of the size choices in page order; the first is checked.
  std::vector<std::string> sizeValues = {"0", "1", "2"};
};

class FakeGoo : public SiteWith<GooOptions> {
public:
  explicit FakeGoo(std::string host = "blog.goo.ne.jp.localhost");
  ~FakeGoo() override { stop(); }
  std::string loginUrl() const { return url("/"); }

private:
  std::string uploadBody(const std::string &result) const;
};

} // namespace fake
