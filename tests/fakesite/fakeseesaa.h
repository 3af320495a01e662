// The SeeSaa blog service as the tests meet it: / ("サインイン" to /signin,
// or "ブログを書く" to /mypage once signed in), /signin, /mypage (one link
// per blog), /blog/ID/ ("ファイルマネージャ"), /blog/ID/files (the directory
// list upload__dirname_select, and the field upload__dirname whose "追加"
// button adds its name to the list on the page; the post keeps the file in
// the chosen directory of that blog), /signout.
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
