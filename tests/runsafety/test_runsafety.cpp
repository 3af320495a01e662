// An overnight run against the fake FC2 site with the real browser and the
// real file chooser: files that went away, choosers that come late, are
// hidden or refuse a path, a service that stopped confirming, a click that
// loads nothing, a stop while the chooser is up.
#include "servicerun.h"

#include "browser/browserwindow.h"
#include "browser/webbrowser.h"
#include "core/itemlist.h"
#include "core/runstate.h"
#include "core/services.h"
#include "core/settings.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/rundriver.h"
#include "privatebus.h"
#include "sites.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>

#include <gtest/gtest.h>

namespace {
// No chooser may be left on screen once a run has ended.
bool chooserOnScreen() {
  for (QWidget *w : QApplication::topLevelWidgets())
    if (qobject_cast<QFileDialog *>(w) && w->isVisible())
      return true;
  return false;
}

class Unattended : public ServiceRunTest {
protected:
  void SetUp() override {
    ServiceRunTest::SetUp();
    ASSERT_TRUE(site.start());
    useFc2Account(QString::fromStdString(site.loginUrl()));
    setting(CheckUpload) = "1";
    setting(LogOut) = "1";
    queueFiles({{"first.jpg", bytesFor(1, 5000)},
                {"second.png", bytesFor(2, 12000)},
                {"third.gif", bytesFor(3, 300)}});
  }
  void TearDown() override {
    WebBrowser::chooserDelayMs = 0;
    ServiceRunTest::TearDown();
    site.stop();
    EXPECT_FALSE(chooserOnScreen());
  }
  int sent(const std::string &name) const {
    int n = 0;
    for (const auto &u : site.uploads())
      n += u.filename == name ? 1 : 0;
    return n;
  }
  // Runs; the pass fails and leaves the user the error box.
  void runExpectingTheErrorBox() {
    BoxAnswerer boxes;
    startRun();
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].startsWith("エラーが発生しました。"));
  }

  fake::FakeFc2 site;
};

TEST_F(Unattended, AFileThatWentAwayIsSkippedTheOthersArriveAndThePassFails) {
  QFile::remove(data.file("up/second.png"));
  LogCapture log;
  runExpectingTheErrorBox();
  EXPECT_EQ(statuses(), QStringList({"済", "", "済"}));
  EXPECT_EQ(sent("first.jpg"), 1);
  EXPECT_EQ(sent("second.png"), 0);
  EXPECT_EQ(sent("third.gif"), 1);
  EXPECT_TRUE(log.contains("ファイルが見つかりません(" +
                           data.file("up/second.png") + ")"));
  EXPECT_TRUE(log.contains("済にならなかったファイルが1件あります"));
  EXPECT_TRUE(window()->Idle);

  // A folder in the file's place is no file either.
  QDir().mkpath(data.file("up/second.png"));
  log.clear();
  runExpectingTheErrorBox();
  EXPECT_TRUE(log.contains("通常のファイルではありません(" +
                           data.file("up/second.png") + ")"));
}

