// The So-net script end to end: the real main window, the real browser, the
// real file chooser, against the fake So-net site.
#include "servicerun.h"

#include "core/itemlist.h"
#include "core/runstate.h"
#include "core/services.h"
#include "core/settings.h"
#include "fakesonet.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/rundriver.h"

#include <gtest/gtest.h>

namespace {
class SonetRun : public ServiceRunTest {
protected:
  void SetUp() override {
    ServiceRunTest::SetUp();
    ASSERT_TRUE(site.start());
    setting(BlogUrl) = QString::fromStdString(site.loginUrl());
    setting(CocologTarget) = "0";
    setting(UserId) = "sonetuser";
    setting(Password) = "secret";
    setting(LogOut) = "1";
    setting(CheckLogin) = "1";
    setting(MakeUrlList) = "1"; // not a thing this service does
    setServiceLoginUrl(SvcSonet, setting(BlogUrl));
    queueTwoFiles();
  }
  void TearDown() override {
    ServiceRunTest::TearDown();
    site.stop();
  }
  void useMailLogin() {
    setting(CocologTarget) = "1";
    setting(UserId) = "user@so-net.example";
  }

  fake::FakeSonet site;
};
} // namespace

TEST_F(SonetRun, MemberLoginUploadsEveryFileAndLogsOut) {
  LogCapture log;
  startRun();
  EXPECT_TRUE(window()->Idle);

  const auto got = byName(site.uploads());
  ASSERT_EQ(got.size(), files.size());
  for (const auto &f : files)
    EXPECT_EQ(got.at(f.first), f.second) << f.first.toStdString();
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  for (const QString &l : listFileLines())
    EXPECT_TRUE(l.startsWith("済,")) << l.toStdString();
  EXPECT_TRUE(urlListLines().isEmpty());
  EXPECT_EQ(site.lastLoginKind(), "member");

  const QStringList l = log.lines();
  EXPECT_EQ(l.mid(0, 2), QStringList({"ブラウザを開く", "So-netブログで動作"}));
  // The form's login: the hint follows the switch line at once.
  const int press = l.indexOf("ログイン押下", l.indexOf("ログイン情報入力"));
  ASSERT_GT(press, 0);
  EXPECT_EQ(l.mid(press, 4),
            QStringList({"ログイン押下", "ページ切替待ち開始",
                         "スクリプト エラー画面が表示される場合は、手動でOKボ"
                         "タンを押してください。m(__)m",
                         "ログイン押下完了"}));
  const int reauth = l.indexOf("再認証チェック開始");
  ASSERT_GT(reauth, 0);
  EXPECT_EQ(l[reauth + 1], "再認証画面ではありません");
  EXPECT_TRUE(log.contains("ログインチェック成功"));
  EXPECT_TRUE(log.contains("ファイル管理押下完了"));
  EXPECT_TRUE(log.contains("ログアウト押下完了"));
  EXPECT_FALSE(log.contains("アップロード確認"));
  EXPECT_EQ(l.last(), "ブラウザを閉じる");
}

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

int main(int argc, char **argv) { return runTestsWithApp(argc, argv); }
