// The goo blog service as the tests meet it: / (a picture link to /login
// for a visitor, a "作成・編集" button to /admin/ for a logged-in user),
// /login (an image button whose alt has a TAB in it), /admin/, /admin/image
// (the "upload_size" choices; its post shows the form again) and the
// log-out button's target /logout.
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
  std::string loginUrl() const { return url("/"); }

private:
  std::string uploadBody(const std::string &result) const;
};

} // namespace fake