TEST_F(Unattended,
       AServiceThatNeverConfirmsFailsThePassAndNoPowerActionFollows) {
  site.set("omitResultSpan", true);
  setting(RetryCount) = "2";
  // logind is a fake on a bus of our own: it tells whether anything was
  // asked of it.
  PrivateBus bus;
  QProcess login1;
  ASSERT_TRUE(bus.start());
  qputenv("DBUS_SYSTEM_BUS_ADDRESS", bus.address().toUtf8());
  ASSERT_TRUE(startFake(login1, FAKE_LOGIN1));
  window()->findChild<QAction *>("menu_suspend")->setChecked(true);
  LogCapture log;
  runExpectingTheErrorBox();
  window()->findChild<QAction *>("menu_suspend")->setChecked(false);
  login1.terminate();
  login1.waitForFinished(5000);
  EXPECT_EQ(login1.readAllStandardOutput().trimmed(), "")
      << "a power action was asked for";
  EXPECT_EQ(statuses(), QStringList({"", "", ""}));
  for (const auto &f : files)
    EXPECT_EQ(sent(f.first.toStdString()), 2) << f.first.toStdString();
  EXPECT_TRUE(log.contains("済にならなかったファイルが3件あります"));
  EXPECT_FALSE(log.contains("サスペンド移行開始"));
  EXPECT_EQ(log.lines().last(), "ブラウザを閉じる");

  // Repeat mode gives up after three passes that confirmed nothing.
  setting(AutoRetry) = "1";
  setting(RetryCount) = "1";
  site.clearUploads();
  log.clear();
  startRun();
  EXPECT_EQ(log.count("ブラウザを開く"), 3);
  EXPECT_TRUE(log.containsStart("アップロードが3回続けて確認できませんでした"));
  for (const auto &f : files)
    EXPECT_EQ(sent(f.first.toStdString()), 3);

  // A wrong password is not tried pass after pass either.
  site.setCredentials("user@example.com", "other");
  setting(CheckLogin) = "1";
  log.clear();
  startRun();
  EXPECT_EQ(log.count("ブラウザを開く"), 1);
  EXPECT_TRUE(log.contains("ログインチェック失敗"));
}

TEST_F(Unattended, ALateChooserAHiddenInputAndAnUnwritableUrlList) {
  setting(MakeUrlList) = "1";
  QDir().mkpath(data.file("UrlList.txt"));
  site.set("fileInputHidden", true);
  // Later than the timer's first tick and the whole search after it.
  WebBrowser::chooserDelayMs = 1500;
  LogCapture log;
  startRun();
  expectAllReceivedAndMarked(site.uploads());
  EXPECT_EQ(
      log.count("URL対応リスト追加失敗(" + data.file("UrlList.txt") + ")"), 3);
  EXPECT_FALSE(log.contains("URL対応リスト追加完了"));
}

TEST_F(Unattended, AChooserThatRefusesThePathIsClosedAndTheRunStops) {
  setting(RetryCount) = "2";
  // The file goes away between the check and the chooser.
  WebBrowser::chooserDelayMs = 300;
  const QString path = data.file("up/first.jpg");
  Trigger gone([] { return WebBrowser::awaitingChooser(); },
               [path] { QFile::remove(path); });
  LogCapture log;
  runExpectingTheErrorBox();
  EXPECT_EQ(log.count("ファイルダイアログが閉じませんでした(" + path + ")"), 2);
  EXPECT_TRUE(log.contains("リトライしたが失敗"));
  EXPECT_EQ(statuses(), QStringList({"", "", ""}));
  EXPECT_TRUE(site.uploads().empty());
}

TEST_F(Unattended, AStopWhileTheChooserIsUpEndsTheRunWithinASecond) {
  QElapsedTimer sinceStop;
  // The chooser is up, nobody has served it yet.
  Trigger stop(
      [] {
        return browserLoaded() && frmBrowser()->WebBrowser1->chooserOpen();
      },
      [&] {
        stopRun();
        sinceStop.start();
      });
  startRun();
  ASSERT_TRUE(sinceStop.isValid());
  EXPECT_LT(sinceStop.elapsed(), 1000);
  EXPECT_TRUE(window()->Idle);
  EXPECT_TRUE(site.uploads().empty());
}

TEST_F(Unattended, ASubmitThatLoadsNothingIsAFailedAttemptNeverAMark) {
  site.set("submitLoadsNothing", true);
  setting(CheckUpload) = "0";
  setting(MakeUrlList) = "0";
  setting(RetryCount) = "1";
  LogCapture log;
  runExpectingTheErrorBox();
  EXPECT_TRUE(log.contains("ページの読み込みが始まりませんでした"));
  EXPECT_FALSE(log.contains("アップロード押下完了"));
  EXPECT_EQ(statuses(), QStringList({"", "", ""}));
}

} // namespace

int main(int argc, char **argv) { return runTestsWithApp(argc, argv); }
