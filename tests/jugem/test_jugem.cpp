// The Jugem script end to end: the real main window, the real browser, the
// real file chooser, against the fake Jugem site.
#include "servicerun.h"

#include "browser/browserwindow.h"
#include "core/runstate.h"
#include "core/services.h"
#include "core/settings.h"
#include "fakejugem.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/rundriver.h"

#include <gtest/gtest.h>

namespace {
class JugemRun : public ServiceRunTest {
protected:
  void SetUp() override {
    ServiceRunTest::SetUp();
    ASSERT_TRUE(site.start());
    setting(BlogUrl) = QString::fromStdString(site.loginUrl());
    setting(UserId) = "jugemuser";
    setting(Password) = "secret";
    setting(MakeUrlList) = "1";
    setting(LogOut) = "1";
    setting(CheckLogin) = "1";
    setting(Thumbnail) = "1";
    setServiceLoginUrl(SvcJugem, setting(BlogUrl));
    queueTwoFiles();
  }
  void TearDown() override {
    ServiceRunTest::TearDown();
    site.stop();
  }
  QString imageUrl(const QString &name) const {
    return QString::fromStdString(site.baseUrl()) + "/img/" + name;
  }

  fake::FakeJugem site;
};
} // namespace

TEST_F(JugemRun, UploadsEveryFileWithItsOptionsAndRecordsTheAddresses) {
  LogCapture log;
  startRun();
  EXPECT_TRUE(window()->Idle);

  const auto got = site.uploads();
  ASSERT_EQ(got.size(), files.size());
  for (size_t i = 0; i < got.size(); ++i) {
    const QString name = QString::fromStdString(got[i].filename);
    EXPECT_EQ(name, files[i].first);
    EXPECT_EQ(QByteArray::fromStdString(got[i].bytes), files[i].second);
    EXPECT_EQ(got[i].field, "upfile0");
    // The alternative text carries the file name, the thumbnail is made.
    EXPECT_EQ(QString::fromStdString(got[i].fields.at("alt0")), name);
    EXPECT_EQ(got[i].fields.at("thumb"), "1");
  }
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  EXPECT_EQ(listFileLines().size(), 2);
  for (const QString &l : listFileLines())
    EXPECT_TRUE(l.startsWith("済,")) << l.toStdString();
  EXPECT_EQ(
      urlListLines(),
      QStringList({data.file("up/first.jpg") + "\t" + imageUrl("first.jpg"),
                   data.file("up/日本語の写真.png") + "\t" +
                       imageUrl("日本語の写真.png")}));

  const QStringList l = log.lines();
  EXPECT_EQ(l.mid(0, 2), QStringList({"ブラウザを開く", "Jugemブログで動作"}));
  // The three links, one wait each: the management link opened in this
  // window although the page asks for a new one.
  for (const QString &link :
       {"管理者ページ", "画像の管理", "画像アップロード"}) {
    const int at = l.indexOf(link + QString("押下"));
    ASSERT_GE(at, 0) << link.toStdString();
    EXPECT_EQ(l.mid(at, 3),
              QStringList({link + QString("押下"), link + QString("押下完了"),
                           "ページ読込開始"}));
  }
  EXPECT_FALSE(browser2Loaded());
  const int item = l.indexOf("アップロード押下完了");
  ASSERT_GT(item, 0);
  EXPECT_EQ(
      l.mid(item + 1, 4),
      QStringList({"画像のURL検索", "画像のURL検索成功",
                   "URL対応リスト追加完了", "参照ボタン・アップロード検索"}));
  EXPECT_TRUE(log.contains("ログインチェック成功"));
  EXPECT_TRUE(log.contains("ログアウト押下完了"));
  bool loggedOut = false;
  for (const auto &r : site.requests())
    loggedOut = loggedOut || r.path == "/logout";
  EXPECT_TRUE(loggedOut);
  EXPECT_EQ(l.last(), "ブラウザを閉じる");
}

TEST_F(JugemRun, AlreadyLoggedInIsRecognisedByTheUserNameInAnyCase) {
  // The site shows the account as it was registered; the setting has it
  // in other letters.
  auto o = site.options();
  o.account = "JugemUser";
  site.setOptions(o);
  site.setNewSessionsLoggedIn(true);
  setting(UserId) = "JUGEMUSER";
  setting(Thumbnail) = "0";
  setting(MakeUrlList) = "0";
  LogCapture log;
  startRun();
  EXPECT_TRUE(log.contains("既にログインされている?"));
  EXPECT_FALSE(log.contains("ログイン情報入力"));
  EXPECT_FALSE(log.contains("画像のURL検索"));
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  for (const auto &u : site.uploads())
    EXPECT_EQ(u.fields.at("thumb"), "0");
  EXPECT_TRUE(urlListLines().isEmpty());
}

TEST_F(JugemRun, NoLoginFormAndNoUserNameEndsWithTheErrorInTheLog) {
  site.setNewSessionsLoggedIn(true);
  setting(UserId) = "someoneelse";
  setting(RetryCount) = "2";
  setting(AutoRetry) = "0";
  LogCapture log;
  startRun(); // no box may come up: the error goes to the log
  EXPECT_EQ(log.count("ログインが見つかりませんでした"), 2);
  EXPECT_TRUE(log.contains("リトライしたが失敗"));
  EXPECT_TRUE(
      log.contains("エラーが発生しました。ログを確認してください。m(__)m"));
  EXPECT_TRUE(site.uploads().empty());
  EXPECT_TRUE(window()->Idle);
}

TEST_F(JugemRun, AnEmptyAddressFieldCostsOnlyTheUrlEntry) {
  auto o = site.options();
  o.emptyUrlField = true;
  site.setOptions(o);
  setting(RetryCount) = "2";
  LogCapture log;
  startRun();
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  EXPECT_EQ(site.uploads().size(), 2u);
  EXPECT_EQ(log.count("画像のURLが見つかりませんでした"), 4);
  EXPECT_EQ(log.count("リトライしたが失敗"), 2);
  EXPECT_TRUE(urlListLines().isEmpty());
  EXPECT_TRUE(log.contains("ログアウト押下完了"));
}

int main(int argc, char **argv) { return runTestsWithApp(argc, argv); }
