// The Rakuten script end to end: the real main window, browser and file
// chooser against the fake Rakuten blog.
#include "servicerun.h"

#include "core/itemlist.h"
#include "core/runstate.h"
#include "core/services.h"
#include "core/settings.h"
#include "fakerakuten.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/rundriver.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {
class RakutenRun : public ServiceRunTest {
protected:
  void SetUp() override {
    ServiceRunTest::SetUp();
    ASSERT_TRUE(site.start());
    setting(BlogUrl) = QString::fromStdString(site.loginUrl());
    setServiceLoginUrl(SvcRakuten, setting(BlogUrl));
    setting(UserId) = "rakuten-user";
    setting(Password) = "secret";
    setting(ToolName) = "旅行";
    setting(MakeUrlList) = "1";
    setting(LogOut) = "1";
    setting(CheckLogin) = "1";
    queueTwoFiles();
  }
  void TearDown() override {
    ServiceRunTest::TearDown();
    site.stop();
  }
  // Album of every upload, by file name.
  std::map<QString, QString> albums() const {
    std::map<QString, QString> out;
    for (const auto &u : site.uploads())
      out[QString::fromStdString(u.filename)] =
          QString::fromStdString(u.folder);
    return out;
  }

  fake::FakeRakuten site;
};
} // namespace

TEST_F(RakutenRun, UploadsIntoTheAlbumRecordsTheTextAreaAndGoesBack) {
  LogCapture log;
  startRun();
  EXPECT_TRUE(window()->Idle);

  const auto got = byName(site.uploads());
  ASSERT_EQ(got.size(), files.size());
  for (const auto &f : files)
    EXPECT_EQ(got.at(f.first), f.second) << f.first.toStdString();
  for (const auto &u : site.uploads()) {
    EXPECT_EQ(u.folder, "旅行");
    // The file-name field carries the item's name.
    EXPECT_EQ(u.fields.at("name[]"), u.filename);
  }
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  for (const QString &l : listFileLines())
    EXPECT_TRUE(l.startsWith("済,")) << l.toStdString();

  const QString base = QString::fromStdString(site.baseUrl());
  EXPECT_EQ(urlListLines(),
            QStringList(
                {data.file("up/first.jpg") + "\t" + base + "/photo/1/first.jpg",
                 data.file("up/日本語の写真.png") + "\t" + base +
                     "/photo/2/日本語の写真.png"}));

  const QStringList l = log.lines();
  EXPECT_EQ(l.mid(0, 2), QStringList({"ブラウザを開く", "楽天ブログで動作"}));
  EXPECT_TRUE(log.contains("ログイン押下完了"));
  EXPECT_TRUE(log.contains("ログインチェック成功"));
  // Both settles after the login and after the upload link are double.
  EXPECT_EQ(log.count("ページ読込開始3"), 3);
  const int from = l.indexOf("参照ボタン・アップロード検索");
  ASSERT_GE(from, 0);
  // The file chooser's own lines come between the two halves of an item.
  const QStringList head = {"参照ボタン・アップロード検索",
                            "アップロード情報入力", "登録先のアルバムを選択",
                            "登録先のアルバムを選択完了", "参照ボタン押下"};
  EXPECT_EQ(l.mid(from, head.size()), head);
  const int submit = l.indexOf("フォトをアップロード検索", from);
  ASSERT_GT(submit, from);
  const QStringList tail = {"フォトをアップロード検索",
                            "フォトをアップロード押下",
                            "ページ読込開始",
                            "ページ切替待ち開始",
                            "ページ読込開始2",
                            "フォトをアップロード押下完了",
                            "テキストエリア検索",
                            "テキストエリア検索成功",
                            "URL対応リスト追加完了",
                            "戻る開始",
                            "戻る完了",
                            "ページ読込開始",
                            "ページ切替待ち開始",
                            "ページ読込開始2",
                            "参照ボタン・アップロード検索"};
  EXPECT_EQ(l.mid(submit, tail.size()), tail);
  EXPECT_TRUE(log.contains("ログアウト押下完了"));
  EXPECT_EQ(l.last(), "ブラウザを閉じる");
  bool loggedOut = false;
  for (const auto &r : site.requests())
    loggedOut = loggedOut || r.path == "/logout";
  EXPECT_TRUE(loggedOut);
}

TEST_F(RakutenRun, AlbumMatchingAndRunsWithoutTheUrlList) {
  // The list pads " 日記 "; the name matches without the blanks.
  setting(ToolName) = "日記";
  setting(MakeUrlList) = "0";
  {
    LogCapture log;
    startRun();
    EXPECT_EQ(statuses(), QStringList({"済", "済"}));
    for (const auto &a : albums())
      EXPECT_EQ(a.second, "日記") << a.first.toStdString();
    // The second file is sent from the page the first upload produced.
    EXPECT_FALSE(log.contains("戻る開始"));
    EXPECT_FALSE(log.contains("テキストエリア検索"));
    EXPECT_FALSE(QFile::exists(data.file("UrlList.txt")));
  }

  // Another letter case is another album: the page's own choice stays.
  site.clearUploads();
  window()->items()->purgeDone(false);
  setting(ToolName) = "travel";
  {
    LogCapture log;
    startRun();
    EXPECT_EQ(statuses(), QStringList({"済", "済"}));
    for (const auto &a : albums())
      EXPECT_EQ(a.second, "未分類") << a.first.toStdString();
    EXPECT_EQ(log.count("登録先のアルバムを選択"), 2);
    EXPECT_FALSE(log.contains("登録先のアルバムを選択完了"));
  }
}

TEST_F(RakutenRun, EmptyTextAreaCostsOnlyTheUrlEntry) {
  auto o = site.options();
  o.emptyResultText = true;
  site.setOptions(o);
  setting(RetryCount) = "2";
  LogCapture log;
  startRun();
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  EXPECT_EQ(byName(site.uploads()).size(), 2u);
  EXPECT_EQ(log.count("テキストエリア検索失敗"), 4);
  EXPECT_EQ(log.count("リトライしたが失敗"), 2);
  EXPECT_EQ(log.count("戻る完了"), 2);
  EXPECT_TRUE(log.contains("ログアウト押下完了"));
  EXPECT_FALSE(QFile::exists(data.file("UrlList.txt")));
}

TEST_F(RakutenRun, AlreadyLoggedInShowsOnlyTheLogoutLink) {
  site.setNewSessionsLoggedIn(true);
  setting(LogOut) = "0";
  LogCapture log;
  startRun();
  EXPECT_TRUE(log.contains("既にログインされている?"));
  EXPECT_FALSE(log.contains("ログイン情報入力"));
  EXPECT_FALSE(log.contains("ログアウト検索"));
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
}

TEST_F(RakutenRun, WrongPasswordEndsWithTheLoggedErrorNotABox) {
  setting(Password) = "wrong";
  setting(CheckLogin) = "0";
  setting(RetryCount) = "1";
  LogCapture log;
  startRun();
  // Without the login the upload link is missing on every attempt.
  EXPECT_TRUE(log.contains("フォトをアップロードが見つかりませんでした"));
  EXPECT_TRUE(
      log.contains("エラーが発生しました。ログを確認してください。m(__)m"));
  EXPECT_TRUE(site.uploads().empty());
  EXPECT_EQ(statuses(), QStringList({"", ""}));
  EXPECT_TRUE(window()->Idle);
}

int main(int argc, char **argv) { return runTestsWithApp(argc, argv); }
