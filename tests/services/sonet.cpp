// The So-net script end to end: the real main window, the real browser, the
// real file chooser, against the fake So-net site.
#include "cases.h"

#include "fakesonet.h"

namespace {
struct SonetRun : SiteTest<fake::FakeSonet> {
  SonetRun() : SiteTest("sonet") {}
  void useMailLogin() {
    setting(CocologTarget) = "1";
    setting(UserId) = "user@so-net.example";
  }
};
} // namespace

TEST_F(SonetRun, ReauthenticationOfEitherKind) {
  auto o = site.options();
  o.reauthentication = true;
  site.setOptions(o);
  {
    LogCapture log;
    startRun();
    EXPECT_TRUE(log.contains("ログイン押下完了(再認証)"));
    EXPECT_EQ(site.reauthentications(), 1);
    EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  }
  window()->items()->purgeDone(false);
  useMailLogin();
  {
    LogCapture log;
    startRun();
    EXPECT_EQ(site.lastLoginKind(), "mail");
    EXPECT_TRUE(log.contains("ログイン情報入力(再認証)"));
    EXPECT_EQ(site.reauthentications(), 2);
    EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  }
  EXPECT_EQ(site.uploads().size(), 4u);
}

TEST_F(SonetRun, TheLoginCheckLooksForWhatEachKindShowsOnFailure) {
  setting(Password) = "wrong";
  {
    LogCapture log;
    startRun();
    EXPECT_TRUE(log.contains("ログインチェック失敗"));
    EXPECT_FALSE(log.contains("管理ページ検索"));
  }
  useMailLogin();
  {
    LogCapture log;
    startRun();
    EXPECT_TRUE(log.contains("ログインチェック失敗"));
    EXPECT_TRUE(
        log.contains("ユーザー名・パスワードが正しいか確認してください。"));
  }
  // The mail kind does not look for the member field: a good mail login
  // on a page without "戻る" passes.
  setting(Password) = "secret";
  {
    LogCapture log;
    startRun();
    EXPECT_TRUE(log.contains("ログインチェック成功"));
  }
  EXPECT_EQ(site.uploads().size(), 2u);
}

TEST_F(SonetRun, WithoutTheLoginImageTheFormSearchFailsIntoTheLog) {
  site.setNewSessionsLoggedIn(true);
  setting(RetryCount) = "2";
  setting(AutoRetry) = "0";
  LogCapture log;
  startRun(); // no box may come up: the error goes to the log
  EXPECT_TRUE(log.contains("既にログインされている?"));
  EXPECT_EQ(log.count("ログインが見つかりませんでした"), 2);
  EXPECT_TRUE(
      log.contains("エラーが発生しました。ログを確認してください。m(__)m"));
  EXPECT_TRUE(site.uploads().empty());
}
