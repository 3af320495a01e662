// The Cocolog blog service as the tests meet it, all under /t/app: the
// login form, then a menu whose links each ask for a window of their own;
// /t/app/photos (each album an h4 heading followed by its own
// "新しい写真の追加" link) and /t/app/photos/add?album=N; /t/app/control
// ("ファイル", new window) and /t/app/files?folder=NAME (one link per
// folder). Uploads land in the album or the folder shown ("" the top).
#pragma once

#include "fakesite.h"

#include <vector>

namespace fake {

struct CocologOptions {
  std::string user = "coco-user";
  std::string password = "secret";
  // Album headings in page order, as the page writes them.
  std::vector<std::string> albums = {"Travel", " 日記 "};
  std::vector<std::string> folders = {"images", "docs"};
};

class FakeCocolog : public SiteWith<CocologOptions> {
public:
  explicit FakeCocolog(std::string host = "cocolog-nifty.localhost");
  std::string loginUrl() const { return url("/t/app"); }

private:
  std::string posted(Visit &v, const std::string &folder,
                     const std::string &back);
};

} // namespace fake
