// The Webry script end to end: the real main window, both real browser
// windows, the real file chooser, against the fake Webry site.
#include "cases.h"

#include "fakewebry.h"

#include <QTimer>

namespace {
struct WebryRun : SiteTest<fake::FakeWebry> {
  WebryRun() : SiteTest("webry") {}
  QString fileUrl(const std::string &folder, const QString &name) const {
    return QString::fromStdString(site.fileUrl(folder, name.toStdString()));
  }
};
} // namespace

TEST_F(WebryRun, AMissingFolderIsCreatedAndOpenedOnTheNextAttempt) {
  setting(DirName) = "新しいフォルダ";
  setting(OverWrite) = "0";
  setting(MakeUrlList) = "0";
  requeue({{"two.dots.name.jpg", bytesFor(4, 900)}});
  LogCapture log;
  startRun();
  const QStringList l = log.lines();
  const int miss = l.indexOf("フォルダが見つかりませんでした");
  ASSERT_GT(miss, 0);
  EXPECT_EQ(l.mid(miss, 4),
            QStringList({"フォルダが見つかりませんでした", "作成検索",
                         "作成押下", "作成押下完了"}));
  EXPECT_GT(l.indexOf("リトライします(2)", miss), miss);
  EXPECT_TRUE(log.contains("フォルダ押下完了"));
  ASSERT_EQ(site.uploads().size(), 1u);
  EXPECT_EQ(site.uploads()[0].folder, "新しいフォルダ");
  EXPECT_EQ(site.uploads()[0].fields.count("overwriteflg"), 0u);
  EXPECT_FALSE(log.contains("同名のファイルを上書きするのチェック外す"));
  EXPECT_EQ(statuses(), QStringList({"済"}));
}

TEST_F(WebryRun, OneAttemptCannotBothCreateAndOpenTheFolder) {
  setting(DirName) = "albums";
  setting(RetryCount) = "1";
  LogCapture log;
  startRun(); // no box: the error goes to the log
  EXPECT_TRUE(log.contains("作成押下完了"));
  EXPECT_TRUE(log.contains("リトライしたが失敗"));
  EXPECT_TRUE(
      log.contains("エラーが発生しました。ログを確認してください。m(__)m"));
  EXPECT_TRUE(site.uploads().empty());
  EXPECT_EQ(log.lines().mid(log.lines().size() - 2),
            QStringList({"ブラウザ2を閉じる", "ブラウザを閉じる"}));
  EXPECT_FALSE(browser2Loaded());
}

TEST_F(WebryRun, TickedOverwriteBoxAndTheUrlOfANameWithTwoDots) {
  auto o = site.options();
  o.overwriteChecked = true;
  site.setOptions(o);
  requeue({{"photo.2024.jpg", bytesFor(5, 700)}});
  LogCapture log;
  startRun();
  EXPECT_FALSE(log.contains("同名のファイルを上書きするのチェックする"));
  EXPECT_EQ(site.uploads().size(), 1u);
  EXPECT_EQ(urlListLines(), QStringList({data.file("up/photo.2024.jpg") + "\t" +
                                         fileUrl("photos", "photo.2024.jpg")}));
}

TEST_F(WebryRun, AStopDuringTheUploadStillClosesTheSecondWindow) {
  LogCapture log;
  Trigger stop([&] { return window()->items()->item(0).done(); },
               [] { stopRun(); });
  startRun();
  EXPECT_TRUE(log.contains("中断されました"));
  EXPECT_EQ(statuses().first(), "済");
  EXPECT_TRUE(log.contains("ブラウザ2を閉じる"));
  EXPECT_FALSE(browser2Loaded());
  EXPECT_TRUE(window()->Idle);
}
