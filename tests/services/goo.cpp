// The goo script end to end: the real main window, browser and file
// chooser against the fake goo blog.
#include "cases.h"

#include "fakegoo.h"

#include <QFile>

namespace {
struct GooRun : SiteTest<fake::FakeGoo> {
  GooRun() : SiteTest("goo") {}
  // The size choice each file was sent with.
  std::map<QString, QString> sizes() const {
    std::map<QString, QString> out;
    for (const auto &u : site.uploads())
      out[QString::fromStdString(u.filename)] =
          QString::fromStdString(u.fields.at("upload_size"));
    return out;
  }
};
} // namespace

TEST_F(GooRun, VideoIsChosenByTheLastExtensionInAnyCase) {
  requeue({{"movie.3GP", bytesFor(4, 3000)},
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
