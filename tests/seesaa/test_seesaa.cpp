// The SeeSaa script end to end: the real main window, browser and file
// chooser against the fake SeeSaa site.
#include "servicerun.h"

#include "core/itemlist.h"
#include "core/services.h"
#include "core/settings.h"
#include "fakeseesaa.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/rundriver.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {
class SeesaaRun : public ServiceRunTest {
protected:
  void SetUp() override {
    ServiceRunTest::SetUp();
    ASSERT_TRUE(site.start());
    setting(BlogUrl) = QString::fromStdString(site.startUrl());
    setting(UserId) = "user@example.com";
    setting(Password) = "secret";
    setting(ToolName) = "Photo Album";
    setting(DirName) = "";
    setting(MakeUrlList) = "1";
    setting(CheckLogin) = "1";
    setting(LogOut) = "1";
    setServiceLoginUrl(SvcSeesaa, setting(BlogUrl));
    queueTwoFiles();
  }
  void TearDown() override {
    ServiceRunTest::TearDown();
    site.stop();
  }
  // Received files by "folder name" (blog/directory/name).
  std::map<QString, QByteArray> received() const {
    std::map<QString, QByteArray> out;
    for (const auto &u : site.uploads())
      out[QString::fromStdString(u.folder + "/" + u.filename)] =
          QByteArray::fromStdString(u.bytes);
    return out;
  }
  std::map<QString, QByteArray> expected(const QString &folder) const {
    std::map<QString, QByteArray> out;
    for (const auto &f : files)
      out[folder + "/" + f.first] = f.second;
    return out;
  }

  fake::FakeSeesaa site;
};
} // namespace

// Signs in, finds the blog by its name although its link carries spaces
// around it, uploads both files into the top directory, writes no URL list
// and signs out.
TEST_F(SeesaaRun, UploadsBothFilesAndSignsOut) {
  LogCapture log;
  startRun();
  EXPECT_TRUE(window()->Idle);
  EXPECT_EQ(received(), expected("photos/"));
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  const QStringList list = listFileLines();
  ASSERT_EQ(list.size(), 2);
  for (const QString &l : list)
    EXPECT_TRUE(l.startsWith("済,")) << l.toStdString();
  EXPECT_TRUE(urlListLines().isEmpty());

  const QStringList l = log.lines();
  EXPECT_EQ(l.mid(0, 2), QStringList({"ブラウザを開く", "SeeSaaブログで動作"}));
  EXPECT_EQ(log.count("参照ボタン･アップロード検索"), 2);
  EXPECT_FALSE(log.contains("ディレクトリ名を選択開始"));
  EXPECT_FALSE(log.containsStart("URL対応"));
  for (const char *line :
       {"サインイン押下完了", "ログイン検索", "ログインチェック成功",
        "ブログ名押下完了", "ファイルマネージャ押下完了",
        "サインアウト押下完了"})
    EXPECT_TRUE(log.contains(line)) << line;
  const int item = l.indexOf("参照ボタン･アップロード検索");
  EXPECT_EQ(l.mid(item, 3),
            QStringList({"参照ボタン･アップロード検索", "アップロード情報入力",
                         "参照ボタン押下"}));
  const int submit = l.indexOf("アップロード押下", item);
  const QStringList steps = {
      "アップロード押下",     "ページ読込開始",
      "ページ切替待ち開始",   "ページ読込開始2",
      "アップロード押下完了", "参照ボタン･アップロード検索"};
  EXPECT_EQ(l.mid(submit, steps.size()), steps);
}

// An existing directory is chosen from the list; a new one is typed in and
// added on the page, and the next item finds it in the list.
TEST_F(SeesaaRun, DirectoryChosenOrCreated) {
  {
    LogCapture log;
    setting(DirName) = "Diary";
    startRun();
    EXPECT_EQ(received(), expected("photos/Diary"));
    EXPECT_EQ(log.count("ディレクトリ名の選択完了"), 2);
    EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  }
  site.clearUploads();
  window()->items()->clear();
  queueFiles({{"新しい.jpg", bytesFor(7, 900)}, {"next.png", bytesFor(8, 90)}});
  files.erase(files.begin(), files.begin() + 2);
  LogCapture log;
  setting(DirName) = "旅行 2024";
  startRun();
  EXPECT_EQ(received(), expected("photos/旅行 2024"));
  const QStringList l = log.lines();
  const int at = l.indexOf("ディレクトリ名を選択開始");
  ASSERT_GE(at, 0);
  EXPECT_EQ(l.mid(at, 5),
            QStringList({"ディレクトリ名を選択開始", "ディレクトリ名の入力完了",
                         "追加押下", "追加押下完了", "参照ボタン押下"}));
  EXPECT_EQ(log.count("ディレクトリ名の選択完了"), 1);
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  const auto dirs = site.directories("photos");
  EXPECT_NE(std::find(dirs.begin(), dirs.end(), "旅行 2024"), dirs.end());
}

// A browser still signed in: the write link skips the login form; and when
// the sign-in link is shown anyway, the sign-out link on the next page tells
// that the login is not needed.
TEST_F(SeesaaRun, AlreadySignedIn) {
  site.setNewSessionsLoggedIn(true);
  setting(LogOut) = "0";
  {
    LogCapture log;
    startRun();
    const QStringList l = log.lines();
    const int at = l.indexOf("ブログを書く押下完了");
    ASSERT_GE(at, 0);
    EXPECT_EQ(l.mid(at + 1, 4),
              QStringList({"ページ読込開始", "ページ切替待ち開始",
                           "ページ読込開始2", "ログインチェック開始"}));
    EXPECT_FALSE(log.contains("ログイン検索"));
    EXPECT_EQ(received(), expected("photos/"));
  }
  site.clearUploads();
  window()->items()->purgeDone(false);
  auto o = site.options();
  o.signInLinkAlways = true;
  site.setOptions(o);
  LogCapture log;
  startRun();
  EXPECT_TRUE(log.contains("サインイン押下完了"));
  EXPECT_TRUE(log.contains("既にログインされている?"));
  EXPECT_FALSE(log.contains("ログイン情報入力"));
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
}

// The blog's name must match in letter case; a wrong one costs every
// attempt, ends in the error box and uploads nothing.
TEST_F(SeesaaRun, BlogNameDifferingInCaseIsNotFound) {
  LogCapture log;
  setting(ToolName) = "photo album";
  setting(RetryCount) = "2";
  QString text;
  answerNextModal(QString(), &text);
  startRun();
  EXPECT_EQ(log.count("ブログ名が見つかりませんでした"), 2);
  EXPECT_TRUE(log.contains("リトライしたが失敗"));
  EXPECT_TRUE(
      text.startsWith("エラーが発生しました。ログを確認してください。"));
  EXPECT_TRUE(site.uploads().empty());
  EXPECT_EQ(statuses(), QStringList({"", ""}));
}

int main(int argc, char **argv) { return runTestsWithApp(argc, argv); }
