// The maker's support blog as the support visit meets it.
//
// Pages:
//   /         the blog's top page
//   /entry    an entry whose body holds the anchors named "comm_str" and
//             "comm_end" with Options::between in between
//   /ad/N     an advertiser's page
#pragma once

#include "fakesite.h"

namespace fake {

class FakeSupport : public FakeSite {
public:
  struct Options {
    // What stands between the markers; by default three ad links.
    std::string between = "<a href=\"/ad/1\">広告1</a>"
                          "<a href=\"/ad/2\">広告2</a>"
                          "<a href=\"/ad/3\">広告3</a>";
    bool markers = true;
  };

  explicit FakeSupport(std::string host = "support.localhost");
  ~FakeSupport() override;

  Options options() const;
  void setOptions(const Options &options);

  // Requests of advertisers' pages so far.
  int adVisits() const;

private:
  mutable std::mutex optionsMutex_;
  Options options_;
};

} // namespace fake
