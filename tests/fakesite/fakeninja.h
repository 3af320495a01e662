// The Ninja blog service as the tests meet it: /login.html (a logged-in
// browser goes on to /tools), /tools (one link per blog by its name, the
// log-out image link), /blog/N/ and /blog/N/files (the upload form, and the
// files, newest first, each link carrying its address in apostrophes; the
// post keeps the file in that blog and marks the new file's cell with class
// "changebg2"), /logout.html and the files under /files/BLOG/.
#pragma once

#include "fakesite.h"

namespace fake {

struct NinjaOptions {
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

class FakeNinja : public SiteWith<NinjaOptions> {
public:
  explicit FakeNinja(std::string host = "ninja.localhost");
  std::string loginUrl() const { return url("/login.html"); }
  // The address under which a stored file is served (as the list shows it).
  std::string fileUrl(const std::string &blog, const std::string &name) const {
    return url("/files/" + percentEncode(blog) + "/" + percentEncode(name));
  }

private:
  std::string blogOf(const Visit &v) const; // "" when unknown
  std::string listPage(const std::string &blog, const std::string &result,
                       const std::string &highlight) const;
};

} // namespace fake
