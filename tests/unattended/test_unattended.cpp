// An unattended run as its user meets it, and the command line that a
// timer or cron job starts it with.
#include "privatebus.h"
#include "servicerun.h"

#include "core/itemlist.h"
#include "core/logfile.h"
#include "core/settings.h"
#include "core/textfile.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/rundriver.h"
#include "sites.h"

#include <QtWidgets>

#include <gtest/gtest.h>

namespace {
// Every day file of a logs folder, oldest first.
QString allLogText(const QString &folder) {
  QString text;
  QDir dir(folder);
  for (const QString &name : dir.entryList({"*.log"}, QDir::Files, QDir::Name))
    text += QString::fromUtf8(readFile(dir.filePath(name)));
  return text;
}

// Takes the addresses the program hands to the desktop.
class UrlCatcher : public QObject {
  Q_OBJECT
public:
  QList<QUrl> urls;
public slots:
  void open(const QUrl &url) { urls << url; }
};

TEST(LogFile, LinesWithCrLfEachDayInItsOwnFilePrunedAfterThirtyDays) {
  TempDataFolder data;
  const QDate day(2026, 3, 31);
  appendLogFile(QDateTime(day, QTime(23, 59, 58)), "ブラウザを開く");
  appendLogFile(QDateTime(day, QTime(23, 59, 59)), "一行目\n二行目");
  appendLogFile(QDateTime(day.addDays(1), QTime(0, 0, 1)), "ブラウザを閉じる");
  closeLogFile();
  // A later start appends to the day's file.
  appendLogFile(QDateTime(day.addDays(1), QTime(8, 0, 0)), "再開");
  closeLogFile();
  EXPECT_EQ(readFile(data.file("logs/2026-03-31.log")),
            QStringLiteral("23:59:58 ブラウザを開く\r\n"
                           "23:59:59 一行目\r\n二行目\r\n")
                .toUtf8());
  EXPECT_EQ(readFile(data.file("logs/2026-04-01.log")),
            QStringLiteral("00:00:01 ブラウザを閉じる\r\n08:00:00 再開\r\n")
                .toUtf8());

  const QString logs = data.file("logs");
  for (const char *name : {"2026-11-06.log", "2026-11-07.log", "2025-01-01.log",
                           "2026-12-07.log", "notes.log", "2026-11-01.log.bak"})
    writeFile(logs + "/" + name, "x");
  EXPECT_EQ(pruneLogFiles(logs, QDate(2026, 12, 7)), 4);
  EXPECT_EQ(QDir(logs).entryList(QDir::Files, QDir::Name),
            QStringList({"2026-11-01.log.bak", "2026-11-07.log",
                         "2026-12-07.log", "notes.log"}));
}

TEST_F(ServiceRunTest, StatusBarAndTitleFollowTheRunAndTheSummaryEndsIt) {
  fake::FakeFc2 site;
  ASSERT_TRUE(site.start());
  useFc2Account(QString::fromStdString(site.loginUrl()));
  runHooks().onRunEnd = [](bool good) { window()->runEnded(good); };
  queueFiles({{"earlier.jpg", bytesFor(0, 100)},
              {"a.jpg", bytesFor(1, 3000)},
              {"b.jpg", bytesFor(2, 3000)},
              {"c.jpg", bytesFor(3, 3000)}});
  window()->items()->setStatus(0, kDoneMark); // not part of this run
  QString titleAtStart, atStart, atFirst;
  Trigger start([&] { return !window()->Idle; },
                [&] {
                  titleAtStart = window()->windowTitle();
                  atStart = window()->progressLine();
                });
  Trigger first([&] { return window()->windowTitle() == "Sendora - 1/3"; },
                [&] {
                  atFirst = window()->progressLine();
                  const QString dir = testOutputFolder("screenshots");
                  window()->grab().save(dir + "/frmMain_running.png");
                  window()->statusBar()->grab().save(dir +
                                                     "/StatusBar_running.png");
                });
  startRun();
  runHooks().onRunEnd = nullptr;

  EXPECT_EQ(titleAtStart, "Sendora - 0/3");
  EXPECT_TRUE(atStart.startsWith("1回目  0/3件済  経過 0:00:0"))
      << qPrintable(atStart);
  EXPECT_TRUE(atStart.endsWith("残り 計算中")) << qPrintable(atStart);
  // Two items left at the pace of the first.
  const QRegularExpression shown("^1回目  1/3件済  経過 (\\d+:\\d\\d:\\d\\d)  "
                                 "残り 約(\\d+:\\d\\d:\\d\\d)$");
  const QRegularExpressionMatch m = shown.match(atFirst);
  ASSERT_TRUE(m.hasMatch()) << qPrintable(atFirst);
  auto seconds = [&](int n) {
    return QTime::fromString(m.captured(n), "h:mm:ss").msecsSinceStartOfDay();
  };
  EXPECT_NEAR(seconds(2), 2 * seconds(1), 2000);

  EXPECT_EQ(statuses(), QStringList({"済", "済", "済", "済"}));
  EXPECT_EQ(window()->windowTitle(), "Sendora");
  const QString summary = "実行結果: アップロード 3件  未完了 0件  経過 0:00:";
  EXPECT_TRUE(window()->progressLine().startsWith(summary))
      << qPrintable(window()->progressLine());
  // The summary follows the browser's closing, in the box and, line for
  // line, in the day file.
  const QString box = window()->logText();
  const QRegularExpression end("\\d\\d:\\d\\d:\\d\\d ブラウザを閉じる\r\n"
                               "\\d\\d:\\d\\d:\\d\\d " +
                               summary + "[^\r\n]*$");
  EXPECT_TRUE(end.match(box).hasMatch()) << qPrintable(box);
  EXPECT_EQ(allLogText(data.file("logs")), box.mid(2) + "\r\n");

  // The tools menu opens that folder in the file manager.
  UrlCatcher desktop;
  QDesktopServices::setUrlHandler("file", &desktop, "open");
  window()->findChild<QAction *>("menu_LogFolder")->trigger();
  QDesktopServices::unsetUrlHandler("file");
  EXPECT_EQ(desktop.urls,
            QList<QUrl>({QUrl::fromLocalFile(data.file("logs"))}));
}

// The program as it is installed: a copy in a folder of its own, which is
// then its data folder too.
class CommandLine : public ::testing::Test {
protected:
  // The program and the fake notification service share a private bus.
  static void SetUpTestSuite() {
    static PrivateBus bus;
    static const bool started = bus.start();
    ASSERT_TRUE(started);
    qputenv("DBUS_SESSION_BUS_ADDRESS", bus.address().toUtf8());
  }

