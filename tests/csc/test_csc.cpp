// The CSC script end to end: the real main window, the real browser, the
// real file chooser, against the fake CSC site.
#include "servicerun.h"

#include "core/itemlist.h"
#include "core/services.h"
#include "core/settings.h"
#include "fakecsc.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/rundriver.h"

#include <gtest/gtest.h>

namespace {
class CscRun : public ServiceRunTest {
protected:
  void SetUp() override {
    ServiceRunTest::SetUp();
    ASSERT_TRUE(site.start());
    setting(BlogUrl) = QString::fromStdString(site.loginUrl());
    setting(UserId) = "csc@example.com";
    setting(Password) = "secret";
    // Settings this service has no use for.
    setting(MakeUrlList) = "1";
    setting(CheckUpload) = "1";
    setting(LogOut) = "1";
    setting(CheckLogin) = "1";
    setServiceLoginUrl(SvcCsc, setting(BlogUrl));
    queueTwoFiles();
  }
  void TearDown() override {
    ServiceRunTest::TearDown();
    site.stop();
  }
  void greetAs(const std::string &name) {
    auto o = site.options();
    o.greetingName = name;
    site.setOptions(o);
  }

  fake::FakeCsc site;
};
} // namespace

TEST_F(CscRun, UploadsEveryImageAndMarksItAfterTheSubmit) {
  LogCapture log;
  startRun();

  const auto got = byName(site.uploads());
  ASSERT_EQ(got.size(), files.size());
  for (const auto &f : files)
    EXPECT_EQ(got.at(f.first), f.second) << f.first.toStdString();
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  for (const QString &l : listFileLines())
    EXPECT_TRUE(l.startsWith("済,")) << l.toStdString();
  EXPECT_TRUE(urlListLines().isEmpty());

  const QStringList l = log.lines();
  EXPECT_EQ(l.mid(0, 2), QStringList({"ブラウザを開く", "CSCブログで動作"}));
  const int login = l.indexOf("ログイン押下完了");
  ASSERT_GE(login, 0);
  EXPECT_EQ(l.mid(login + 1, 6),
            QStringList({"ページ読込開始", "ページ切替待ち開始",
                         "ページ読込開始2", "ページ切替待ち開始2",
                         "ページ読込開始3", "ログインチェック開始"}));
  EXPECT_TRUE(log.contains("画像の管理押下完了"));
  const int from = l.indexOf("参照ボタン・アップロード検索");
  ASSERT_GE(from, 0);
  // The file chooser logs its own steps between these two parts.
  const QStringList item = {"参照ボタン・アップロード検索",
                            "アップロード情報入力", "参照ボタン押下"};
  EXPECT_EQ(l.mid(from, item.size()), item);
  const int submit = l.indexOf("画像を追加する押下", from);
  ASSERT_GT(submit, from);
  const QStringList tail = {
      "画像を追加する押下",     "ページ読込開始",
      "ページ切替待ち開始",     "ページ読込開始",
      "画像を追加する押下完了", "参照ボタン・アップロード検索"};
  EXPECT_EQ(l.mid(submit, tail.size()), tail);
  EXPECT_FALSE(log.contains("アップロード確認"));
  EXPECT_TRUE(log.contains("ログアウト押下完了"));
  EXPECT_EQ(l.last(), "ブラウザを閉じる");
}

TEST_F(CscRun, OnlyAGreetingOfThisVeryAccountMeansLoggedIn) {
  site.setNewSessionsLoggedIn(true);
  setting(LogOut) = "0";
  {
    LogCapture log;
    startRun();
    EXPECT_TRUE(log.contains("既にログインされている?"));
    EXPECT_FALSE(log.contains("ログイン情報入力"));
    EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  }
  window()->items()->purgeDone(false);
  const size_t before = site.uploads().size();

  // Another account, then this account's name in other letters: the page
  // offers no login form, so the run gives up and says so in the log.
  for (const std::string name : {"someone@example.com", "CSC@example.com"}) {
    greetAs(name);
    LogCapture log;
    startRun();
    EXPECT_FALSE(log.contains("既にログインされている?")) << name;
    EXPECT_EQ(log.count("ログインが見つかりませんでした"), 3) << name;
    EXPECT_TRUE(log.contains("リトライしたが失敗")) << name;
    EXPECT_TRUE(
        log.contains("エラーが発生しました。ログを確認してください。m(__)m"))
        << name;
    EXPECT_EQ(site.uploads().size(), before) << name;
    EXPECT_EQ(statuses(), QStringList({"", ""})) << name;
    EXPECT_TRUE(window()->Idle);
  }
}

int main(int argc, char **argv) { return runTestsWithApp(argc, argv); }
