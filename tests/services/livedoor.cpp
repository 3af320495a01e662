#include "cases.h"

using LivedoorRun = SiteTest<fake::FakeLivedoor>;

// A browser still logged in, already on the old screen, with a single blog:
// every shortcut is taken; without the check the address is still looked
// up, and "make none" is chosen for the thumbnail.
TEST_F(LivedoorRun, LoggedInOnTheOldScreenWithOneBlog) {
  site.set("oldScreenFirst", true);
  site.set("blogs", "ひとつだけ");
  setting(Thumbnail) = "0";
  setting(CheckUpload) = "0";
  setting(ToolName) = "";
  runLoggedIn(log);
  for (const char *line :
       {"既に旧管理画面表示？", "ブログタイトルが見つかりませんでした。",
        "複数ブログではない?"})
    EXPECT_TRUE(log.contains(line)) << line;
  EXPECT_FALSE(log.contains("アップロード確認"));
  EXPECT_FALSE(log.contains("フォルダを選択"));
  EXPECT_EQ(log.count("URL対応ﾘｽﾄ追加完了"), 2);
  expectAllIn("ひとつだけ/未分類");
  EXPECT_EQ(sentField("make_thumbnail_1"), QStringList({"0", "0"}));
  EXPECT_EQ(urlListLines(), urlsOf(fileIn<fake::FakeLivedoor>("ひとつだけ")));
}

// An upload whose result lacks the confirmation is sent again within the
// row's attempts.
TEST_F(LivedoorRun, UnconfirmedUploadIsSentAgainWithinItsAttempts) {
  site.set("unconfirmedResults", 1);
  startRun();
  EXPECT_TRUE(
      comesAfter(log.lines(), "アップロード確認失敗", "リトライします(2)"));
  EXPECT_EQ(site.uploads().size(), 3u);
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  EXPECT_EQ(urlListLines(), urlsOf(svcCase.url)); // each file once
}
