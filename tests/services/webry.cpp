#include "cases.h"

using WebryRun = SiteTest<fake::FakeWebry>;

TEST_F(WebryRun, AMissingFolderIsCreatedAndOpenedOnTheNextAttempt) {
  setting(DirName) = "新しいフォルダ";
  setting(OverWrite) = "0";
  setting(MakeUrlList) = "0";
  requeue({{"two.dots.name.jpg", bytesFor(4, 900)}});
  startRun();
  EXPECT_TRUE(holdsRun(log.lines(), {"フォルダが見つかりませんでした",
                                     "作成検索", "作成押下", "作成押下完了"}));
  EXPECT_TRUE(comesAfter(log.lines(), "フォルダが見つかりませんでした",
                         "リトライします(2)"));
  EXPECT_TRUE(log.contains("フォルダ押下完了"));
  expectAllIn("新しいフォルダ");
  EXPECT_EQ(sentField("overwriteflg"), QStringList({"-"}));
  EXPECT_FALSE(log.contains("同名のファイルを上書きするのチェック外す"));
}

TEST_F(WebryRun, OneAttemptCannotBothCreateAndOpenTheFolder) {
  setting(DirName) = "albums";
  setting(RetryCount) = "1";
  startRun(); // no box: the error goes to the log
  EXPECT_TRUE(log.contains("作成押下完了"));
  expectGaveUp(log, "フォルダ", 1);
  EXPECT_EQ(log.lines().mid(log.lines().size() - 2),
            QStringList({"ブラウザ2を閉じる", "ブラウザを閉じる"}));
  EXPECT_FALSE(browser2Loaded());
}

TEST_F(WebryRun, TickedOverwriteBoxAndTheUrlOfANameWithTwoDots) {
  site.set("overwriteChecked", true);
  requeue({{"photo.2024.jpg", bytesFor(5, 700)}});
  startRun();
  EXPECT_FALSE(log.contains("同名のファイルを上書きするのチェックする"));
  EXPECT_EQ(site.uploads().size(), 1u);
  EXPECT_EQ(urlListLines(), urlsOf(svcCase.url));
}

// A stop keeps what went up, and the second window is still closed.
TEST_F(WebryRun, AStopDuringTheUploadKeepsTheFinishedItem) {
  Trigger stop([&] { return window()->items()->item(0).done(); },
               [] { stopRun(); });
  startRun();
  EXPECT_TRUE(log.contains("中断されました"));
  EXPECT_EQ(statuses(), QStringList({"済", ""}));
  EXPECT_EQ(listFileLines().first().left(2), "済,");
  EXPECT_TRUE(log.contains("ブラウザ2を閉じる"));
  EXPECT_FALSE(browser2Loaded());
  EXPECT_TRUE(window()->Idle);
}
