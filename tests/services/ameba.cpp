#include "cases.h"

using AmebaRun = SiteTest<fake::FakeAmeba>;

TEST_F(AmebaRun, LoginButtonInCapitalsAndTheAccountIdBlock) {
  // The button's alt text in capitals still matches.
  site.set("loginButton", "AMEBA (アメーバ)ログイン");
  setting(LogOut) = "0"; // the browser stays logged in for the next run
  startRun();
  EXPECT_TRUE(log.contains("Ameba (アメーバ)ログイン押下完了"));
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));

  // Logged in: the id block with a link to this account.
  again();
  startRun();
  EXPECT_TRUE(log.contains("既にログインされている?"));
  EXPECT_FALSE(log.contains("ログイン情報入力"));
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));

  // The same block for another account: no login form, so no way in.
  again();
  site.set("shownAccount", "someone_else");
  startRun();
  EXPECT_FALSE(log.contains("既にログインされている?"));
  expectGaveUp(log, "Ameba (アメーバ)ログイン", 3);
}

TEST_F(AmebaRun, StopWhileThePageSettlesAfterAnUploadLeavesItPending) {
  setting(UpPageWait) = "1";
  Trigger stop([&] { return log.contains("ページ切替待ち開始2"); },
               [] { stopRun(); });
  startRun();

  EXPECT_EQ(site.uploads().size(), 1u); // the file itself went up
  EXPECT_EQ(statuses(), QStringList({"", ""}));
  EXPECT_FALSE(listFileLines().first().startsWith("済"));
  EXPECT_TRUE(log.contains("中断されました"));
  EXPECT_FALSE(log.contains("ログアウト検索"));
  EXPECT_TRUE(window()->Idle);
}
