// The livedoor script end to end: the real main window, browser and file
// chooser against the fake livedoor site.
#include "servicerun.h"

#include "core/itemlist.h"
#include "core/services.h"
#include "core/settings.h"
#include "fakelivedoor.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/rundriver.h"

#include <gtest/gtest.h>

namespace {
class LivedoorRun : public ServiceRunTest {
protected:
  void SetUp() override {
    ServiceRunTest::SetUp();
    ASSERT_TRUE(site.start());
    setting(BlogUrl) = QString::fromStdString(site.startUrl());
    setting(UserId) = "user1";
    setting(Password) = "secret";
    setting(DirName) = "Travel Notes";
    setting(ToolName) = "写真";
    setting(Thumbnail) = "1";
    setting(CheckUpload) = "1";
    setting(MakeUrlList) = "1";
    setting(CheckLogin) = "1";
    setting(LogOut) = "1";
    setServiceLoginUrl(SvcLivedoor, setting(BlogUrl));
    queueTwoFiles();
  }
  void TearDown() override {
    ServiceRunTest::TearDown();
    site.stop();
  }
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

  fake::FakeLivedoor site;
};
} // namespace

// Logs in through the management page, takes the old screen, picks the blog
// whose title has capitals, uploads with title, thumbnail and folder, and
// records each file's address from its link.
TEST_F(LivedoorRun, UploadsIntoTheChosenBlogAndFolderWithUrls) {
  LogCapture log;
  startRun();
  EXPECT_TRUE(window()->Idle);
  EXPECT_EQ(byName(site.uploads()), (std::map<QString, QByteArray>(
                                        {{files[0].first, files[0].second},
                                         {files[1].first, files[1].second}})));
  EXPECT_EQ(receivedWhere(),
            QStringList({"Travel Notes/写真/first.jpg",
                         "Travel Notes/写真/日本語の写真.png"}));
  for (const auto &u : site.uploads()) {
    EXPECT_EQ(u.fields.at("name_1"), u.filename);
    EXPECT_EQ(u.fields.at("make_thumbnail_1"), "1");
  }
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  for (const QString &l : listFileLines())
    EXPECT_TRUE(l.startsWith("済,")) << l.toStdString();
  EXPECT_EQ(urlListLines(), QStringList({urlLine(0, "Travel Notes"),
                                         urlLine(1, "Travel Notes")}));

  const QStringList l = log.lines();
  EXPECT_EQ(l.mid(0, 2),
            QStringList({"ブラウザを開く", "livedoorブログで動作"}));
  for (const char *line :
       {"管理ページ押下完了", "ログイン押下完了", "ログインチェック成功",
        "旧管理画面押下完了", "変更押下完了", "ページ読込開始3",
        "ファイルの管理・お絵描き押下完了", "ログアウト押下完了"})
    EXPECT_TRUE(log.contains(line)) << line;
  EXPECT_FALSE(log.contains("複数ブログではない?"));
  const int at = l.indexOf("選択したファイルをアップロードする押下完了");
  ASSERT_GE(at, 0);
  const QStringList after = {"選択したファイルをアップロードする押下完了",
                             "アップロード確認",
                             "アップロード確認成功",
                             "ファイルタイトル検索",
                             "ファイルタイトル検索成功",
                             "URL対応ﾘｽﾄ追加完了",
                             "ファイルのアップロード検索"};
  EXPECT_EQ(l.mid(at, after.size()), after);
  EXPECT_EQ(log.count("ファイルのアップロード押下完了"), 3);
}

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
  QString box;
  answerNextModal(QString(), &box);
  startRun();
  // An item given up makes the pass a failure: the error ending's box.
  EXPECT_TRUE(box.startsWith("エラーが発生しました。")) << box.toStdString();
  EXPECT_TRUE(log.contains("済にならなかったファイルが1件あります"));
  EXPECT_TRUE(log.contains("アップロード確認失敗"));
  EXPECT_TRUE(log.contains("ログアウト押下完了"));
  EXPECT_EQ(statuses(), QStringList({"", "済"}));
  EXPECT_EQ(listFileLines().value(0).left(1), ",");
  EXPECT_EQ(site.uploads().size(), 2u);
}

int main(int argc, char **argv) { return runTestsWithApp(argc, argv); }
