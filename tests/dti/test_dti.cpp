// The DTI script end to end: the real main window, browser and file chooser
// against the fake DTI site.
#include "servicerun.h"

#include "core/itemlist.h"
#include "core/services.h"
#include "core/settings.h"
#include "fakedti.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/rundriver.h"

#include <gtest/gtest.h>

namespace {
class DtiRun : public ServiceRunTest {
protected:
  void SetUp() override {
    ServiceRunTest::SetUp();
    ASSERT_TRUE(site.start());
    setting(BlogUrl) = QString::fromStdString(site.loginUrl());
    setting(UserId) = "user1";
    setting(Password) = "secret";
    setting(Thumbnail) = "1";
    setting(CheckUpload) = "1";
    setting(MakeUrlList) = "1";
    setting(CheckLogin) = "1";
    setting(LogOut) = "1";
    setServiceLoginUrl(SvcDti, setting(BlogUrl));
    queueTwoFiles();
  }
  void TearDown() override {
    ServiceRunTest::TearDown();
    site.stop();
  }
  std::map<QString, QByteArray> expected() const {
    return {files.begin(), files.end()};
  }

  fake::FakeDti site;
};
} // namespace

TEST_F(DtiRun, UploadsVerifiesAndLogsOut) {
  LogCapture log;
  startRun();
  EXPECT_TRUE(window()->Idle);
  EXPECT_EQ(byName(site.uploads()), expected());
  for (const auto &u : site.uploads())
    EXPECT_EQ(u.fields.count("thumb"), 1u);
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  for (const QString &l : listFileLines())
    EXPECT_TRUE(l.startsWith("済,")) << l.toStdString();
  EXPECT_TRUE(urlListLines().isEmpty());

  const QStringList l = log.lines();
  EXPECT_EQ(l.mid(0, 2), QStringList({"ブラウザを開く", "DTIブログで動作"}));
  const int login = l.indexOf("管理画面へログイン押下完了");
  ASSERT_GE(login, 0);
  EXPECT_EQ(l.mid(login + 1, 6),
            QStringList({"ページ読込開始", "ページ切替待ち開始",
                         "ページ読込開始2", "ページ切替待ち開始2",
                         "ページ読込開始3", "ログインチェック開始"}));
  const int item = l.indexOf("参照ボタン・アップロード検索");
  EXPECT_EQ(
      l.mid(item, 4),
      QStringList({"参照ボタン・アップロード検索", "アップロード情報入力",
                   "標準サイズ画像を作るのチェックする", "参照ボタン押下"}));
  const int submit = l.indexOf("アップロード押下", item);
  const QStringList steps = {
      "アップロード押下",     "ページ読込開始",
      "ページ切替待ち開始",   "ページ切替待ち開始2",
      "アップロード押下完了", "アップロード確認",
      "アップロード確認成功", "参照ボタン・アップロード検索"};
  EXPECT_EQ(l.mid(submit, steps.size()), steps);
  EXPECT_TRUE(log.contains("ファイルアップロード押下完了"));
  EXPECT_TRUE(log.contains("ログアウト押下完了"));
  EXPECT_FALSE(log.containsStart("URL対応"));
}

// A browser still logged in gets no login form: that is not taken as a
// login, and the run ends in the error box with nothing uploaded.
TEST_F(DtiRun, LoginPageWithoutItsFormIsAFailure) {
  site.setNewSessionsLoggedIn(true);
  setting(RetryCount) = "2";
  LogCapture log;
  QString text;
  answerNextModal(QString(), &text);
  startRun();
  EXPECT_EQ(log.count("管理画面へログインが見つかりませんでした"), 2);
  EXPECT_TRUE(log.contains("リトライしたが失敗"));
  EXPECT_FALSE(log.contains("ファイルアップロード検索"));
  EXPECT_TRUE(
      text.startsWith("エラーが発生しました。ログを確認してください。"));
  EXPECT_TRUE(site.uploads().empty());
  EXPECT_EQ(statuses(), QStringList({"", ""}));
}

// The result table is read without regard to letter case; a file missing
// from it is sent again within the row's attempts, and once they are used
// up the row stays pending while the run goes on.
TEST_F(DtiRun, VerificationByTheFileTable) {
  auto o = site.options();
  o.upperCaseNames = true;
  o.unlistedResults = 1;
  site.setOptions(o);
  setting(Thumbnail) = "0";
  {
    LogCapture log;
    startRun();
    EXPECT_EQ(log.count("アップロード確認失敗"), 1);
    EXPECT_EQ(log.count("アップロード確認成功"), 2);
    EXPECT_TRUE(log.contains("リトライします(2)"));
    EXPECT_FALSE(log.contains("標準サイズ画像を作るのチェックする"));
    EXPECT_EQ(site.uploads().size(), 3u);
    for (const auto &u : site.uploads())
      EXPECT_EQ(u.fields.count("thumb"), 0u);
    EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  }
  window()->items()->purgeDone(false);
  site.clearUploads();
  o.unlistedResults = 1;
  site.setOptions(o);
  setting(RetryCount) = "1";
  LogCapture log;
  QString box;
  answerNextModal(QString(), &box);
  startRun();
  EXPECT_TRUE(log.contains("アップロード確認失敗"));
  EXPECT_TRUE(log.contains("ログアウト押下完了"));
  // The item given up makes the pass a failure.
  EXPECT_TRUE(box.startsWith("エラーが発生しました。")) << box.toStdString();
  EXPECT_EQ(statuses(), QStringList({"", "済"}));
  EXPECT_EQ(site.uploads().size(), 2u);
}

int main(int argc, char **argv) { return runTestsWithApp(argc, argv); }
