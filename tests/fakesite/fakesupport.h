// The maker's support blog as the support visit meets it: the top page /,
// the entry /entry whose body holds the anchors named "comm_str" and
// "comm_end" with Options::between in between, and advertisers' pages /ad/N.
#pragma once

#include "fakesite.h"

namespace fake {

struct SupportOptions {
  // What stands between the markers; by default three ad links.
  std::string between = "<a href=\"/ad/1\">広告1</a>"
                        "<a href=\"/ad/2\">広告2</a>"
                        "<a href=\"/ad/3\">広告3</a>";
  bool markers = true;
};

class FakeSupport : public SiteWith<SupportOptions> {
public:
  explicit FakeSupport(std::string host = "support.localhost");
  // Requests of advertisers' pages so far.
  int adVisits() const;
};

} // namespace fake
