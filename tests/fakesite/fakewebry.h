// The Webry blog service as the tests meet it.
//
// Pages:
//   /                 portal: "ログインはこちら"
//   /login            the form ("userid", "password", "ログイン"); a logged-in
//                     browser gets the my-page instead
//   /mypage           "設定"
//   /settings         a link whose markup holds "オプション"
//   /settings/option  sections: design with a "設定画面へ" button of its own
//                     (to /design), then the file-manager section whose
//                     "設定画面へ" button opens /fm/ as a new window
//   /fm/?folder=F     the file manager: a "最近のフォルダ" link before the
//                     folder table (to another folder), the table headed
//                     "フォルダ" with one link per folder, the new-folder form
//                     ("folderName", "作成"), the upload form ("filedata",
//                     "アップロード", then the check box "overwriteflg") and
//                     the folder's files as links to their addresses
//   /files/F/NAME     a stored file
#pragma once

#include "fakesite.h"

#include <vector>

namespace fake {

class FakeWebry : public FakeSite {
public:
  struct Options {
    std::string userId = "webryuser";
    std::string password = "secret";
    bool overwriteChecked = false; // the overwrite box ticked at first
  };

  explicit FakeWebry(std::string host = "webry.localhost");
  ~FakeWebry() override;

  Options options() const;
  void setOptions(const Options &options);
  std::string loginUrl() const { return url("/"); }
  std::vector<std::string> folders() const;
  void addFolder(const std::string &name);
  // The address a stored file is listed under.
  std::string fileUrl(const std::string &folder, const std::string &name) const;

private:
  std::string managerPage(const std::string &folder,
                          const std::string &message) const;

  mutable std::mutex webryMutex_;
  Options options_;
  std::vector<std::string> folders_{"default"};
  // folder -> names in upload order
  std::map<std::string, std::vector<std::string>> files_;
};

} // namespace fake
