// The Webry blog service as the tests meet it: / ("ログインはこちら"),
// /login, /mypage ("設定"), /settings (a link whose markup holds
// "オプション"), /settings/option (design with a "設定画面へ" button of its
// own, then the file manager's, which opens /fm/ as a new window), /fm/
// ?folder=F (a "最近のフォルダ" link before the folder table headed
// "フォルダ", the new-folder form, the upload form, then the box
// "overwriteflg" and the folder's files as links to their addresses).
#pragma once

#include "fakesite.h"

#include <vector>

namespace fake {

struct WebryOptions {
  std::string userId = "webryuser";
  std::string password = "secret";
  bool overwriteChecked = false; // the overwrite box ticked at first
};

class FakeWebry : public SiteWith<WebryOptions> {
public:
  explicit FakeWebry(std::string host = "webry.localhost");
  ~FakeWebry() override { stop(); }
  std::string loginUrl() const { return url("/"); }
  std::vector<std::string> folders() const;
  void addFolder(const std::string &name);
  // The address a stored file is listed under.
  std::string fileUrl(const std::string &folder,
                      const std::string &name) const {
    return baseUrl() + "/files/" + percentEncode(folder) + "/" +
           percentEncode(name);
  }

private:
  std::string managerPage(const std::string &folder,
                          const std::string &message) const;

  mutable std::mutex foldersMutex_;
  std::vector<std::string> folders_{"default"};
};

} // namespace fake
