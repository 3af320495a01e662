// The FC2 script end to end: the real main window, the real browser, the
// real file chooser, against the fake FC2 site.
#include "servicerun.h"

#include "browser/browserwindow.h"
#include "core/itemlist.h"
#include "core/paths.h"
#include "core/runstate.h"
#include "core/services.h"
#include "core/settings.h"
#include "core/textfile.h"
#include "fakefc2.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/rundriver.h"

#include <QAction>
#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

namespace {
class Fc2Run : public ServiceRunTest {
protected:
  void SetUp() override {
    ServiceRunTest::SetUp();
    ASSERT_TRUE(site.start());
    setting(BlogUrl) = QString::fromStdString(site.loginUrl());
    setting(UserId) = "user@example.com";
    setting(Password) = "secret";
    setting(MakeUrlList) = "1";
    setting(LogOut) = "1";
    setting(CheckLogin) = "1";
    setServiceLoginUrl(SvcFc2, setting(BlogUrl));
    setFc2TopUrl(QString::fromStdString(site.topUrl()));
    queueFiles({{"first.jpg", bytesFor(1, 5000)},
                {"日本語の写真.png", bytesFor(2, 12000)},
                {"third.gif", bytesFor(3, 300)}});
  }
  void TearDown() override {
    ServiceRunTest::TearDown();
    site.stop();
  }
  std::map<QString, QByteArray> received() const {
    return byName(site.uploads());
  }

  fake::FakeFc2 site;
};
} // namespace

TEST_F(Fc2Run, UploadsEveryFileVerifiesRecordsAndLogsOut) {
  LogCapture log;
  startRun();
  EXPECT_TRUE(window()->Idle);
  EXPECT_TRUE(StopRequested);

  const auto got = received();
  ASSERT_EQ(got.size(), files.size());
  for (const auto &f : files)
    EXPECT_EQ(got.at(f.first), f.second) << f.first.toStdString();
  EXPECT_EQ(statuses(), QStringList({"済", "済", "済"}));

  const QStringList list = readTextLines(data.file("Default.sdr"));
  ASSERT_EQ(list.size(), 3);
  for (const QString &l : list)
    EXPECT_TRUE(l.startsWith("済,")) << l.toStdString();

  const QStringList urls = readTextLines(data.file("UrlList.txt"));
  ASSERT_EQ(urls.size(), 3);
  EXPECT_EQ(urls[1], data.file("up/日本語の写真.png") + "\thttp://" +
                         QString::fromStdString(site.host()) + ":" +
                         QString::number(site.port()) +
                         "/file/日本語の写真.png");

  // The messages of one item, in order.
  const QStringList l = log.lines();
  const int from = l.indexOf("参照ボタン・アップロード検索");
  ASSERT_GE(from, 0);
  const QStringList item = {"参照ボタン・アップロード検索",
                            "アップロード情報入力", "同名ファイルを選択開始",
                            "別名で保存を選択", "参照ボタン押下"};
  EXPECT_EQ(l.mid(from, item.size()), item);
  const int submit = l.indexOf("アップロード押下", from);
  ASSERT_GT(submit, from);
  const QStringList tail = {"アップロード押下",
                            "ページ読込開始",
                            "ページ切替待ち開始",
                            "ページ読込開始2",
                            "アップロード押下完了",
                            "アップロード確認",
                            "アップロード確認成功",
                            "URL対応リスト追加完了",
                            "参照ボタン・アップロード検索"};
  EXPECT_EQ(l.mid(submit, tail.size()), tail);
  EXPECT_EQ(l.first(), "ブラウザを開く");
  EXPECT_EQ(l[1], "FC2ブログで動作");
  EXPECT_TRUE(log.contains("ログイン押下完了"));
  EXPECT_TRUE(log.contains("ログインチェック成功"));
  EXPECT_TRUE(log.contains("ファイルアップロード押下完了"));
  EXPECT_TRUE(log.contains("ログアウト押下完了"));
  EXPECT_EQ(l.last(), "ブラウザを閉じる");
  EXPECT_FALSE(browserLoaded());
}

TEST_F(Fc2Run, AlreadyLoggedInAndTheTopPageDetour) {
  LogCapture log;
  site.setNewSessionsLoggedIn(true);
  setting(LogOut) = "0";
  startRun();
  EXPECT_TRUE(log.contains("既にログインされている?"));
  EXPECT_FALSE(log.contains("ログイン情報入力"));
  EXPECT_EQ(statuses(), QStringList({"済", "済", "済"}));

  // From the blog's top page: the management link leads straight in, and
  // the settle after it skips its pause.
  log.clear();
  window()->items()->purgeDone(false);
  setting(BlogUrl) = QString::fromStdString(site.topUrl());
  startRun();
  EXPECT_TRUE(log.contains("・ブログ管理画面へ押下完了"));
  EXPECT_TRUE(log.contains("ログイン画面ではありません"));
  const QStringList l = log.lines();
  const int at = l.indexOf("ログイン画面ではありません");
  EXPECT_EQ(l.mid(at + 1, 2),
            QStringList({"ページ読込開始", "ログインチェック開始"}));
  EXPECT_EQ(statuses(), QStringList({"済", "済", "済"}));
}

