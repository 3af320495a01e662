// The power actions against a fake logind on a private bus: this machine is
// never suspended or switched off.
#include "core/runlog.h"
#include "mainwindow/power.h"
#include "privatebus.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>

namespace {

const QString kDone = QStringLiteral("サスペンド完了");
const QString kSuspendFailed = QStringLiteral("サスペンド失敗");
const QString kPowerOffFailed = QStringLiteral("シャットダウン失敗");
const QString kCannotAsk =
    QStringLiteral("プロセスに関連づけアクセストークンのオープン失敗");
const QString kNotAvailable =
    QStringLiteral("カルシステムのシャットダウン特権の取得失敗");
const QString kRefused = QStringLiteral("アクセストークンの特権を変更失敗");

struct Outcome {
  int result = -1;
  QStringList log;
  QStringList calls; // as the fake logind recorded them
  qint64 elapsedMs = 0;
};

// Runs one power action; fakeArgs configures the fake logind, and without
// them nobody owns the logind name on the bus.
Outcome run(bool suspend, std::optional<QStringList> fakeArgs) {
  Outcome out;
  QProcess fake;
  if (fakeArgs && !startFake(fake, QStringLiteral(FAKE_LOGIN1), *fakeArgs)) {
    ADD_FAILURE() << "fake logind did not come up";
    return out;
  }

  LogSink previous = setLogSink([&out](const QString &m) { out.log << m; });
  QElapsedTimer clock;
  clock.start();
  out.result = powerAction(suspend);
  out.elapsedMs = clock.elapsed();
  setLogSink(std::move(previous));

  if (fakeArgs) {
    fake.terminate();
    fake.waitForFinished(5000);
    out.calls = QString::fromUtf8(fake.readAllStandardOutput())
                    .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  }
  return out;
}

TEST(PowerAction, SuspendReportsDoneOnlyAfterWakeUp) {
  Outcome o = run(true, QStringList{"--resume-delay", "300"});
  EXPECT_EQ(o.calls, (QStringList{"CanSuspend", "Suspend false"}));
  EXPECT_EQ(o.log, QStringList{kDone});
  EXPECT_GE(o.elapsedMs, 300) << "reported done before the wake-up signal";
  EXPECT_EQ(o.result, 1);
}

TEST(PowerAction, PowerOffIsRequestedWithoutPromptAndLogsNothing) {
  Outcome o = run(false, QStringList{});
  EXPECT_EQ(o.calls, (QStringList{"CanPowerOff", "PowerOff false"}));
  EXPECT_TRUE(o.log.isEmpty()) << o.log.join(' ').toStdString();
  EXPECT_EQ(o.result, 1);
}

TEST(PowerAction, PermissionAnswerDecidesWhetherToGoOn) {
  struct Case {
    bool suspend;
    QStringList fakeArgs;
    QStringList log;
    QStringList calls;
  };
  const Case cases[] = {
      {true, {"--can", "challenge"}, {kDone}, {"CanSuspend", "Suspend false"}},
      {true, {"--can", "no"}, {kRefused}, {"CanSuspend"}},
      {true, {"--can", "na"}, {kNotAvailable}, {"CanSuspend"}},
      {true, {"--fail", "CanSuspend"}, {kCannotAsk}, {"CanSuspend"}},
      {false, {"--can", "no"}, {kRefused}, {"CanPowerOff"}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.fakeArgs.join(' ').toStdString() +
                 (c.suspend ? " suspend" : " power-off"));
    Outcome o = run(c.suspend, c.fakeArgs);
    EXPECT_EQ(o.log, c.log);
    EXPECT_EQ(o.calls, c.calls);
  }
}

TEST(PowerAction, RefusedRequestIsReportedAsFailure) {
  Outcome s = run(true, QStringList{"--fail", "Suspend"});
  EXPECT_EQ(s.calls, (QStringList{"CanSuspend", "Suspend false"}));
  EXPECT_EQ(s.log, QStringList{kSuspendFailed});
  EXPECT_EQ(s.result, 0);

  Outcome p = run(false, QStringList{"--fail", "PowerOff"});
  EXPECT_EQ(p.log, QStringList{kPowerOffFailed});
  EXPECT_EQ(p.result, 0);
}

// Without logind nothing can have happened, so nothing is reported as done.
TEST(PowerAction, WithoutLogindFailureIsReported) {
  EXPECT_EQ(run(true, std::nullopt).log, QStringList{kSuspendFailed});
  EXPECT_EQ(run(false, std::nullopt).log, QStringList{kPowerOffFailed});
}

} // namespace

int main(int argc, char **argv) {
  // Whatever happens below, the real system bus must stay out of reach.
  qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/sendora-no-bus");
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);

  PrivateBus bus;
  if (!bus.start())
    return 1;
  qputenv("DBUS_SYSTEM_BUS_ADDRESS", bus.address().toUtf8());
  return RUN_ALL_TESTS();
}
