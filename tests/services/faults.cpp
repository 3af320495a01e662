// Faults during a run against FC2, livedoor, Ninja and Jugem: a 500 on the
// upload, refused connections, a stalled page, a dropped upload, an upload
// page without its file input. Each service reacts in its own way (a retry
// in place, an error ending, a repeat pass), but the queue must always tell
// the truth about what the blog holds.
#include "cases.h"

namespace {

// What the suite needs to know of a service beyond its table entry.
struct Faulty {
  const char *name;
  std::string uploadPath; // the upload form, and the target of its post
  const char *pressLine;  // logged as the upload is sent
  bool boxes;             // error endings show a box (else they are logged)
};

void PrintTo(const Faulty &f, std::ostream *os) { *os << f.name; }

const Faulty kServices[] = {
    {"fc2", "/upload.php", "アップロード押下", true},
    {"livedoor", "/old/upload", "選択したファイルをアップロードする押下", true},
    // Overwriting, so that the result is checked by the file's name.
    {"ninja", "/blog/1/files", "アップロード押下", false},
    {"jugem", "/admin/upload", "アップロード押下", false}};

const char kNetwork[] =
    "ネットワークのエラーです。回線が切断されたか繋がりません。";

class ServiceFaults : public ServiceTest,
                      public ::testing::WithParamInterface<Faulty> {
protected:
  ServiceFaults() : ServiceTest(serviceCase(GetParam().name)) {}
  const Faulty &svc() const { return GetParam(); }

  void SetUp() override {
    ServiceTest::SetUp();
    setting(CheckUpload) = "1";
    setting(MakeUrlList) = "0";
    setting(TimeOut) = "2";
    setting(OverWrite) = "1";
    requeue({{"a.jpg", bytesFor(1, 3000)},
             {"b.jpg", bytesFor(2, 4000)},
             {"c.jpg", bytesFor(3, 5000)}});
  }

  bool is(const char *name) const { return svc().name == std::string(name); }
  // Everything went up and is marked, and no box waited for anyone.
  void expectAllDoneWithoutABox() {
    EXPECT_EQ(statuses(), QStringList({"済", "済", "済"}));
    EXPECT_TRUE(boxes.texts.isEmpty());
    expectQueueTellsTheTruth(true);
  }
  // The error ending: a box where the service shows one, and the log line.
  void expectErrorEnding() {
    ASSERT_EQ(boxes.texts.size(), svc().boxes ? 1 : 0);
    for (const QString &text : boxes.texts)
      EXPECT_TRUE(text.startsWith("エラーが発生しました。"));
    EXPECT_TRUE(log.contains(kLoggedError));
  }

  BoxAnswerer boxes;
};

// FC2, livedoor and Jugem find no way on from the error page and end the pass;
// the repeat pass sends the rest. Ninja goes back a page and tries again;
// whether that page is the form depends on the engine's back-forward cache
// (the page before is itself the answer to a post), so the item is sent
// again either in the same pass or in the repeat pass.
TEST_P(ServiceFaults, ServerErrorOnTheUploadLeavesTheItemPending) {
  setting(AutoRetry) = "1";
  Trigger on([&] { return log.contains(svc().pressLine); },
             [&] { base->failPath(svc().uploadPath, 500); });
  Trigger off([&] { return log.contains("アップロード確認失敗"); },
              [&] { base->failPath(svc().uploadPath, 0); });
  run();
  EXPECT_TRUE(log.contains("アップロード確認失敗"));
  if (is("ninja")) {
    EXPECT_TRUE(log.contains("戻る完了"));
    EXPECT_TRUE(log.contains("リトライします(2)"));
    EXPECT_LE(log.count("ブラウザを開く"), 2);
  } else {
    EXPECT_TRUE(log.contains("リトライしたが失敗"));
    EXPECT_EQ(log.count("ブラウザを開く"), 2);
  }
  EXPECT_EQ(base->uploads().size(), 3u);
  expectAllDoneWithoutABox();
}

TEST_P(ServiceFaults, RefusedConnectionsEndThePassAndRepeatModeFinishes) {
  setting(AutoRetry) = "1";
  setting(RetryCount) = "2";
  Trigger down([&] { return window()->items()->item(0).done(); },
               [&] { base->refuse(true); });
  // Down until a later pass has met the refusal too: depending on where
  // the error page is noticed, the pass ends after its retries or at once.
  Trigger up(
      [&] {
        return log.count("リトライしたが失敗") >= 1 || log.count(kNetwork) >= 2;
      },
      [&] { base->refuse(false); });
  run();
  EXPECT_TRUE(log.contains(kNetwork));
  EXPECT_GE(log.count("ブラウザを開く"), 2);
  expectAllDoneWithoutABox();
}

TEST_P(ServiceFaults, StalledPageTimesOut) {
  setting(RetryCount) = "2";
  Trigger stall([&] { return window()->items()->item(0).done(); },
                [&] { base->stallPath(svc().uploadPath, 6000); });
  Trigger clear([&] { return log.contains("ﾀｲﾑｱｳﾄ時間を超えました。(Busy)"); },
                [&] { base->stallPath(svc().uploadPath, 0); });
  run();
  EXPECT_TRUE(log.contains("ﾀｲﾑｱｳﾄ時間を超えました。(Busy)"));
  EXPECT_TRUE(log.contains("応答なし1"));
  expectQueueTellsTheTruth(false);
  EXPECT_TRUE(window()->items()->item(0).done());
  if (is("jugem")) {
    // The next item goes from the result page; the held post is sent again.
    expectAllDoneWithoutABox();
  } else {
    // The late page is the form itself, which has no link to follow: the
    // pass ends with its error, as a box or in the log.
    EXPECT_TRUE(log.contains("リトライしたが失敗"));
    expectErrorEnding();
  }
}

TEST_P(ServiceFaults, DroppedUploadConnectionIsNeverMarked) {
  setting(AutoRetry) = "1";
  Trigger drop([&] { return log.contains("参照ボタン押下"); },
               [&] { base->dropUploadConnection(true); });
  Trigger restore(
      [&] {
        return requestsTo(svc().uploadPath, "POST") >= 1 &&
               log.count(svc().pressLine) >= 1 &&
               (log.contains("応答なし1") ||
                log.contains("アップロード確認失敗"));
      },
      [&] { base->dropUploadConnection(false); });
  run();
  EXPECT_TRUE(log.contains("アップロード確認失敗"));
  EXPECT_EQ(log.count("ブラウザを開く"), 2);
  EXPECT_GE(log.count(svc().pressLine), 2);
  expectAllDoneWithoutABox();
}

TEST_P(ServiceFaults, UploadPageWithoutItsFileInputStopsWithNothingMarked) {
  base->set("hideFileInput", true);
  run();
  expectGaveUp(log, "参照ボタン", 3);
  expectErrorEnding();
  expectQueueTellsTheTruth(true);
}

INSTANTIATE_TEST_SUITE_P(Services, ServiceFaults,
                         ::testing::ValuesIn(kServices), [](const auto &p) {
                           return std::string(p.param.name);
                         });

} // namespace
