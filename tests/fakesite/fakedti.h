// The DTI blog service as the tests meet it.
//
// Pages:
//   /login.html     the login form (id, pass, "管理画面へログイン"); a browser
//                   that is still logged in is sent on to /admin/
//   /admin/         the management page: "ファイルアップロード", "ログアウト"
//   /admin/upload   the upload form (thumb, upfile, "アップロード") above the
//                   table of stored files, whose name cell is td.cell6; the
//                   post stores the file and shows the form and table again
//   /logout         ends the login
#pragma once

#include "fakesite.h"

namespace fake {

class FakeDti : public FakeSite {
public:
  struct Options {
    std::string id = "user1";
    std::string password = "secret";
    // The table shows names in capitals, as some servers store them.
    bool upperCaseNames = false;
    // The next n results leave the newest file out of the table.
    int unlistedResults = 0;
  };

  explicit FakeDti(std::string host = "dtiblog.localhost");
  ~FakeDti() override;

  Options options() const;
  void setOptions(const Options &options);

  std::string loginUrl() const { return url("/login.html"); }

private:
  std::string loginBody(bool failed) const;
  std::string uploadBody(const Options &o, bool hideNewest) const;
  void postUpload(const httplib::Request &req, httplib::Response &res);

  mutable std::mutex dtiMutex_;
  Options options_;
};

} // namespace fake
