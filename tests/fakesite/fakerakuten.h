// The Rakuten blog service as the tests meet it: / (the login form, or
// only the menu), /mypage (menu links that each ask for a window of their
// own), /photo/upload (album list, "image[]", "name[]" and an image button;
// its post keeps the files in the chosen album and shows the picture's
// address in a text area above the form), /logout.
#pragma once

#include "fakesite.h"

#include <atomic>
#include <vector>

namespace fake {

struct RakutenOptions {
  std::string user = "rakuten-user";
  std::string password = "secret";
  // Album names as the list shows them; the first is chosen at first.
  std::vector<std::string> albums = {"未分類", " 日記 ", "旅行", "Travel"};
  bool emptyResultText = false; // the text area after an upload is empty
};

class FakeRakuten : public SiteWith<RakutenOptions> {
public:
  explicit FakeRakuten(std::string host = "plaza.rakuten.localhost");
  ~FakeRakuten() override { stop(); }
  std::string loginUrl() const { return url("/"); }
  // The address an upload's text area shows for a stored picture.
  std::string pictureUrl(int number, const std::string &name) const {
    return baseUrl() + "/photo/" + std::to_string(number) + "/" + name;
  }

private:
  std::string uploadBody(const std::string &result) const;

  std::atomic<int> pictures_{0};
};

} // namespace fake
