// The Rakuten blog service as the tests meet it.
//
// Pages:
//   /              login page: fields "u" and "p", a submit button reading
//                  "ログインする"; a logged-in browser sees only its menu
//                  (with "ログアウト") here
//   /login         the login form's target; right credentials lead to
//                  /mypage, wrong ones show the login page again
//   /mypage        the member page: menu links "フォトをアップロード" and
//                  "ログアウト", both asking for a window of their own
//   /photo/upload  the upload form: album list, "image[]", "name[]" and an
//                  image button whose alt is "フォトをアップロード"; its
//                  post stores the files in the chosen album and shows the
//                  picture's address in a text area above the form again
//   /logout        ends the login
#pragma once

#include "fakesite.h"

#include <vector>

namespace fake {

class FakeRakuten : public FakeSite {
public:
  struct Options {
    std::string user = "rakuten-user";
    std::string password = "secret";
    // Album names as the list shows them; the first is chosen at first.
    std::vector<std::string> albums = {"未分類", " 日記 ", "旅行", "Travel"};
    bool emptyResultText = false; // the text area after an upload is empty
  };

  explicit FakeRakuten(std::string host = "plaza.rakuten.localhost");
  ~FakeRakuten() override;

  Options options() const;
  void setOptions(const Options &options);

  std::string loginUrl() const { return url("/"); }
  // The address an upload's text area shows for a stored picture.
  std::string pictureUrl(int number, const std::string &name) const;

private:
  std::string menu() const;
  std::string loginBody(bool failed) const;
  std::string uploadBody(const std::string &result) const;
  void postUpload(const httplib::Request &req, httplib::Response &res);

  mutable std::mutex rakutenMutex_;
  Options options_;
  int pictures_ = 0;
};

} // namespace fake
