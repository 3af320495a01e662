// The Ninja script end to end: the real main window, the real browser, the
// real file chooser, against the fake Ninja site.
#include "servicerun.h"

#include "core/services.h"
#include "core/settings.h"
#include "fakeninja.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/rundriver.h"

#include <gtest/gtest.h>

namespace {
const char kBlog[] = "My Photo Blog";

class NinjaRun : public ServiceRunTest {
protected:
  void SetUp() override {
    ServiceRunTest::SetUp();
    ASSERT_TRUE(site.start());
    setting(BlogUrl) = QString::fromStdString(site.loginUrl());
    setting(UserId) = "ninja-user";
    setting(Password) = "secret";
    // The tool list shows "My Photo Blog"; a second blog comes first.
    setting(ToolName) = "my photo BLOG";
    setting(OverWrite) = "0";
    setting(CheckUpload) = "1";
    setting(MakeUrlList) = "1";
    setting(LogOut) = "1";
    setting(CheckLogin) = "1";
    setServiceLoginUrl(SvcNinja, setting(BlogUrl));
    queueTwoFiles();
  }
  void TearDown() override {
    ServiceRunTest::TearDown();
    site.stop();
  }
  void setSite(const std::function<void(fake::FakeNinja::Options &)> &f) {
    auto o = site.options();
    f(o);
    site.setOptions(o);
  }
  int uploadsOf(const QString &name) const {
    int n = 0;
    for (const auto &u : site.uploads())
      n += QString::fromStdString(u.filename) == name;
    return n;
  }
  int requestsTo(const std::string &path) const {
    int n = 0;
    for (const auto &r : site.requests())
      n += r.path == path;
    return n;
  }

  fake::FakeNinja site;
};
} // namespace

TEST_F(NinjaRun, UploadsIntoTheNamedBlogAndRecordsTheNewestFilesAddress) {
  LogCapture log;
  startRun();

  const auto uploads = site.uploads();
  ASSERT_EQ(uploads.size(), files.size());
  for (const auto &u : uploads)
    EXPECT_EQ(u.folder, kBlog);
  const auto got = byName(uploads);
  for (const auto &f : files)
    EXPECT_EQ(got.at(f.first), f.second) << f.first.toStdString();
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  for (const QString &l : listFileLines())
    EXPECT_TRUE(l.startsWith("済,")) << l.toStdString();

  QStringList expected;
  for (const auto &f : files)
    expected << data.file("up/" + f.first) + "\t" +
                    QString::fromStdString(
                        site.fileUrl(kBlog, f.first.toStdString()));
  EXPECT_EQ(urlListLines(), expected);

  const QStringList l = log.lines();
  EXPECT_EQ(l.mid(0, 2), QStringList({"ブラウザを開く", "忍者ブログで動作"}));
  EXPECT_TRUE(log.contains("管理ページへログイン押下完了"));
  EXPECT_TRUE(log.contains("ブログ名押下完了"));
  // Without overwriting the file list is not searched for the name.
  EXPECT_FALSE(log.contains("アップロード確認"));
  const int from = l.indexOf("参照ボタン･アップロード検索");
  ASSERT_GE(from, 0);
  // The file chooser logs its own steps between these two parts.
  const QStringList item = {"参照ボタン･アップロード検索",
                            "アップロード情報入力", "参照ボタン押下"};
  EXPECT_EQ(l.mid(from, item.size()), item);
  const int submit = l.indexOf("アップロード押下", from);
  ASSERT_GT(submit, from);
  const QStringList tail = {"アップロード押下",
                            "ページ読込開始",
                            "ページ切替待ち開始",
                            "ページ読込開始2",
                            "アップロード押下完了",
                            "アップロード済ファイル検索",
                            "アップロード済ファイルが見つかりました",
                            "URL対応リスト追加完了",
                            "ファイル一覧に戻る検索",
                            "ファイル一覧に戻る押下",
                            "ファイル一覧に戻る押下完了",
                            "ページ読込開始",
                            "ページ切替待ち開始",
                            "ページ読込開始2",
                            "参照ボタン･アップロード検索"};
  EXPECT_EQ(l.mid(submit, tail.size()), tail);
  EXPECT_TRUE(log.contains("ツール一覧に戻る押下完了"));
  EXPECT_TRUE(log.contains("ログアウト押下完了"));
  EXPECT_EQ(requestsTo("/logout.html"), 1);
  EXPECT_EQ(l.last(), "ブラウザを閉じる");
}

