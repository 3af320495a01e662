#include "cases.h"

using GooRun = SiteTest<fake::FakeGoo>;

TEST_F(GooRun, LoggedInStartPageAndTheVideoChoice) {
  // A browser still logged in goes through the edit button.
  site.setNewSessionsLoggedIn(true);
  startRun();
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  EXPECT_TRUE(holdsRun(log.lines(), {"作成・編集押下", "作成・編集押下完了",
                                     "ページ読込開始", "ページ切替待ち開始",
                                     "ページ読込開始2", "画像フォルダ検索"}));
  EXPECT_EQ(log.count("ログイン検索"), 1);
  EXPECT_FALSE(log.contains("ログイン情報入力"));
  EXPECT_FALSE(log.contains("ログインチェック開始"));

  // Logged out by that run: video is chosen by the last extension in any
  // case.
  again();
  site.setNewSessionsLoggedIn(false);
  requeue({{"movie.3GP", bytesFor(4, 3000)},
           {"clip.3gp.jpg", bytesFor(5, 2000)},
           {"voice.Amc", bytesFor(6, 1000)}});
  startRun();
  expectAllIn("");
  EXPECT_EQ(sentField("upload_size"), QStringList({"2", "1", "2"}));

  // A page without the video choice still takes the video, with the
  // page's own choice, and the run goes on.
  again();
  site.set("videoChoice", false);
  startRun();
  expectAllIn("");
  EXPECT_EQ(sentField("upload_size"), QStringList({"0", "1", "0"}));
  EXPECT_EQ(log.count("動画ファイルの選択肢が見つかりませんでした"), 2);
  EXPECT_EQ(log.count("ファイルの種類を選択完了"), 1);
  EXPECT_TRUE(log.contains("ログアウト押下完了"));
}
