#include "cases.h"

using CocologRun = SiteTest<fake::FakeCocolog>;

TEST_F(CocologRun, ControlPanelIntoAFolderOrTheTopAndAnAlbumThatIsNotThere) {
  setting(CocologTarget) = "1";
  setting(DirName) = "docs";
  startRun();
  expectAllIn("docs");
  for (const char *line : {"コントロールパネル押下完了", "ファイル押下完了",
                           "フォルダ押下完了", "アップロード押下完了"})
    EXPECT_TRUE(log.contains(line)) << line;
  EXPECT_FALSE(log.contains("マイフォト検索"));
  EXPECT_EQ(log.count("戻る完了"), 2);

  // Without a folder name the files stay where the files link leads.
  again();
  setting(DirName) = "";
  startRun();
  expectAllIn("");
  EXPECT_FALSE(log.contains("フォルダ検索"));

  // Another letter case is another album: no add-photo link is taken, not
  // even the first one of the page, and the error goes to the log.
  again();
  setting(CocologTarget) = "0";
  setting(ToolName) = "travel";
  setting(RetryCount) = "2";
  startRun();
  expectGaveUp(log, "新しい写真の追加", 2);
}
