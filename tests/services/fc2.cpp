#include "cases.h"

#include <QAction>

using Fc2Run = SiteTest<fake::FakeFc2>;

TEST_F(Fc2Run, StartingFromTheBlogsTopPage) {
  setting(BlogUrl) = QString::fromStdString(site.topUrl());
  // A browser still logged in: the management link leads straight in, and
  // the settle after it skips its pause. A good run leads to the power
  // action (failed ones are kept from it elsewhere).
  site.setNewSessionsLoggedIn(true);
  QAction *suspend = window()->findChild<QAction *>("menu_suspend");
  ASSERT_NE(suspend, nullptr);
  suspend->trigger();
  startRun();
  suspend->trigger();
  EXPECT_TRUE(log.contains("サスペンド移行開始"));
  EXPECT_TRUE(log.contains("・ブログ管理画面へ押下完了"));
  EXPECT_TRUE(
      holdsRun(log.lines(), {"ログイン画面ではありません", "ページ読込開始",
                             "ログインチェック開始"}));
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));

  // Logged out by that run, the top page shows the login link and needs a
  // second attempt.
  again();
  site.setNewSessionsLoggedIn(false);
  startRun();
  EXPECT_TRUE(comesAfter(log.lines(), "トップ画面が表示されています",
                         "リトライします(2)"));
  EXPECT_TRUE(log.contains("ログイン情報入力"));
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));

  // With a single attempt the same start cannot get in.
  again();
  site.logOutAll();
  setting(RetryCount) = "1";
  BoxAnswerer boxes;
  startRun();
  EXPECT_TRUE(log.contains("リトライしたが失敗"));
  EXPECT_TRUE(boxes.texts.value(0).startsWith("エラーが発生しました。"));
  EXPECT_EQ(statuses(), QStringList({"", ""}));
}

// A run that cannot get going: no uploads, nothing marked, the window idle.
TEST_F(Fc2Run, RunsThatCannotGetIn) {
  setting(Password) = "wrong";
  startRun();
  EXPECT_TRUE(log.contains("ログインチェック失敗"));
  EXPECT_TRUE(
      log.contains("ユーザー名・パスワードが正しいか確認してください。"));
  EXPECT_TRUE(site.uploads().empty());
  EXPECT_EQ(statuses(), QStringList({"", ""}));
  EXPECT_TRUE(window()->Idle);

  // No account: the settings are asked for before anything is logged.
  log.clear();
  setting(UserId) = "";
  BoxAnswerer boxes;
  startRun();
  EXPECT_EQ(boxes.texts, QStringList({"基本情報を設定してください。"}));
  EXPECT_TRUE(log.lines().isEmpty());

  // An address of no known service: the log line, or the box.
  const QString unsupported =
      "対応しておりません。m(__)m\nログを確認してください";
  setting(UserId) = "user@example.com";
  setting(BlogUrl) = "http://unknown.localhost/";
  setting(AutoRetry) = "1";
  startRun();
  EXPECT_TRUE(log.contains(unsupported));
  EXPECT_TRUE(window()->Idle);
  setting(AutoRetry) = "0";
  startRun();
  EXPECT_EQ(boxes.texts.mid(1), QStringList({unsupported}));
}
