// The Cocolog script end to end: the real main window, browser and file
// chooser against the fake Cocolog blog, into both destinations.
#include "cases.h"

#include "fakecocolog.h"

#include <QFile>

namespace {
struct CocologRun : SiteTest<fake::FakeCocolog> {
  CocologRun() : SiteTest("cocolog") {}
};
} // namespace

TEST_F(CocologRun, ControlPanelIntoTheNamedFolderOrTheTop) {
  setting(CocologTarget) = "1";
  setting(DirName) = "docs";
  {
    LogCapture log;
    startRun();
    expectAllIn("docs");
    EXPECT_TRUE(log.contains("コントロールパネル押下完了"));
    EXPECT_TRUE(log.contains("ファイル押下完了"));
    EXPECT_TRUE(log.contains("フォルダ押下完了"));
    EXPECT_TRUE(log.contains("アップロード押下完了"));
    EXPECT_FALSE(log.contains("マイフォト検索"));
    EXPECT_EQ(log.count("戻る完了"), 2);
  }

  // Without a folder name the files stay where the files link leads.
  site.clearUploads();
  window()->items()->purgeDone(false);
  setting(DirName) = "";
  {
    LogCapture log;
    startRun();
    expectAllIn("");
    EXPECT_FALSE(log.contains("フォルダ検索"));
  }
}

TEST_F(CocologRun, AlreadyLoggedInAndAnAlbumThatIsNotThere) {
  {
    LogCapture log;
    runLoggedIn(log);
    expectAllIn("日記");
  }

  // Another letter case is another album: no add-photo link is taken, not
  // even the first one of the page, and the error goes to the log.
  site.clearUploads();
  window()->items()->purgeDone(false);
  setting(ToolName) = "travel";
  setting(RetryCount) = "2";
  {
    LogCapture log;
    startRun();
    EXPECT_EQ(log.count("新しい写真の追加が見つかりませんでした"), 2);
    EXPECT_TRUE(log.contains("リトライしたが失敗"));
    EXPECT_TRUE(
        log.contains("エラーが発生しました。ログを確認してください。m(__)m"));
    EXPECT_TRUE(site.uploads().empty());
    EXPECT_EQ(statuses(), QStringList({"", ""}));
    EXPECT_TRUE(window()->Idle);
  }
}
