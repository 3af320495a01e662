#include "cases.h"

#include <QAction>

using Fc2Run = SiteTest<fake::FakeFc2>;

// From the blog's top page of a browser still logged in: the management
// link leads straight in, and the settle after it skips its pause.
TEST_F(Fc2Run, TopPageOfALoggedInBrowserLeadsStraightIn) {
  site.setNewSessionsLoggedIn(true);
  setting(BlogUrl) = QString::fromStdString(site.topUrl());
  LogCapture log;
  startRun();
  EXPECT_TRUE(log.contains("・ブログ管理画面へ押下完了"));
  EXPECT_TRUE(
      holdsRun(log.lines(), {"ログイン画面ではありません", "ページ読込開始",
                             "ログインチェック開始"}));
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
}

TEST_F(Fc2Run, TopPageShowingTheLoginLinkNeedsASecondAttempt) {
  LogCapture log;
  setting(BlogUrl) = QString::fromStdString(site.topUrl());
  startRun();
  EXPECT_TRUE(comesAfter(log.lines(), "トップ画面が表示されています",
                         "リトライします(2)"));
  EXPECT_TRUE(log.contains("ログイン情報入力"));
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));

  // With a single attempt the same start cannot get in.
  log.clear();
  again();
  site.logOutAll();
  setting(RetryCount) = "1";
  BoxAnswerer boxes;
  startRun();
  EXPECT_TRUE(log.contains("リトライしたが失敗"));
  EXPECT_TRUE(boxes.texts.value(0).startsWith("エラーが発生しました。"));
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

TEST_F(Fc2Run, UnsupportedAddressBoxOrLogLine) {
  const QString unsupported =
      "対応しておりません。m(__)m\nログを確認してください";
  LogCapture log;
  setting(BlogUrl) = "http://unknown.localhost/";
  setting(AutoRetry) = "1";
  startRun();
  EXPECT_TRUE(log.contains(unsupported));
  EXPECT_TRUE(window()->Idle);

  setting(AutoRetry) = "0";
  BoxAnswerer boxes;
  startRun();
  EXPECT_EQ(boxes.texts, QStringList({unsupported}));
}

// Failed runs are kept from the power action elsewhere; a good one leads
// to it.
TEST_F(Fc2Run, PowerActionFollowsASuccessfulRun) {
  QAction *suspend = window()->findChild<QAction *>("menu_suspend");
  ASSERT_NE(suspend, nullptr);
  suspend->trigger();
  ASSERT_TRUE(window()->suspendAfterRun());
  LogCapture log;
  startRun();
  suspend->trigger();
  EXPECT_TRUE(log.contains("サスペンド移行開始"));
}

TEST_F(Fc2Run, MissingAccountAsksForTheSettings) {
  LogCapture log;
  setting(UserId) = "";
  BoxAnswerer boxes;
  startRun();
  EXPECT_EQ(boxes.texts, QStringList({"基本情報を設定してください。"}));
  EXPECT_TRUE(log.lines().isEmpty());
}
