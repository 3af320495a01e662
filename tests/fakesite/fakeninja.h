// The Ninja blog service as the tests meet it.
//
// Pages:
//   /login.html     login form: "login[id]", "login[password]" and the button
//                   "管理ページへログイン"; a logged-in browser is sent on to
//                   /tools (its post logs in and does the same)
//   /tools          the tool list: one link per blog (by its name) and the
//                   log-out image link (alt "ログアウト")
//   /blog/N/        a blog's management page: "ファイルアップロード"
//   /blog/N/files   the file list with the upload form ("file", the
//                   "overwrite" box, "アップロード"), "ツール一覧に戻る" and
//                   the table of files, newest first, under the "checkall" box;
//                   each file's link carries its address in apostrophes
//   POST the same   stores the file in that blog and shows the list with the
//                   new file's cell highlighted (class "changebg2") and the
//                   link "ファイル一覧に戻る"
//   /logout.html    ends the login
//   /files/N/NAME   a stored file
#pragma once

#include "fakesite.h"

namespace fake {

class FakeNinja : public FakeSite {
public:
  struct Options {
    std::string account = "ninja-user";
    std::string password = "secret";
    std::vector<std::string> blogs = {"Diary", "My Photo Blog"};
    bool overwriteChecked = false; // the overwrite box ticked at first
    bool upperCaseNames = false;   // the file list shows names in capitals
    // The next this many results show no highlighted cell.
    int missHighlights = 0;
    // A file of this name is never highlighted.
    std::string neverHighlight;
    bool plainFileLinks = false; // file links without an address in quotes
    bool hideFileInput = false;  // upload form without its file input
  };

  explicit FakeNinja(std::string host = "ninja.localhost");
  ~FakeNinja() override;

  Options options() const;
  void setOptions(const Options &options);

  std::string loginUrl() const { return url("/login.html"); }
  // The address under which a stored file is served (as the list shows it).
  std::string fileUrl(const std::string &blog, const std::string &name) const;

  // Files by blog name, then by stored name.
  std::map<std::string, std::map<std::string, std::string>> stored() const;

private:
  int blogIndex(const httplib::Request &req) const; // -1 when unknown
  std::string fileTable(const Options &o, int blog,
                        const std::string &highlight) const;
  std::string listPage(const Options &o, int blog, const std::string &result,
                       const std::string &highlight) const;
  void postUpload(const httplib::Request &req, httplib::Response &res);

  mutable std::mutex ninjaMutex_;
  Options options_;
  // Per blog: stored names, newest last, and their bytes.
  std::map<int, std::vector<std::string>> order_;
  std::map<int, std::map<std::string, std::string>> files_;
};

} // namespace fake
