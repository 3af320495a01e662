// The faults of the FC2 suite against livedoor, Ninja and Jugem: a 500 on
// the upload, refused connections, a stalled page, a dropped upload, an
// upload page without its file input. Each service reacts in its own way
// (a retry in place, an error ending, a repeat pass), but the queue must
// always tell the truth about what the blog holds.
#include "servicerun.h"

#include "core/itemlist.h"
#include "core/services.h"
#include "core/settings.h"
#include "fakejugem.h"
#include "fakelivedoor.h"
#include "fakeninja.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/rundriver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// Answers every message box while it lives and keeps their texts, so that a
// box nobody expected can neither block the run nor leak into a later test.
class Boxes {
public:
  Boxes() {
    timer_.setInterval(20);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto *box =
          qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
      if (!box)
        return;
      texts << box->text();
      if (box->defaultButton())
        box->defaultButton()->click();
      else
        box->accept();
    });
    timer_.start();
  }
  QStringList texts;

private:
  QTimer timer_;
};

enum class Svc { Livedoor, Ninja, Jugem };

// What the suite needs to know of a service.
struct Service {
  Svc id;
  const char *name;
  int service;            // index in the service table
  std::string startPath;  // BlogUrl
  std::string uploadPath; // the upload form, and the target of its post
  const char *pressLine;  // logged as the upload is sent
  bool boxes;             // error endings show a box (else they are logged)
  std::function<std::unique_ptr<fake::FakeSite>()> make;
  std::function<void()> settings;
  std::function<void(fake::FakeSite &)> hideFileInput;
};

const Service kLivedoor{Svc::Livedoor,
                        "Livedoor",
                        SvcLivedoor,
                        "/",
                        "/old/upload",
                        "選択したファイルをアップロードする押下",
                        true,
                        [] { return std::make_unique<fake::FakeLivedoor>(); },
                        [] {
                          setting(UserId) = "user1";
                          setting(DirName) = "Travel Notes";
                        },
                        [](fake::FakeSite &s) {
                          auto &site = static_cast<fake::FakeLivedoor &>(s);
                          auto o = site.options();
                          o.hideFileInput = true;
                          site.setOptions(o);
                        }};

// Overwriting, so that the result is checked by the file's name.
const Service kNinja{Svc::Ninja,
                     "Ninja",
                     SvcNinja,
                     "/login.html",
                     "/blog/0/files",
                     "アップロード押下",
                     false,
                     [] { return std::make_unique<fake::FakeNinja>(); },
                     [] {
                       setting(UserId) = "ninja-user";
                       setting(ToolName) = "Diary";
                       setting(OverWrite) = "1";
                     },
                     [](fake::FakeSite &s) {
                       auto &site = static_cast<fake::FakeNinja &>(s);
                       auto o = site.options();
                       o.hideFileInput = true;
                       site.setOptions(o);
                     }};

const Service kJugem{Svc::Jugem,
                     "Jugem",
                     SvcJugem,
                     "/",
                     "/admin/upload",
                     "アップロード押下",
                     false,
                     [] { return std::make_unique<fake::FakeJugem>(); },
                     [] { setting(UserId) = "jugemuser"; },
                     [](fake::FakeSite &s) {
                       auto &site = static_cast<fake::FakeJugem &>(s);
                       auto o = site.options();
                       o.hideFileInput = true;
                       site.setOptions(o);
                     }};

const char kNetwork[] =
    "ネットワークのエラーです。回線が切断されたか繋がりません。";
const char kLoggedError[] =
    "エラーが発生しました。ログを確認してください。m(__)m";

