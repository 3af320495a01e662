// The Cocolog blog service as the tests meet it.
//
// Pages (all under /t/app): /t/app (the login form "username", "password"
// and a button reading "ログイン"; a logged-in browser sees the menu
// "マイフォト", "コントロールパネル", "ログアウト", each asking for a window of
// its own), /t/app/login, /t/app/photos (the albums, each an h4 heading
// followed by its own "新しい写真の追加" link), /t/app/photos/add?album=N
// ("file1", "写真を追加する"; the post keeps the files in the album and
// answers with a page that has no form), /t/app/control ("ファイル", new
// window), /t/app/files?folder=NAME (one link per folder, "file",
// "アップロード"; the post keeps the files in the folder shown, "" for the
// top), /t/app/logout.
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
  ~FakeCocolog() override { stop(); }
  std::string loginUrl() const { return url("/t/app"); }

private:
  std::string posted(Visit &v, const std::string &folder,
                     const std::string &back);
};

} // namespace fake