TEST_F(Fc2Run, TopPageShowingTheLoginLinkNeedsASecondAttempt) {
  LogCapture log;
  setting(BlogUrl) = QString::fromStdString(site.topUrl());
  startRun();
  const QStringList l = log.lines();
  const int top = l.indexOf("トップ画面が表示されています");
  ASSERT_GE(top, 0);
  EXPECT_EQ(l.indexOf("リトライします(2)", top) > top, true);
  EXPECT_TRUE(log.contains("ログイン情報入力"));
  EXPECT_EQ(statuses(), QStringList({"済", "済", "済"}));

  // With a single attempt the same start cannot get in.
  log.clear();
  window()->items()->purgeDone(false);
  site.logOutAll();
  setting(RetryCount) = "1";
  QString text;
  answerNextModal(QString(), &text);
  startRun();
  EXPECT_TRUE(log.contains("リトライしたが失敗"));
  EXPECT_TRUE(
      text.startsWith("エラーが発生しました。ログを確認してください。"));
  EXPECT_EQ(statuses(), QStringList({"", "", ""}));
}

TEST_F(Fc2Run, WrongPasswordIsCaughtByTheLoginCheck) {
  LogCapture log;
  setting(Password) = "wrong";
  startRun();
  EXPECT_TRUE(log.contains("ログインチェック失敗"));
  EXPECT_TRUE(
      log.contains("ユーザー名・パスワードが正しいか確認してください。"));
  EXPECT_TRUE(site.uploads().empty());
  EXPECT_EQ(statuses(), QStringList({"", "", ""}));
  EXPECT_TRUE(window()->Idle);
}

TEST_F(Fc2Run, StopDuringTheUploadKeepsFinishedItems) {
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
  EXPECT_EQ(statuses(), QStringList({"済", "", ""}));
  EXPECT_EQ(readTextLines(data.file("Default.sdr")).first().left(2), "済,");
  EXPECT_FALSE(log.contains("ログアウト検索"));
  EXPECT_TRUE(window()->Idle);
}

TEST_F(Fc2Run, RepeatModeRunsAnotherPassAfterAFailedOne) {
  LogCapture log;
  setting(AutoRetry) = "1";
  setting(RetryCount) = "1";
  site.failPath("/control.php", 500);
  QTimer poll;
  poll.setInterval(10);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (log.contains("リトライしたが失敗")) {
      poll.stop();
      site.failPath("/control.php", 0);
    }
  });
  poll.start();
  startRun();
  EXPECT_EQ(log.count("ブラウザを開く"), 2);
  EXPECT_EQ(log.count("ブラウザを閉じる"), 2);
  EXPECT_EQ(statuses(), QStringList({"済", "済", "済"}));
}

TEST_F(Fc2Run, UnsupportedAddressBoxOrLogLine) {
  LogCapture log;
  setting(BlogUrl) = "http://unknown.localhost/";
  setting(AutoRetry) = "1";
  startRun();
  EXPECT_TRUE(
      log.contains("対応しておりません。m(__)m\nログを確認してください"));
  EXPECT_TRUE(window()->Idle);

  setting(AutoRetry) = "0";
  QString text;
  answerNextModal(QString(), &text);
  startRun();
  EXPECT_EQ(text, "対応しておりません。m(__)m\nログを確認してください");
}

TEST_F(Fc2Run, PowerActionOnlyAfterASuccessfulRun) {
  QAction *suspend = window()->findChild<QAction *>("menu_suspend");
  ASSERT_NE(suspend, nullptr);
  suspend->trigger();
  ASSERT_TRUE(window()->suspendAfterRun());
  {
    LogCapture log;
    setting(Password) = "wrong";
    setting(CheckLogin) = "0";
    site.setOptions([&] {
      auto o = site.options();
      o.hideFileInput = true;
      return o;
    }());
    setting(RetryCount) = "1";
    answerNextModal();
    startRun();
    EXPECT_FALSE(log.contains("サスペンド移行開始"));
  }
  {
    LogCapture log;
    setting(Password) = "secret";
    site.setOptions(fake::FakeFc2::Options());
    startRun();
    EXPECT_TRUE(log.contains("サスペンド移行開始"));
  }
  suspend->trigger();
}

TEST_F(Fc2Run, MissingAccountAsksForTheSettings) {
  LogCapture log;
  setting(UserId) = "";
  QString text;
  answerNextModal(QString(), &text);
  startRun();
  EXPECT_EQ(text, "基本情報を設定してください。");
  EXPECT_TRUE(log.lines().isEmpty());
}

int main(int argc, char **argv) { return runTestsWithApp(argc, argv); }