class ServiceFaults : public ServiceRunTest,
                      public ::testing::WithParamInterface<const Service *> {
protected:
  const Service &svc() const { return *GetParam(); }

  void SetUp() override {
    ServiceRunTest::SetUp();
    site = svc().make();
    ASSERT_TRUE(site->start());
    setting(BlogUrl) = QString::fromStdString(site->url(svc().startPath));
    setServiceLoginUrl(svc().service, setting(BlogUrl));
    setting(Password) = "secret";
    setting(CheckUpload) = "1";
    setting(MakeUrlList) = "0";
    setting(TimeOut) = "2";
    svc().settings();
    queueFiles({{"a.jpg", bytesFor(1, 3000)},
                {"b.jpg", bytesFor(2, 4000)},
                {"c.jpg", bytesFor(3, 5000)}});
  }
  void TearDown() override {
    ServiceRunTest::TearDown();
    site->stop();
    site.reset();
  }

  // The run, cut short if a fault leaves it going round for good.
  void run() {
    QElapsedTimer clock;
    clock.start();
    bool cut = false;
    Trigger watchdog([&] { return clock.elapsed() > 60000; },
                     [&] {
                       cut = true;
                       stopRun();
                     });
    startRun();
    ASSERT_FALSE(cut) << "the run did not end";
  }

  // Every "済" was received byte for byte; with `complete`, every received
  // file is marked too.
  void expectQueueTellsTheTruth(bool complete) {
    const auto got = site->uploads();
    for (const ItemRow &r : window()->items()->items()) {
      QByteArray sent;
      for (const auto &f : files)
        if (f.first == r.name)
          sent = f.second;
      bool received = false;
      for (const auto &u : got)
        if (QString::fromStdString(u.filename) == r.name) {
          received = true;
          EXPECT_EQ(QByteArray::fromStdString(u.bytes), sent)
              << r.name.toStdString();
        }
      if (r.done())
        EXPECT_TRUE(received) << r.name.toStdString() << " marked, not there";
      else if (complete)
        EXPECT_FALSE(received) << r.name.toStdString() << " there, not marked";
    }
    // the list file says the same as the grid
    const QStringList lines = listFileLines();
    ASSERT_EQ(lines.size(), window()->items()->itemCount());
    for (int i = 0; i < lines.size(); ++i)
      EXPECT_EQ(lines[i].startsWith("済,"), window()->items()->item(i).done());
  }

  int postsSeen() const {
    int n = 0;
    for (const auto &r : site->requests())
      n += r.method == "POST" && r.path == svc().uploadPath;
    return n;
  }

  bool is(Svc id) const { return svc().id == id; }

  std::unique_ptr<fake::FakeSite> site;
};
} // namespace

// livedoor and Jugem find no way on from the error page and end the pass;
// the repeat pass sends the rest. Ninja goes back a page and tries again;
// whether that page is the form depends on the engine's back-forward cache
// (the page before is itself the answer to a post), so the item is sent
// again either in the same pass or in the repeat pass.
TEST_P(ServiceFaults, ServerErrorOnTheUploadLeavesTheItemPending) {
  LogCapture log;
  Boxes boxes;
  setting(AutoRetry) = "1";
  Trigger on([&] { return log.contains(svc().pressLine); },
             [&] { site->failPath(svc().uploadPath, 500); });
  Trigger off([&] { return log.contains("アップロード確認失敗"); },
              [&] { site->failPath(svc().uploadPath, 0); });
  run();
  EXPECT_TRUE(log.contains("アップロード確認失敗"));
  if (is(Svc::Ninja)) {
    EXPECT_TRUE(log.contains("戻る完了"));
    EXPECT_TRUE(log.contains("リトライします(2)"));
    EXPECT_LE(log.count("ブラウザを開く"), 2);
  } else {
    EXPECT_TRUE(log.contains("リトライしたが失敗"));
    EXPECT_EQ(log.count("ブラウザを開く"), 2);
  }
  EXPECT_EQ(statuses(), QStringList({"済", "済", "済"}));
  EXPECT_EQ(site->uploads().size(), 3u);
  EXPECT_TRUE(boxes.texts.isEmpty());
  expectQueueTellsTheTruth(true);
}

