// Faults during a run: a 500 on the upload, refused connections, a stalled
// page, a dropped upload, an upload page without its file input. After
// each, the queue tells the truth about what the blog holds.
#include "cases.h"

#include "fakefc2.h"

#include <QTimer>

#include <functional>

namespace {

struct Fc2Faults : SiteTest<fake::FakeFc2> {
  Fc2Faults() : SiteTest("fc2") {}
  void SetUp() override {
    SiteTest::SetUp();
    for (SettingId id : {MakeUrlList, LogOut, CheckLogin})
      setting(id) = "0";
    setting(CheckUpload) = "1";
    setting(TimeOut) = "2";
    requeue({{"a.jpg", bytesFor(1, 3000)},
             {"b.jpg", bytesFor(2, 4000)},
             {"c.jpg", bytesFor(3, 5000)}});
  }
  int postsSeen() const { return ServiceTest::postsSeen("/upload.php"); }
};
} // namespace

TEST_F(Fc2Faults, ServerErrorOnTheUploadEndsThePassAndRepeatModeFinishes) {
  // The error page carries no form, so the item's further attempts find no
  // file input and the pass ends; repeat mode starts the next one.
  LogCapture log;
  setting(AutoRetry) = "1";
  Trigger on([&] { return log.contains("アップロード押下"); },
             [&] { site.failPath("/upload.php", 500); });
  Trigger off([&] { return log.contains("リトライしたが失敗"); },
              [&] { site.failPath("/upload.php", 0); });
  startRun();
  EXPECT_TRUE(log.contains("アップロード確認失敗"));
  EXPECT_TRUE(log.contains("参照ボタンが見つかりませんでした"));
  EXPECT_EQ(log.count("ブラウザを開く"), 2);
  EXPECT_EQ(statuses(), QStringList({"済", "済", "済"}));
  expectQueueTellsTheTruth(true);
}

TEST_F(Fc2Faults, RefusedConnectionsEndThePassAndRepeatModeFinishes) {
  LogCapture log;
  setting(AutoRetry) = "1";
  setting(RetryCount) = "2";
  Trigger down([&] { return window()->items()->item(0).done(); },
               [&] { site.refuse(true); });
  Trigger up([&] { return log.count("リトライしたが失敗") >= 1; },
             [&] { site.refuse(false); });
  startRun();
  EXPECT_TRUE(log.contains(
      "ネットワークのエラーです。回線が切断されたか繋がりません。"));
  EXPECT_GE(log.count("ブラウザを開く"), 2);
  EXPECT_EQ(statuses(), QStringList({"済", "済", "済"}));
  expectQueueTellsTheTruth(true);
}

TEST_F(Fc2Faults, StalledPageTimesOut) {
  LogCapture log;
  setting(RetryCount) = "2";
  Trigger stall([&] { return window()->items()->item(0).done(); },
                [&] { site.stallPath("/upload.php", 6000); });
  Trigger clear([&] { return log.contains("ﾀｲﾑｱｳﾄ時間を超えました。(Busy)"); },
                [&] { site.stallPath("/upload.php", 0); });
  startRun();
  EXPECT_TRUE(log.contains("ﾀｲﾑｱｳﾄ時間を超えました。(Busy)"));
  EXPECT_TRUE(log.contains("応答なし1"));
  expectQueueTellsTheTruth(false);
  EXPECT_TRUE(window()->items()->item(0).done());
}

TEST_F(Fc2Faults, DroppedUploadEndsThePassAndRepeatModeFinishes) {
  LogCapture log;
  setting(AutoRetry) = "1";
  Trigger drop([&] { return log.contains("参照ボタン押下"); },
               [&] { site.dropUploadConnection(true); });
  Trigger restore([&] { return log.contains("リトライしたが失敗"); },
                  [&] { site.dropUploadConnection(false); });
  startRun();
  EXPECT_GE(postsSeen(), 1);
  EXPECT_TRUE(log.contains("アップロード確認失敗"));
  EXPECT_EQ(log.count("ブラウザを開く"), 2);
  EXPECT_EQ(statuses(), QStringList({"済", "済", "済"}));
  expectQueueTellsTheTruth(true);
}

TEST_F(Fc2Faults, UploadPageWithoutItsFileInputStopsWithNothingMarked) {
  LogCapture log;
  auto o = site.options();
  o.hideFileInput = true;
  site.setOptions(o);
  QString text;
  answerNextModal(QString(), &text);
  startRun();
  EXPECT_EQ(log.count("参照ボタンが見つかりませんでした"), 3);
  EXPECT_TRUE(log.contains("リトライしたが失敗"));
  EXPECT_TRUE(text.startsWith("エラーが発生しました。"));
  EXPECT_EQ(statuses(), QStringList({"", "", ""}));
  EXPECT_TRUE(site.uploads().empty());
  expectQueueTellsTheTruth(true);
}
