// The Rakuten script end to end: the real main window, browser and file
// chooser against the fake Rakuten blog.
#include "cases.h"

#include "fakerakuten.h"

#include <QFile>

namespace {
struct RakutenRun : SiteTest<fake::FakeRakuten> {
  RakutenRun() : SiteTest("rakuten") {}
};
} // namespace

TEST_F(RakutenRun, AlbumMatchingAndRunsWithoutTheUrlList) {
  // The list pads " 日記 "; the name matches without the blanks.
  setting(ToolName) = "日記";
  setting(MakeUrlList) = "0";
  {
    LogCapture log;
    startRun();
    EXPECT_EQ(statuses(), QStringList({"済", "済"}));
    for (const auto &a : foldersByName())
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
    for (const auto &a : foldersByName())
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
  LogCapture log;
  runLoggedIn(log);
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
