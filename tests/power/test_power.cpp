// The power actions against a fake logind on a private bus: this machine is
// never suspended or switched off.
#include "core/runlog.h"
#include "mainwindow/power.h"
#include "privatebus.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

const QString kSuspended = QStringLiteral("サスペンド完了");
const QString kSuspendFailed = QStringLiteral("サスペンド失敗");
const QString kPowerOffFailed = QStringLiteral("シャットダウン失敗");
const QString kCannotAsk =
    QStringLiteral("プロセスに関連づけアクセストークンのオープン失敗");
const QString kNotAvailable =
    QStringLiteral("カルシステムのシャットダウン特権の取得失敗");
const QString kRefused = QStringLiteral("アクセストークンの特権を変更失敗");

// Each case runs one power action; `args` are the fake logind's arguments,
// and without them nobody owns the logind name on the bus. `calls` are the
// method calls as the fake recorded them.
TEST(PowerAction, PermissionAndAnswerDecideTheOutcomeAndTheLog) {
  struct Case {
    bool suspend;
    const char *args;
    QStringList log, calls;
    int result;
  };
  const QStringList suspend{"CanSuspend", "Suspend false"};
  const QStringList powerOff{"CanPowerOff", "PowerOff false"};
  const QStringList can{"CanSuspend"};
  const Case cases[] = {
      // Done only after the wake-up signal, which comes 300 ms later.
      {true, "--resume-delay 300", {kSuspended}, suspend, 1},
      {true, "--can challenge", {kSuspended}, suspend, 1},
      // Switched off without a prompt and without a line.
      {false, "", {}, powerOff, 1},
      {true, "--can no", {kRefused}, can, 0},
      {false, "--can no", {kRefused}, {"CanPowerOff"}, 0},
      {true, "--can na", {kNotAvailable}, can, 0},
      {true, "--fail CanSuspend", {kCannotAsk}, can, 0},
      {true, "--fail Suspend", {kSuspendFailed}, suspend, 0},
      {false, "--fail PowerOff", {kPowerOffFailed}, powerOff, 0},
      // Without logind nothing can have happened, so nothing is done.
      {true, nullptr, {kSuspendFailed}, {}, 0},
      {false, nullptr, {kPowerOffFailed}, {}, 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string(c.args ? c.args : "no logind") +
                 (c.suspend ? " suspend" : " power-off"));
    QProcess fake;
    if (c.args)
      ASSERT_TRUE(startFake(fake, QStringLiteral(FAKE_LOGIN1),
                            QString(c.args).split(' ', Qt::SkipEmptyParts)));
    QStringList log;
    LogSink previous = setLogSink([&log](const QString &m) { log << m; });
    QElapsedTimer clock;
    clock.start();
    const int result = powerAction(c.suspend);
    const qint64 elapsedMs = clock.elapsed();
    setLogSink(std::move(previous));
    fake.terminate();
    fake.waitForFinished(5000);
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(log, c.log);
    EXPECT_EQ(QString::fromUtf8(fake.readAllStandardOutput())
                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts),
              c.calls);
    if (c.args && QByteArray(c.args).startsWith("--resume-delay"))
      EXPECT_GE(elapsedMs, 300) << "reported done before the wake-up signal";
  }
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