TEST_F(NinjaRun, OverwritingVerifiesTheNameInAnyCaseAndRetriesAMissedOne) {
  setting(OverWrite) = "1";
  // The list shows names in capitals, and the first result misses its
  // highlight: the script goes back and sends the same file again.
  setSite([](auto &o) {
    o.upperCaseNames = true;
    o.missHighlights = 1;
  });
  LogCapture log;
  startRun();

  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  EXPECT_EQ(uploadsOf("first.jpg"), 2);
  EXPECT_EQ(uploadsOf("日本語の写真.png"), 1);
  for (const auto &u : site.uploads())
    EXPECT_EQ(u.fields.at("overwrite"), "1");
  const auto stored = site.stored().at(kBlog);
  EXPECT_EQ(stored.size(), 2u); // replaced, not stored twice
  EXPECT_EQ(QByteArray::fromStdString(stored.at("first.jpg")), files[0].second);

  EXPECT_GE(log.count("同名のファイルを上書きするのチェックする"), 2);
  EXPECT_EQ(log.count("アップロード確認失敗"), 1);
  EXPECT_EQ(log.count("アップロード確認成功"), 2);
  const QStringList l = log.lines();
  const int failed = l.indexOf("アップロード確認失敗");
  EXPECT_EQ(
      l.mid(failed, 8),
      QStringList({"アップロード確認失敗", "戻る開始", "戻る完了",
                   "ページ読込開始", "ページ切替待ち開始", "ページ読込開始2",
                   "リトライします(2)", "アップロード情報入力"}));
  // Overwriting keeps no address list, whatever the setting says.
  EXPECT_TRUE(urlListLines().isEmpty());
  EXPECT_FALSE(log.contains("アップロード済ファイル検索"));
}

TEST_F(NinjaRun, AnItemThatNeverVerifiesStaysPendingAndThePassFails) {
  setting(OverWrite) = "1";
  setting(RetryCount) = "2";
  setSite([](auto &o) { o.neverHighlight = "first.jpg"; });
  LogCapture log;
  startRun();

  EXPECT_EQ(statuses(), QStringList({"", "済"}));
  // Each new attempt sends the same item's file, never another row's.
  EXPECT_EQ(uploadsOf("first.jpg"), 2);
  EXPECT_EQ(uploadsOf("日本語の写真.png"), 1);
  for (const auto &u : site.uploads())
    EXPECT_EQ(QByteArray::fromStdString(u.bytes),
              u.filename == "first.jpg" ? files[0].second : files[1].second);
  EXPECT_EQ(log.count("アップロード確認失敗"), 2);
  EXPECT_EQ(log.count("リトライしたが失敗"), 1);
  EXPECT_TRUE(log.contains("ログアウト押下完了"));
  // The later item still went up, but the pass is no success.
  EXPECT_TRUE(log.contains("済にならなかったファイルが1件あります"));
  EXPECT_TRUE(log.containsStart("エラーが発生しました"));
}

TEST_F(NinjaRun, AlreadyLoggedInWithoutLogOutStaysInTheBlog) {
  site.setNewSessionsLoggedIn(true);
  setting(LogOut) = "0";
  setting(MakeUrlList) = "0";
  LogCapture log;
  startRun();

  EXPECT_TRUE(log.contains("既にログインされている?"));
  EXPECT_FALSE(log.contains("ログイン情報入力"));
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  EXPECT_EQ(site.uploads().size(), 2u);
  EXPECT_TRUE(urlListLines().isEmpty());
  // Neither the tool list (after the first visit) nor the log-out page.
  EXPECT_FALSE(log.contains("ツール一覧に戻る検索"));
  EXPECT_FALSE(log.contains("ログアウト検索"));
  EXPECT_EQ(requestsTo("/tools"), 1);
  EXPECT_EQ(requestsTo("/logout.html"), 0);
}

TEST_F(NinjaRun, TickedBoxIsClearedAndAListWithoutAddressesRecordsNothing) {
  setting(RetryCount) = "2";
  setSite([](auto &o) {
    o.overwriteChecked = true;
    o.plainFileLinks = true;
  });
  LogCapture log;
  startRun();

  EXPECT_EQ(log.count("同名のファイルを上書きするのチェック外す"), 2);
  for (const auto &u : site.uploads())
    EXPECT_EQ(u.fields.count("overwrite"), 0u);
  // Uploaded once each, but without an address neither counts as done.
  EXPECT_EQ(uploadsOf("first.jpg"), 1);
  EXPECT_EQ(uploadsOf("日本語の写真.png"), 1);
  EXPECT_EQ(log.count("アップロード済ファイルが見つかりませんでした"), 4);
  EXPECT_EQ(statuses(), QStringList({"", ""}));
  EXPECT_TRUE(urlListLines().isEmpty());
  EXPECT_TRUE(log.contains("ログアウト押下完了"));
}

int main(int argc, char **argv) { return runTestsWithApp(argc, argv); }
