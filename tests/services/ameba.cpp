// The Ameba script end to end: the real main window, the real browser, the
// real file chooser, against the fake Ameba site.
#include "cases.h"

#include "fakeameba.h"

#include <QTimer>

namespace {
struct AmebaRun : SiteTest<fake::FakeAmeba> {
  AmebaRun() : SiteTest("ameba") {}
};
} // namespace

TEST_F(AmebaRun, LoginButtonInCapitalsAndTheAccountIdBlock) {
  // The button's alt text in capitals still matches.
  setSite([](auto &o) { o.loginAlt = "AMEBA (アメーバ)ログイン"; });
  setting(LogOut) = "0"; // the browser stays logged in for the next run
  {
    LogCapture log;
    startRun();
    EXPECT_TRUE(log.contains("Ameba (アメーバ)ログイン押下完了"));
    EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  }

  // Logged in: the id block with a link to this account.
  window()->items()->purgeDone(false);
  {
    LogCapture log;
    startRun();
    EXPECT_TRUE(log.contains("既にログインされている?"));
    EXPECT_FALSE(log.contains("ログイン情報入力"));
    EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  }

  // The same block for another account: no login form, so no way in.
  window()->items()->purgeDone(false);
  setSite([](auto &o) { o.shownAccount = "someone_else"; });
  const size_t before = site.uploads().size();
  {
    LogCapture log;
    startRun();
    EXPECT_FALSE(log.contains("既にログインされている?"));
    EXPECT_EQ(log.count("Ameba (アメーバ)ログインが見つかりませんでした"), 3);
    EXPECT_TRUE(
        log.contains("エラーが発生しました。ログを確認してください。m(__)m"));
    EXPECT_EQ(site.uploads().size(), before);
    EXPECT_EQ(statuses(), QStringList({"", ""}));
  }
}

TEST_F(AmebaRun, StopWhileThePageSettlesAfterAnUploadLeavesItPending) {
  setting(UpPageWait) = "1";
  LogCapture log;
  QTimer poll;
  poll.setInterval(10);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (log.contains("ページ切替待ち開始2")) {
      poll.stop();
      stopRun();
    }
  });
  poll.start();
  startRun();

  EXPECT_EQ(site.uploads().size(), 1u); // the file itself went up
  EXPECT_EQ(statuses(), QStringList({"", ""}));
  EXPECT_FALSE(listFileLines().first().startsWith("済"));
  EXPECT_TRUE(log.contains("中断されました"));
  EXPECT_FALSE(log.contains("ログアウト検索"));
  EXPECT_TRUE(window()->Idle);
}
