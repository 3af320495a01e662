// The livedoor script end to end: the real main window, browser and file
// chooser against the fake livedoor site.
#include "cases.h"

#include "fakelivedoor.h"

namespace {
struct LivedoorRun : SiteTest<fake::FakeLivedoor> {
  LivedoorRun() : SiteTest("livedoor") {}
  // Every received upload as "blog/folder/name".
  QStringList receivedWhere() const {
    QStringList out;
    for (const auto &u : site.uploads())
      out << QString::fromStdString(u.folder + "/" + u.filename);
    return out;
  }
  QString urlLine(int file, const std::string &blog) const {
    return data.file("up/" + files[file].first) + "\t" +
           QString::fromStdString(
               site.fileUrl(blog, files[file].first.toStdString()));
  }
};
} // namespace

// A browser still logged in, already on the old screen, with a single blog:
// every shortcut is taken; without the check the address is still looked
// up, and "make none" is chosen for the thumbnail.
TEST_F(LivedoorRun, LoggedInOnTheOldScreenWithOneBlog) {
  site.setNewSessionsLoggedIn(true);
  auto o = site.options();
  o.oldScreenFirst = true;
  o.blogs = {"ひとつだけ"};
  site.setOptions(o);
  setting(Thumbnail) = "0";
  setting(CheckUpload) = "0";
  setting(ToolName) = "";
  LogCapture log;
  startRun();
  for (const char *line :
       {"既にログインされている?", "既に旧管理画面表示？",
        "ブログタイトルが見つかりませんでした。", "複数ブログではない?"})
    EXPECT_TRUE(log.contains(line)) << line;
  EXPECT_FALSE(log.contains("ログイン情報入力"));
  EXPECT_FALSE(log.contains("アップロード確認"));
  EXPECT_FALSE(log.contains("フォルダを選択"));
  EXPECT_EQ(log.count("URL対応ﾘｽﾄ追加完了"), 2);
  EXPECT_EQ(receivedWhere(),
            QStringList({"ひとつだけ/未分類/first.jpg",
                         "ひとつだけ/未分類/日本語の写真.png"}));
  for (const auto &u : site.uploads())
    EXPECT_EQ(u.fields.at("make_thumbnail_1"), "0");
  EXPECT_EQ(urlListLines(),
            QStringList({urlLine(0, "ひとつだけ"), urlLine(1, "ひとつだけ")}));
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
}

// An upload whose result lacks the confirmation is sent again within the
// row's attempts; once they are used up the row stays pending and the run
// goes on with the next one.
TEST_F(LivedoorRun, UnconfirmedUploadIsSentAgainWithinItsAttempts) {
  auto o = site.options();
  o.unconfirmedResults = 1;
  site.setOptions(o);
  {
    LogCapture log;
    startRun();
    const QStringList l = log.lines();
    const int failed = l.indexOf("アップロード確認失敗");
    ASSERT_GE(failed, 0);
    EXPECT_EQ(l.indexOf("リトライします(2)", failed) > failed, true);
    EXPECT_EQ(site.uploads().size(), 3u);
    EXPECT_EQ(statuses(), QStringList({"済", "済"}));
    EXPECT_EQ(urlListLines().size(), 2);
  }
  window()->items()->purgeDone(false);
  site.clearUploads();
  o.unconfirmedResults = 1;
  site.setOptions(o);
  setting(RetryCount) = "1";
  setting(MakeUrlList) = "0";
  LogCapture log;
  BoxAnswerer boxes;
  startRun();
  // An item given up makes the pass a failure: the error ending's box.
  ASSERT_EQ(boxes.texts.size(), 1);
  EXPECT_TRUE(boxes.texts[0].startsWith("エラーが発生しました。"));
  EXPECT_TRUE(log.contains("済にならなかったファイルが1件あります"));
  EXPECT_TRUE(log.contains("アップロード確認失敗"));
  EXPECT_TRUE(log.contains("ログアウト押下完了"));
  EXPECT_EQ(statuses(), QStringList({"", "済"}));
  EXPECT_EQ(listFileLines().value(0).left(1), ",");
  EXPECT_EQ(site.uploads().size(), 2u);
}
