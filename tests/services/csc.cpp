#include "cases.h"

using CscRun = SiteTest<fake::FakeCsc>;

// Another account, then this account's name in other letters: the page
// offers no login form, so the run gives up and says so in the log.
TEST_F(CscRun, OnlyAGreetingOfThisVeryAccountMeansLoggedIn) {
  site.setNewSessionsLoggedIn(true);
  for (const std::string name : {"someone@example.com", "CSC@example.com"}) {
    SCOPED_TRACE(name);
    site.set("greetingName", name);
    log.clear();
    startRun();
    EXPECT_FALSE(log.contains("既にログインされている?"));
    expectGaveUp(log, "ログイン", 3);
  }
}
