// The SeeSaa blog service as the tests meet it.
//
// Pages: / ("サインイン" to /signin for a signed-out browser, "ブログを書く"
// to /mypage for a signed-in one), /signin (member__email,
// member__password, "サインイン"; a signed-in browser sees its blog list),
// /mypage (one link per blog, "サインアウト"), /blog/ID/
// ("ファイルマネージャ"), /blog/ID/files (upload__file, the directory list
// upload__dirname_select, the field upload__dirname with its "追加" button
// that adds the name to the list on the page, "アップロード"; the post keeps
// the file in the chosen directory of that blog), /signout.
#pragma once

#include "fakesite.h"

namespace fake {

struct SeesaaOptions {
  struct Blog {
    std::string id;   // path segment
    std::string name; // the link text, spaces and all
  };
  std::string email = "user@example.com";
  std::string password = "secret";
  std::vector<Blog> blogs = {{"diary", "日々の記録"},
                             {"photos", "  Photo Album  "}};
  // The start page shows the sign-in link also to a signed-in browser.
  bool signInLinkAlways = false;
};

class FakeSeesaa : public SiteWith<SeesaaOptions> {
public:
  using Blog = SeesaaOptions::Blog;
  explicit FakeSeesaa(std::string host = "seesaa.localhost");
  ~FakeSeesaa() override { stop(); }
  std::string startUrl() const { return url("/"); }
  // Directories of a blog as its list shows them ("" is the top).
  std::vector<std::string> directories(const std::string &blog) const;

private:
  std::string myPageBody() const;
  std::string filesBody(const std::string &blog,
                        const std::string &result) const;
  bool knownBlog(const std::string &id) const;

  mutable std::mutex dirsMutex_;
  std::map<std::string, std::vector<std::string>> dirs_; // per blog
};

} // namespace fake
