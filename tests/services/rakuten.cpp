#include "cases.h"

#include <QFile>

using RakutenRun = SiteTest<fake::FakeRakuten>;

TEST_F(RakutenRun, AlbumMatchingAndRunsWithoutTheUrlList) {
  // The list pads " 日記 "; the name matches without the blanks.
  setting(ToolName) = "日記";
  setting(MakeUrlList) = "0";
  startRun();
  expectAllIn("日記");
  // The second file is sent from the page the first upload produced.
  EXPECT_FALSE(log.contains("戻る開始"));
  EXPECT_FALSE(log.contains("テキストエリア検索"));
  EXPECT_FALSE(QFile::exists(data.file("UrlList.txt")));

  // Another letter case is another album: the page's own choice stays.
  again();
  setting(ToolName) = "travel";
  startRun();
  expectAllIn("未分類");
  EXPECT_EQ(log.count("登録先のアルバムを選択"), 2);
  EXPECT_FALSE(log.contains("登録先のアルバムを選択完了"));
}

TEST_F(RakutenRun, EmptyTextAreaOrAWrongPassword) {
  site.set("emptyResultText", true);
  setting(RetryCount) = "2";
  startRun();
  expectAllIn("旅行");
  EXPECT_EQ(log.count("テキストエリア検索失敗"), 4);
  EXPECT_EQ(log.count("リトライしたが失敗"), 2);
  EXPECT_EQ(log.count("戻る完了"), 2);
  EXPECT_TRUE(log.contains("ログアウト押下完了"));
  EXPECT_FALSE(QFile::exists(data.file("UrlList.txt")));

  // A wrong password ends with the logged error, not a box.
  again();
  setting(Password) = "wrong";
  setting(CheckLogin) = "0";
  setting(RetryCount) = "1";
  BoxAnswerer boxes;
  startRun();
  // Without the login the upload link is missing on every attempt.
  expectGaveUp(log, "フォトをアップロード", 1);
  EXPECT_TRUE(boxes.texts.isEmpty());
}
