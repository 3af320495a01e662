// The CSC script end to end: the real main window, the real browser, the
// real file chooser, against the fake CSC site.
#include "cases.h"

#include "fakecsc.h"

namespace {
struct CscRun : SiteTest<fake::FakeCsc> {
  CscRun() : SiteTest("csc") {}
  void greetAs(const std::string &name) {
    auto o = site.options();
    o.greetingName = name;
    site.setOptions(o);
  }
};
} // namespace

TEST_F(CscRun, OnlyAGreetingOfThisVeryAccountMeansLoggedIn) {
  {
    LogCapture log;
    runLoggedIn(log);
    EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  }
  window()->items()->purgeDone(false);
  const size_t before = site.uploads().size();

  // Another account, then this account's name in other letters: the page
  // offers no login form, so the run gives up and says so in the log.
  for (const std::string name : {"someone@example.com", "CSC@example.com"}) {
    greetAs(name);
    LogCapture log;
    startRun();
    EXPECT_FALSE(log.contains("既にログインされている?")) << name;
    EXPECT_EQ(log.count("ログインが見つかりませんでした"), 3) << name;
    EXPECT_TRUE(log.contains("リトライしたが失敗")) << name;
    EXPECT_TRUE(
        log.contains("エラーが発生しました。ログを確認してください。m(__)m"))
        << name;
    EXPECT_EQ(site.uploads().size(), before) << name;
    EXPECT_EQ(statuses(), QStringList({"", ""})) << name;
    EXPECT_TRUE(window()->Idle);
  }
}
