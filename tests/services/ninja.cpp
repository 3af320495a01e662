#include "cases.h"

using NinjaRun = SiteTest<fake::FakeNinja>;

TEST_F(NinjaRun, OverwritingVerifiesTheNameInAnyCaseAndRetriesAMissedOne) {
  setting(OverWrite) = "1";
  // The list shows names in capitals, and the first result misses its
  // highlight: the script goes back and sends the same file again.
  site.set("upperCaseNames", true);
  site.set("missHighlights", 1);
  startRun();

  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  EXPECT_EQ(sentNames(),
            QStringList({"first.jpg", "first.jpg", "日本語の写真.png"}));
  EXPECT_EQ(sentField("overwrite"), QStringList({"1", "1", "1"}));
  const auto stored = site.stored().at("My Photo Blog");
  EXPECT_EQ(stored.size(), 2u); // replaced, not stored twice
  EXPECT_EQ(QByteArray::fromStdString(stored.at("first.jpg")), files[0].second);

  EXPECT_EQ(log.count("アップロード確認失敗"), 1);
  EXPECT_TRUE(holdsRun(
      log.lines(), {"アップロード確認失敗", "戻る開始", "戻る完了",
                    "ページ読込開始", "ページ切替待ち開始", "ページ読込開始2",
                    "リトライします(2)", "アップロード情報入力"}));
  // Overwriting keeps no address list, whatever the setting says.
  EXPECT_TRUE(urlListLines().isEmpty());
  EXPECT_FALSE(log.contains("アップロード済ファイル検索"));
}

TEST_F(NinjaRun, ItemsThatNeverVerifyStayPending) {
  setting(OverWrite) = "1";
  setting(RetryCount) = "2";
  site.set("neverHighlight", "first.jpg");
  startRun();

  EXPECT_EQ(statuses(), QStringList({"", "済"}));
  // Each new attempt sends the same item's file, never another row's.
  EXPECT_EQ(sentNames(),
            QStringList({"first.jpg", "first.jpg", "日本語の写真.png"}));
  expectQueueTellsTheTruth(false);
  EXPECT_EQ(log.count("アップロード確認失敗"), 2);
  EXPECT_EQ(log.count("リトライしたが失敗"), 1);
  EXPECT_TRUE(log.contains("ログアウト押下完了"));
  // The later item still went up, but the pass is no success.
  EXPECT_TRUE(log.contains("済にならなかったファイルが1件あります"));
  EXPECT_TRUE(log.contains(kLoggedError));

  // Not overwriting, a ticked box is cleared; and a list without addresses
  // records nothing.
  again();
  site.set("neverHighlight", "");
  setting(OverWrite) = "0";
  site.set("overwriteChecked", true);
  site.set("plainFileLinks", true);
  startRun();

  EXPECT_EQ(log.count("同名のファイルを上書きするのチェック外す"), 2);
  // Uploaded once each, but without an address neither counts as done.
  EXPECT_EQ(sentNames(), QStringList({"first.jpg", "日本語の写真.png"}));
  EXPECT_EQ(sentField("overwrite"), QStringList({"-", "-"}));
  EXPECT_EQ(log.count("アップロード済ファイルが見つかりませんでした"), 4);
  EXPECT_EQ(statuses(), QStringList({"", ""}));
  EXPECT_TRUE(urlListLines().isEmpty());
  EXPECT_TRUE(log.contains("ログアウト押下完了"));
}
