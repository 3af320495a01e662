// The FC2 script end to end: the real main window, the real browser, the
// real file chooser, against the fake FC2 site.
#include "cases.h"

#include "core/paths.h"
#include "core/textfile.h"
#include "fakefc2.h"

#include <QAction>
#include <QApplication>
#include <QTimer>

namespace {
struct Fc2Run : SiteTest<fake::FakeFc2> {
  Fc2Run() : SiteTest("fc2") {}
  std::map<QString, QByteArray> received() const {
    return byName(site.uploads());
  }
};
} // namespace

TEST_F(Fc2Run, AlreadyLoggedInAndTheTopPageDetour) {
  LogCapture log;
  runLoggedIn(log);
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));

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
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
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
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));

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
  EXPECT_EQ(statuses(), QStringList({"", ""}));
}

TEST_F(Fc2Run, WrongPasswordIsCaughtByTheLoginCheck) {
  LogCapture log;
  setting(Password) = "wrong";
  startRun();
  EXPECT_TRUE(log.contains("ログインチェック失敗"));
  EXPECT_TRUE(
      log.contains("ユーザー名・パスワードが正しいか確認してください。"));
  EXPECT_TRUE(site.uploads().empty());
  EXPECT_EQ(statuses(), QStringList({"", ""}));
  EXPECT_TRUE(window()->Idle);
}

TEST_F(Fc2Run, StopDuringTheUploadKeepsFinishedItems) {
  LogCapture log;
  Trigger stop([&] { return window()->items()->item(0).done(); },
               [] { stopRun(); });
  startRun();
  EXPECT_TRUE(log.contains("中断されました"));
  EXPECT_EQ(statuses(), QStringList({"済", ""}));
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
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
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
