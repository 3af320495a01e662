// The SeeSaa script end to end: the real main window, browser and file
// chooser against the fake SeeSaa site.
#include "cases.h"

#include "fakeseesaa.h"

#include <algorithm>

namespace {
struct SeesaaRun : SiteTest<fake::FakeSeesaa> {
  SeesaaRun() : SiteTest("seesaa") {}
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
};
} // namespace

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
