// Faults during a run: a 500 on the upload, refused connections, a stalled
// page, a dropped upload, an upload page without its file input. After
// each, the queue tells the truth about what the blog holds.
#include "servicerun.h"

#include "core/itemlist.h"
#include "core/runstate.h"
#include "core/services.h"
#include "core/settings.h"
#include "fakefc2.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/rundriver.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

class Fc2Faults : public ServiceRunTest {
protected:
  void SetUp() override {
    ServiceRunTest::SetUp();
    ASSERT_TRUE(site.start());
    setting(BlogUrl) = QString::fromStdString(site.loginUrl());
    setServiceLoginUrl(SvcFc2, setting(BlogUrl));
    setting(UserId) = "user@example.com";
    setting(Password) = "secret";
    setting(CheckUpload) = "1";
    setting(TimeOut) = "2";
    queueFiles({{"a.jpg", bytesFor(1, 3000)},
                {"b.jpg", bytesFor(2, 4000)},
                {"c.jpg", bytesFor(3, 5000)}});
  }
  void TearDown() override {
    ServiceRunTest::TearDown();
    site.stop();
  }

  // Every "済" was received byte for byte; with `complete`, every received
  // file is marked too.
  void expectQueueTellsTheTruth(bool complete) {
    const auto stored = site.storedFiles();
    for (const ItemRow &r : window()->items()->items()) {
      const auto it = stored.find(r.name.toStdString());
      const bool received = it != stored.end();
      if (r.done()) {
        ASSERT_TRUE(received) << r.name.toStdString();
        for (const auto &f : files)
          if (f.first == r.name)
            EXPECT_EQ(QByteArray::fromStdString(it->second), f.second);
      } else if (complete) {
        EXPECT_FALSE(received) << r.name.toStdString() << " not marked";
      }
    }
    // the list file says the same as the grid
    const QStringList lines = listFileLines();
    ASSERT_EQ(lines.size(), window()->items()->itemCount());
    for (int i = 0; i < lines.size(); ++i)
      EXPECT_EQ(lines[i].startsWith("済,"), window()->items()->item(i).done());
  }

  int postsSeen() const {
    int n = 0;
    for (const auto &r : site.requests())
      n += r.method == "POST" && r.path == "/upload.php";
    return n;
  }

  fake::FakeFc2 site;
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

int main(int argc, char **argv) { return runTestsWithApp(argc, argv); }
