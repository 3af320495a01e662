#include "cases.h"

#include <algorithm>

using SeesaaRun = SiteTest<fake::FakeSeesaa>;

// An existing directory is chosen from the list; a new one is typed in and
// added on the page, and the next item finds it in the list.
TEST_F(SeesaaRun, DirectoryChosenOrCreatedAndTheBlogNameInItsCase) {
  setting(DirName) = "Diary";
  startRun();
  expectAllIn("photos/Diary");
  EXPECT_EQ(log.count("ディレクトリ名の選択完了"), 2);

  again();
  requeue({{"新しい.jpg", bytesFor(7, 900)}, {"next.png", bytesFor(8, 90)}});
  setting(DirName) = "旅行 2024";
  startRun();
  expectAllIn("photos/旅行 2024");
  EXPECT_TRUE(holdsRun(log.lines(),
                       {"ディレクトリ名を選択開始", "ディレクトリ名の入力完了",
                        "追加押下", "追加押下完了", "参照ボタン押下"}));
  EXPECT_EQ(log.count("ディレクトリ名の選択完了"), 1);
  const auto dirs = site.directories("photos");
  EXPECT_NE(std::find(dirs.begin(), dirs.end(), "旅行 2024"), dirs.end());

  // The blog's name must match in letter case; a wrong one costs every
  // attempt, ends in the error box and uploads nothing.
  again();
  setting(ToolName) = "photo album";
  setting(RetryCount) = "2";
  BoxAnswerer boxes;
  startRun();
  expectGaveUp(log, "ブログ名", 2);
  ASSERT_EQ(boxes.texts.size(), 1);
  EXPECT_TRUE(boxes.texts[0].startsWith("エラーが発生しました。"));
}

// A browser still signed in: the write link skips the login form; and when
// the sign-in link is shown anyway, the sign-out link on the next page tells
// that the login is not needed.
TEST_F(SeesaaRun, AlreadySignedIn) {
  site.setNewSessionsLoggedIn(true);
  setting(LogOut) = "0";
  startRun();
  EXPECT_TRUE(holdsRun(log.lines(), {"ブログを書く押下完了", "ページ読込開始",
                                     "ページ切替待ち開始", "ページ読込開始2",
                                     "ログインチェック開始"}));
  EXPECT_FALSE(log.contains("ログイン検索"));
  expectAllIn("photos/");

  again();
  site.set("signInLinkAlways", true);
  runLoggedIn(log);
  EXPECT_TRUE(log.contains("サインイン押下完了"));
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
}
