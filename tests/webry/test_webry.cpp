// The Webry script end to end: the real main window, both real browser
// windows, the real file chooser, against the fake Webry site.
#include "servicerun.h"

#include "browser/browserwindow.h"
#include "core/itemlist.h"
#include "core/runstate.h"
#include "core/services.h"
#include "core/settings.h"
#include "fakewebry.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/rundriver.h"

#include <QTimer>

#include <gtest/gtest.h>

namespace {
class WebryRun : public ServiceRunTest {
protected:
  void SetUp() override {
    ServiceRunTest::SetUp();
    ASSERT_TRUE(site.start());
    site.addFolder("misc");
    site.addFolder("photos"); // also shown under the recent folders
    setting(BlogUrl) = QString::fromStdString(site.loginUrl());
    setting(UserId) = "webryuser";
    setting(Password) = "secret";
    setting(DirName) = "photos";
    setting(MakeUrlList) = "1";
    setting(OverWrite) = "1";
    setting(CheckLogin) = "1";
    setting(LogOut) = "1"; // this service has no log-out
    setServiceLoginUrl(SvcWebry, setting(BlogUrl));
  }
  void TearDown() override {
    ServiceRunTest::TearDown();
    site.stop();
  }
  QString fileUrl(const std::string &folder, const QString &name) const {
    return QString::fromStdString(site.fileUrl(folder, name.toStdString()));
  }

  fake::FakeWebry site;
};
} // namespace

TEST_F(WebryRun, UploadsIntoTheFolderThroughTheSecondWindow) {
  queueTwoFiles();
  LogCapture log;
  startRun();
  EXPECT_TRUE(window()->Idle);

  const auto got = site.uploads();
  ASSERT_EQ(got.size(), files.size());
  for (size_t i = 0; i < got.size(); ++i) {
    EXPECT_EQ(QString::fromStdString(got[i].filename), files[i].first);
    EXPECT_EQ(QByteArray::fromStdString(got[i].bytes), files[i].second);
    // Not the "recent folders" link that carries the same name.
    EXPECT_EQ(got[i].folder, "photos");
    EXPECT_EQ(got[i].fields.count("overwriteflg"), 1u);
  }
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  for (const QString &l : listFileLines())
    EXPECT_TRUE(l.startsWith("済,")) << l.toStdString();
  EXPECT_EQ(urlListLines(),
            QStringList({data.file("up/first.jpg") + "\t" +
                             fileUrl("photos", "first.jpg"),
                         data.file("up/日本語の写真.png") + "\t" +
                             fileUrl("photos", "日本語の写真.png")}));

  const QStringList l = log.lines();
  EXPECT_EQ(l.mid(0, 2),
            QStringList({"ブラウザを開く", "ウェブリブログで動作"}));
  EXPECT_EQ(
      l.mid(l.indexOf("設定画面へ押下"), 3),
      QStringList({"設定画面へ押下", "設定画面へ押下完了", "ページ読込開始"}));
  EXPECT_EQ(l.mid(l.indexOf("フォルダ検索"), 3),
            QStringList({"フォルダ検索", "フォルダ押下", "フォルダ押下完了"}));
  EXPECT_EQ(log.count("同名のファイルを上書きするのチェックする"), 2);
  EXPECT_FALSE(log.contains("ログアウト検索"));
  // The second window goes first, then the driver closes the primary one.
  EXPECT_EQ(l.mid(l.size() - 2),
            QStringList({"ブラウザ2を閉じる", "ブラウザを閉じる"}));
  EXPECT_FALSE(browser2Loaded());
  EXPECT_FALSE(browserLoaded());
}

TEST_F(WebryRun, AMissingFolderIsCreatedAndOpenedOnTheNextAttempt) {
  setting(DirName) = "新しいフォルダ";
  setting(OverWrite) = "0";
  setting(MakeUrlList) = "0";
  queueFiles({{"two.dots.name.jpg", bytesFor(4, 900)}});
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
  queueTwoFiles();
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
  queueFiles({{"photo.2024.jpg", bytesFor(5, 700)}});
  LogCapture log;
  startRun();
  EXPECT_FALSE(log.contains("同名のファイルを上書きするのチェックする"));
  EXPECT_EQ(site.uploads().size(), 1u);
  EXPECT_EQ(urlListLines(), QStringList({data.file("up/photo.2024.jpg") + "\t" +
                                         fileUrl("photos", "photo.2024.jpg")}));
}

TEST_F(WebryRun, AStopDuringTheUploadStillClosesTheSecondWindow) {
  queueTwoFiles();
  LogCapture log;
  QTimer poll;
  poll.setInterval(10);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (window()->items()->item(0).done()) {
      poll.stop();
      stopRun();
    }
  });
  poll.start();
  startRun();
  EXPECT_TRUE(log.contains("中断されました"));
  EXPECT_EQ(statuses().first(), "済");
  EXPECT_TRUE(log.contains("ブラウザ2を閉じる"));
  EXPECT_FALSE(browser2Loaded());
  EXPECT_TRUE(window()->Idle);
}

int main(int argc, char **argv) { return runTestsWithApp(argc, argv); }