TEST_P(ServiceFaults, RefusedConnectionsEndThePassAndRepeatModeFinishes) {
  LogCapture log;
  Boxes boxes;
  setting(AutoRetry) = "1";
  setting(RetryCount) = "2";
  Trigger down([&] { return window()->items()->item(0).done(); },
               [&] { site->refuse(true); });
  // Down until a later pass has met the refusal too: depending on where
  // the error page is noticed, the pass ends after its retries or at once.
  Trigger up(
      [&] {
        return log.count("リトライしたが失敗") >= 1 || log.count(kNetwork) >= 2;
      },
      [&] { site->refuse(false); });
  run();
  EXPECT_TRUE(log.contains(kNetwork));
  EXPECT_GE(log.count("ブラウザを開く"), 2);
  EXPECT_EQ(statuses(), QStringList({"済", "済", "済"}));
  EXPECT_TRUE(boxes.texts.isEmpty());
  expectQueueTellsTheTruth(true);
}

TEST_P(ServiceFaults, StalledPageTimesOut) {
  LogCapture log;
  Boxes boxes;
  setting(RetryCount) = "2";
  Trigger stall([&] { return window()->items()->item(0).done(); },
                [&] { site->stallPath(svc().uploadPath, 6000); });
  Trigger clear([&] { return log.contains("ﾀｲﾑｱｳﾄ時間を超えました。(Busy)"); },
                [&] { site->stallPath(svc().uploadPath, 0); });
  run();
  EXPECT_TRUE(log.contains("ﾀｲﾑｱｳﾄ時間を超えました。(Busy)"));
  EXPECT_TRUE(log.contains("応答なし1"));
  expectQueueTellsTheTruth(false);
  EXPECT_TRUE(window()->items()->item(0).done());
  if (is(Svc::Jugem)) {
    // The next item goes from the result page; the held post is sent again.
    EXPECT_EQ(statuses(), QStringList({"済", "済", "済"}));
    EXPECT_TRUE(boxes.texts.isEmpty());
  } else {
    // The late page is the form itself, which has no link to follow: the
    // pass ends with its error, as a box or in the log.
    EXPECT_TRUE(log.contains("リトライしたが失敗"));
    EXPECT_EQ(boxes.texts.size(), svc().boxes ? 1 : 0);
    EXPECT_TRUE(log.contains(kLoggedError));
  }
}

TEST_P(ServiceFaults, DroppedUploadConnectionIsNeverMarked) {
  LogCapture log;
  Boxes boxes;
  setting(AutoRetry) = "1";
  Trigger drop([&] { return log.contains("参照ボタン押下"); },
               [&] { site->dropUploadConnection(true); });
  Trigger restore(
      [&] {
        return postsSeen() >= 1 && log.count(svc().pressLine) >= 1 &&
               (log.contains("応答なし1") ||
                log.contains("アップロード確認失敗"));
      },
      [&] { site->dropUploadConnection(false); });
  run();
  EXPECT_TRUE(log.contains("アップロード確認失敗"));
  EXPECT_EQ(log.count("ブラウザを開く"), 2);
  EXPECT_GE(log.count(svc().pressLine), 2);
  EXPECT_EQ(statuses(), QStringList({"済", "済", "済"}));
  EXPECT_TRUE(boxes.texts.isEmpty());
  expectQueueTellsTheTruth(true);
}

TEST_P(ServiceFaults, UploadPageWithoutItsFileInputStopsWithNothingMarked) {
  LogCapture log;
  Boxes boxes;
  svc().hideFileInput(*site);
  run();
  EXPECT_EQ(log.count("参照ボタンが見つかりませんでした"), 3);
  EXPECT_TRUE(log.contains("リトライしたが失敗"));
  if (svc().boxes) {
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].startsWith("エラーが発生しました。"));
  } else {
    EXPECT_TRUE(boxes.texts.isEmpty());
  }
  // Box or not, the log tells the error.
  EXPECT_TRUE(log.contains(kLoggedError));
  EXPECT_EQ(statuses(), QStringList({"", "", ""}));
  EXPECT_TRUE(site->uploads().empty());
  expectQueueTellsTheTruth(true);
}

INSTANTIATE_TEST_SUITE_P(
    Services, ServiceFaults, ::testing::Values(&kLivedoor, &kNinja, &kJugem),
    [](const ::testing::TestParamInfo<const Service *> &p) {
      return std::string(p.param->name);
    });

int main(int argc, char **argv) { return runTestsWithApp(argc, argv); }
