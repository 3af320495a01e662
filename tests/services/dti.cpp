// The DTI script end to end: the real main window, browser and file chooser
// against the fake DTI site.
#include "cases.h"

#include "fakedti.h"

namespace {
struct DtiRun : SiteTest<fake::FakeDti> {
  DtiRun() : SiteTest("dti") {}
  std::map<QString, QByteArray> expected() const {
    return {files.begin(), files.end()};
  }
};
} // namespace

// A browser still logged in gets no login form: that is not taken as a
// login, and the run ends in the error box with nothing uploaded.
TEST_F(DtiRun, LoginPageWithoutItsFormIsAFailure) {
  site.setNewSessionsLoggedIn(true);
  setting(RetryCount) = "2";
  LogCapture log;
  QString text;
  answerNextModal(QString(), &text);
  startRun();
  EXPECT_EQ(log.count("管理画面へログインが見つかりませんでした"), 2);
  EXPECT_TRUE(log.contains("リトライしたが失敗"));
  EXPECT_FALSE(log.contains("ファイルアップロード検索"));
  EXPECT_TRUE(
      text.startsWith("エラーが発生しました。ログを確認してください。"));
  EXPECT_TRUE(site.uploads().empty());
  EXPECT_EQ(statuses(), QStringList({"", ""}));
}

// The result table is read without regard to letter case; a file missing
// from it is sent again within the row's attempts, and once they are used
// up the row stays pending while the run goes on.
TEST_F(DtiRun, VerificationByTheFileTable) {
  auto o = site.options();
  o.upperCaseNames = true;
  o.unlistedResults = 1;
  site.setOptions(o);
  setting(Thumbnail) = "0";
  {
    LogCapture log;
    startRun();
    EXPECT_EQ(log.count("アップロード確認失敗"), 1);
    EXPECT_EQ(log.count("アップロード確認成功"), 2);
    EXPECT_TRUE(log.contains("リトライします(2)"));
    EXPECT_FALSE(log.contains("標準サイズ画像を作るのチェックする"));
    EXPECT_EQ(site.uploads().size(), 3u);
    for (const auto &u : site.uploads())
      EXPECT_EQ(u.fields.count("thumb"), 0u);
    EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  }
  window()->items()->purgeDone(false);
  site.clearUploads();
  o.unlistedResults = 1;
  site.setOptions(o);
  setting(RetryCount) = "1";
  LogCapture log;
  BoxAnswerer boxes;
  startRun();
  EXPECT_TRUE(log.contains("アップロード確認失敗"));
  EXPECT_TRUE(log.contains("ログアウト押下完了"));
  // The item given up makes the pass a failure.
  ASSERT_EQ(boxes.texts.size(), 1);
  EXPECT_TRUE(boxes.texts[0].startsWith("エラーが発生しました。"));
  EXPECT_EQ(statuses(), QStringList({"", "済"}));
  EXPECT_EQ(site.uploads().size(), 2u);
}
