#include "cases.h"

using SonetRun = SiteTest<fake::FakeSonet>;

TEST_F(SonetRun, ReauthenticationOfEitherKind) {
  site.set("reauthentication", true);
  startRun();
  EXPECT_TRUE(log.contains("ログイン押下完了(再認証)"));
  EXPECT_EQ(site.reauthentications(), 1);
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  window()->items()->purgeDone(false);
  log.clear();
  setting(CocologTarget) = "1"; // the mail kind
  setting(UserId) = "user@so-net.example";
  startRun();
  EXPECT_EQ(site.lastLoginKind(), "mail");
  EXPECT_TRUE(log.contains("ログイン情報入力(再認証)"));
  EXPECT_EQ(site.reauthentications(), 2);
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  EXPECT_EQ(site.uploads().size(), 4u);
}

TEST_F(SonetRun, TheLoginCheckLooksForWhatEachKindShowsOnFailure) {
  setting(Password) = "wrong";
  startRun();
  EXPECT_TRUE(log.contains("ログインチェック失敗"));
  EXPECT_FALSE(log.contains("管理ページ検索"));

  setting(CocologTarget) = "1"; // the mail kind
  setting(UserId) = "user@so-net.example";
  log.clear();
  startRun();
  EXPECT_TRUE(log.contains("ログインチェック失敗"));
  EXPECT_TRUE(
      log.contains("ユーザー名・パスワードが正しいか確認してください。"));

  // The mail kind does not look for the member field: a good mail login
  // on a page without "戻る" passes.
  setting(Password) = "secret";
  log.clear();
  startRun();
  EXPECT_TRUE(log.contains("ログインチェック成功"));
  EXPECT_EQ(site.uploads().size(), 2u);
}

TEST_F(SonetRun, WithoutTheLoginImageTheFormSearchFailsIntoTheLog) {
  setting(RetryCount) = "2";
  runLoggedIn(log); // no box may come up: the error goes to the log
  expectGaveUp(log, "ログイン", 2);
}