  void SetUp() override {
    program = folder.filePath("sendora");
    ASSERT_TRUE(QFile::copy(QCoreApplication::applicationDirPath() + "/sendora",
                            program));
  }

  // Starts the fake blog; settings for a quick run against it, and the
  // queue, whose first `done` items are marked already.
  void prepare(const QStringList &paths, int done = 0) {
    ASSERT_TRUE(site.start());
    setFastSettings(5);
    useFc2Account(QString::fromStdString(site.loginUrl()));
    setting(RetryCount) = "1";
    ASSERT_TRUE(saveSettings(folder.filePath("Sendora.ini")));
    ItemListModel queue;
    queue.appendItems(paths, 5);
    for (int i = 0; i < done; ++i)
      queue.setStatus(i, kDoneMark);
    ASSERT_TRUE(saveItemList(queue, folder.filePath("Default.sdr")));
  }

  // Runs the program; -1 when it had to be killed.
  int run(const QStringList &args, QByteArray *out = nullptr) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(120000)) {
      p.kill();
      p.waitForFinished(5000);
      return -1;
    }
    if (out)
      *out = p.readAllStandardOutput();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  }

  QTemporaryDir folder;
  QString program;
  fake::FakeFc2 site;
};

TEST_F(CommandLine, AnsweredWithoutAWindow) {
  QByteArray out;
  EXPECT_EQ(run({"--version"}, &out), 0);
  EXPECT_EQ(out, "Sendora 0.54\n");
  EXPECT_EQ(run({"--help"}, &out), 0);
  EXPECT_TRUE(out.contains("--quit-when-done")) << out.constData();
  EXPECT_EQ(run({"--bogus"}), 2);
  EXPECT_EQ(run({"--quit-when-done"}), 2); // without a run to wait for
  // Never set up: no dialog waits, and the first start by hand stays one.
  EXPECT_EQ(run({"--run", "--quit-when-done"}), 1);
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"sendora"});
}

TEST_F(CommandLine, ScheduledRunUploadsEverythingNotifiesAndExitsZero) {
  const QString a = writeFile(folder.filePath("up/a.jpg"), "first file");
  const QString b = writeFile(folder.filePath("up/写真.png"), "second file");
  prepare({a, b});
  writeFile(folder.filePath("logs/2000-01-01.log"), "old\r\n");
  QProcess notifications;
  ASSERT_TRUE(startFake(notifications, FAKE_NOTIFICATIONS));

  EXPECT_EQ(run({"--run", "--quit-when-done"}), 0);
  EXPECT_EQ(readTextLines(folder.filePath("Default.sdr")),
            QStringList({"済," + a + ",5", "済," + b + ",5"}));
  EXPECT_EQ(site.storedFiles().size(), 2u);

  const QString logs = allLogText(folder.filePath("logs"));
  EXPECT_FALSE(QFile::exists(folder.filePath("logs/2000-01-01.log")));
  const QRegularExpression summary(
      "\\d\\d:\\d\\d:\\d\\d 実行結果: アップロード 2件  未完了 0件  経過 "
      "\\d+:\\d\\d:\\d\\d\r\n$");
  EXPECT_TRUE(summary.match(logs).hasMatch()) << qPrintable(logs);

  notifications.waitForReadyRead(2000);
  const QStringList got =
      QString::fromUtf8(notifications.readAllStandardOutput())
          .split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(got.size(), 1);
  EXPECT_TRUE(got[0].startsWith("Sendora\tSendora: すべて済\t実行結果: "
                                "アップロード 2件  未完了 0件  経過 "))
      << qPrintable(got[0]);
  notifications.terminate();
  notifications.waitForFinished(5000);
}

// An item that cannot be done, and nobody to answer a box: the run ends on
// its own, says why, and the exit status tells the scheduler.
TEST_F(CommandLine, ItemThatCannotBeDoneEndsTheRunWithStatusOne) {
  site.set("omitResultSpan", true); // uploads are never confirmed
  const QString done = writeFile(folder.filePath("up/done.jpg"), "earlier");
  const QString a = writeFile(folder.filePath("up/a.jpg"), "first file");
  prepare({done, a}, 1);

  // No notification service on the bus: skipped quietly.
  EXPECT_EQ(run({"--run", "--quit-when-done"}), 1);
  EXPECT_EQ(readTextLines(folder.filePath("Default.sdr")),
            QStringList({"済," + done + ",5", "," + a + ",5"}));
  const QString logs = allLogText(folder.filePath("logs"));
  EXPECT_TRUE(logs.contains(" 実行結果: アップロード 0件  未完了 1件  経過 "))
      << qPrintable(logs);
  EXPECT_TRUE(logs.contains(" 未完了: " + a + " (")) << qPrintable(logs);
}
} // namespace

int main(int argc, char **argv) { return runTestsWithApp(argc, argv); }

#include "test_unattended.moc"
