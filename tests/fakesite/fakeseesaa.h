// The SeeSaa blog service as the tests meet it.
//
// Pages:
//   /                 start page: "サインイン" (to /signin) for a signed-out
//                     browser, "ブログを書く" (to /mypage) for a signed-in one
//   /signin           the sign-in form (member__email, member__password, a
//                     "サインイン" button); a signed-in browser sees its blog
//                     list instead; the post leads to /mypage
//   /mypage           the account's blogs, one link each, and "サインアウト"
//   /blog/ID/         a blog's management page: "ファイルマネージャ"
//   /blog/ID/files    the file manager: upload__file, the directory list
//                     upload__dirname_select, the new-directory field
//                     upload__dirname with its "追加" button (which adds the
//                     name to the list on the page), "アップロード"; its post
//                     stores the file in the chosen directory of that blog
//   /signout          ends the session
#pragma once

#include "fakesite.h"

namespace fake {

class FakeSeesaa : public FakeSite {
public:
  struct Blog {
    std::string id;   // path segment
    std::string name; // the link text, spaces and all
  };
  struct Options {
    std::string email = "user@example.com";
    std::string password = "secret";
    std::vector<Blog> blogs = {{"diary", "日々の記録"},
                               {"photos", "  Photo Album  "}};
    // The start page shows the sign-in link also to a signed-in browser.
    bool signInLinkAlways = false;
  };

  explicit FakeSeesaa(std::string host = "seesaa.localhost");
  ~FakeSeesaa() override;

  Options options() const;
  void setOptions(const Options &options);

  std::string startUrl() const { return url("/"); }
  // Directories of a blog as its list shows them ("" is the top).
  std::vector<std::string> directories(const std::string &blog) const;

private:
  std::string signInBody(bool failed) const;
  std::string myPageBody(const Options &o) const;
  std::string filesBody(const std::string &blog,
                        const std::string &result) const;
  const Blog *findBlog(const Options &o, const std::string &id) const;

  mutable std::mutex seesaaMutex_;
  Options options_;
  std::map<std::string, std::vector<std::string>> dirs_; // per blog
};

} // namespace fake
