// The maker's support site: the addresses the version dialog links to, and
// the visit to the support blog after a run in which every item went up.
#pragma once
#include <QString>

// How long the visit stays on the page it ends on (the advertiser's page
// after a click).
inline constexpr double kAdStaySeconds = 180.0;

struct SupportEndpoints {
  QString topPage;     // the support blog's top page
  QString entryPage;   // the entry page with the ad markers
  QString supportPage; // shown and opened by the version dialog
  QString donationPage;
  double staySeconds = kAdStaySeconds;
};

// The build's endpoints; tests point them at a fake site.
SupportEndpoints &supportEndpoints();

// Opens the support blog's top page and entry page in the run's browser
// window and, when ShowAd is on, clicks one ad link found between the
// anchors named "comm_str" and "comm_end", then stays a while. Without a
// top page or an entry page configured it does nothing at all.
void visitSupportAd();
