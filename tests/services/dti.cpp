#include "cases.h"

using DtiRun = SiteTest<fake::FakeDti>;

// A browser still logged in gets no login form: that is not taken as a
// login, and the run ends in the error box with nothing uploaded.
TEST_F(DtiRun, LoginPageWithoutItsFormIsAFailure) {
  site.setNewSessionsLoggedIn(true);
  setting(RetryCount) = "2";
  BoxAnswerer boxes;
  startRun();
  expectGaveUp(log, "管理画面へログイン", 2);
  EXPECT_FALSE(log.contains("ファイルアップロード検索"));
  ASSERT_EQ(boxes.texts.size(), 1);
  EXPECT_TRUE(boxes.texts[0].startsWith("エラーが発生しました。"));
}

// The result table is read without regard to letter case; a file missing
// from it is sent again within the row's attempts.
TEST_F(DtiRun, VerificationByTheFileTable) {
  site.set("upperCaseNames", true);
  site.set("unlistedResults", 1);
  setting(Thumbnail) = "0";
  startRun();
  EXPECT_EQ(log.count("アップロード確認失敗"), 1);
  EXPECT_EQ(log.count("アップロード確認成功"), 2);
  EXPECT_TRUE(log.contains("リトライします(2)"));
  EXPECT_FALSE(log.contains("標準サイズ画像を作るのチェックする"));
  EXPECT_EQ(sentField("thumb"), QStringList(3, "-"));
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
}
