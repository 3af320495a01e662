// The goo script end to end: the real main window, browser and file
// chooser against the fake goo blog.
#include "servicerun.h"

#include "core/itemlist.h"
#include "core/runstate.h"
#include "core/services.h"
#include "core/settings.h"
#include "fakegoo.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/rundriver.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {
class GooRun : public ServiceRunTest {
protected:
  void SetUp() override {
    ServiceRunTest::SetUp();
    ASSERT_TRUE(site.start());
    setting(BlogUrl) = QString::fromStdString(site.loginUrl());
    setServiceLoginUrl(SvcGoo, setting(BlogUrl));
    setting(UserId) = "goo-user";
    setting(Password) = "secret";
    setting(GooSize) = "1";
    setting(MakeUrlList) = "1";
    setting(LogOut) = "1";
    setting(CheckLogin) = "1";
  }
  void TearDown() override {
    ServiceRunTest::TearDown();
    site.stop();
  }
  // The size choice each file was sent with.
  std::map<QString, QString> sizes() const {
    std::map<QString, QString> out;
    for (const auto &u : site.uploads())
      out[QString::fromStdString(u.filename)] =
          QString::fromStdString(u.fields.at("upload_size"));
    return out;
  }

  fake::FakeGoo site;
};
} // namespace

TEST_F(GooRun, LogsInThroughTheStartPageAndUploadsWithSizeAndTitle) {
  queueTwoFiles();
  LogCapture log;
  startRun();
  EXPECT_TRUE(window()->Idle);

  const auto got = byName(site.uploads());
  ASSERT_EQ(got.size(), files.size());
  for (const auto &f : files)
    EXPECT_EQ(got.at(f.first), f.second) << f.first.toStdString();
  for (const auto &u : site.uploads())
    EXPECT_EQ(u.fields.at("raw_title[0]"), u.filename);
  for (const auto &s : sizes())
    EXPECT_EQ(s.second, "1") << s.first.toStdString();
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  for (const QString &l : listFileLines())
    EXPECT_TRUE(l.startsWith("済,")) << l.toStdString();
  // goo keeps no address list, whatever the setting says.
  EXPECT_FALSE(QFile::exists(data.file("UrlList.txt")));

  const QStringList l = log.lines();
  EXPECT_EQ(l.mid(0, 2), QStringList({"ブラウザを開く", "gooブログで動作"}));
  EXPECT_EQ(log.count("ログイン検索"), 2); // start page, then login page
  const int login =
      l.indexOf("ログイン押下完了", l.indexOf("ログイン情報入力"));
  ASSERT_GT(login, 0);
  EXPECT_EQ(l.mid(login + 1, 8),
            QStringList({"ページ読込開始", "ページ切替待ち開始",
                         "ページ読込開始2", "ページ切替待ち開始2",
                         "ページ読込開始3", "ログインチェック開始",
                         "ログインチェック成功", "画像フォルダ検索"}));
  const int from = l.indexOf("参照ボタン・アップロード検索");
  ASSERT_GE(from, 0);
  // The file chooser's own lines come between the two halves of an item.
  const QStringList head = {"参照ボタン・アップロード検索",
                            "アップロード情報入力", "ファイルの種類を選択",
                            "ファイルの種類を選択完了", "参照ボタン押下"};
  EXPECT_EQ(l.mid(from, head.size()), head);
  const int submit = l.indexOf("アップロード押下", from);
  ASSERT_GT(submit, from);
  // The second wait after the submit is logged as the first one.
  const QStringList tail = {
      "アップロード押下",     "ページ読込開始",
      "ページ切替待ち開始",   "ページ読込開始",
      "アップロード押下完了", "参照ボタン・アップロード検索"};
  EXPECT_EQ(l.mid(submit, tail.size()), tail);
  EXPECT_TRUE(log.contains("ログアウト押下完了"));
  EXPECT_EQ(l.last(), "ブラウザを閉じる");
}

TEST_F(GooRun, VideoIsChosenByTheLastExtensionInAnyCase) {
  queueFiles({{"movie.3GP", bytesFor(4, 3000)},
              {"clip.3gp.jpg", bytesFor(5, 2000)},
              {"voice.Amc", bytesFor(6, 1000)}});
  {
    LogCapture log;
    startRun();
    EXPECT_EQ(statuses(), QStringList({"済", "済", "済"}));
    const auto s = sizes();
    EXPECT_EQ(s.at("movie.3GP"), "2");
    EXPECT_EQ(s.at("clip.3gp.jpg"), "1");
    EXPECT_EQ(s.at("voice.Amc"), "2");
  }

  // A page without the video choice still takes the video, with the
  // page's own choice, and the run goes on.
  site.clearUploads();
  window()->items()->purgeDone(false);
  auto o = site.options();
  o.sizeValues = {"0", "1"};
  site.setOptions(o);
  {
    LogCapture log;
    startRun();
    EXPECT_EQ(statuses(), QStringList({"済", "済", "済"}));
    const auto s = sizes();
    EXPECT_EQ(s.at("movie.3GP"), "0");
    EXPECT_EQ(s.at("clip.3gp.jpg"), "1");
    EXPECT_EQ(s.at("voice.Amc"), "0");
    EXPECT_EQ(log.count("動画ファイルの選択肢が見つかりませんでした"), 2);
    EXPECT_EQ(log.count("ファイルの種類を選択完了"), 1);
    EXPECT_TRUE(log.contains("ログアウト押下完了"));
  }
}

TEST_F(GooRun, LoggedInStartPageGoesThroughTheEditButton) {
  queueTwoFiles();
  site.setNewSessionsLoggedIn(true);
  LogCapture log;
  startRun();
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  const QStringList l = log.lines();
  const int edit = l.indexOf("作成・編集押下");
  ASSERT_GT(edit, 0);
  EXPECT_EQ(l.mid(edit, 6),
            QStringList({"作成・編集押下", "作成・編集押下完了",
                         "ページ読込開始", "ページ切替待ち開始",
                         "ページ読込開始2", "画像フォルダ検索"}));
  EXPECT_EQ(log.count("ログイン検索"), 1);
  EXPECT_FALSE(log.contains("ログイン情報入力"));
  EXPECT_FALSE(log.contains("ログインチェック開始"));
}

int main(int argc, char **argv) { return runTestsWithApp(argc, argv); }
