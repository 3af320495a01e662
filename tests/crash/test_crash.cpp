// Killed at any moment, the program leaves its files whole: the list file
// always parses to the same queue, and an item marked "済" was received by
// the blog; the day log file holds every line shown; the settings file is
// always a complete old or new version.
#include "testsupport.h"

#include "core/itemlist.h"
#include "core/textfile.h"
#include "sites.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <random>

namespace {
// The log lines the child showed (it prints each) are the first lines of
// its day file, in order and whole: the file is written before the box.
void expectShownLinesInTheLogFile(QProcess &p, const QString &logs) {
  QStringList shown = QString::fromUtf8(p.readAllStandardOutput())
                          .split('\n', Qt::SkipEmptyParts);
  shown.removeAll("finished");
  QByteArray bytes;
  QDir dir(logs);
  for (const QString &name : dir.entryList(QDir::Files, QDir::Name))
    bytes += readFile(dir.filePath(name));
  EXPECT_TRUE(bytes.isEmpty() || bytes.endsWith("\r\n")) << "a line cut short";
  QStringList written;
  for (QString line : QString::fromUtf8(bytes).split("\r\n"))
    written << line.remove(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d "));
  EXPECT_EQ(written.mid(0, shown.size()), shown);
  QDir(logs).removeRecursively();
}

// Runs the child in `mode` on the test's data folder and kills it after
// `ms` unless it ended by then.
void runAndKill(QProcess &p, const TempDataFolder &data, const QString &mode,
                int ms, const std::string &blog = {}) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("SENDORA_DATA", data.path());
  env.insert("SENDORA_BLOG", QString::fromStdString(blog));
  env.insert("QT_QPA_PLATFORM", "offscreen");
  p.setProcessEnvironment(env);
  p.start(QCoreApplication::applicationDirPath() + "/crash_child", {mode});
  ASSERT_TRUE(p.waitForStarted());
  p.waitForFinished(ms);
  if (p.state() != QProcess::NotRunning) {
    p.kill(); // SIGKILL: no handler, no clean-up
    p.waitForFinished(5000);
  }
}
} // namespace

TEST(Crash, KilledRunsNeverLoseOrInventUploads) {
  TempDataFolder data;
  fake::FakeFc2 site;
  ASSERT_TRUE(site.start());
  const int n = 6;
  QStringList paths;
  for (int i = 0; i < n; ++i)
    paths << writeFile(data.file(QString("up/f%1.jpg").arg(i)),
                       QByteArray(3000 + i, char('a' + i)));
  {
    ItemListModel m;
    m.appendItems(paths, 5);
    ASSERT_TRUE(saveItemList(m, data.file("Default.sdr")));
  }
  std::mt19937 rng(42);
  std::uniform_int_distribution<int> when(500, 6000);
  bool finished = false;
  for (int round = 0; round < 12 && !finished; ++round) {
    QProcess p;
    runAndKill(p, data, "run", round < 8 ? when(rng) : 120000, site.loginUrl());
    finished = p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    expectShownLinesInTheLogFile(p, data.file("logs"));

    ItemListModel m;
    ASSERT_TRUE(loadItemList(m, data.file("Default.sdr")));
    ASSERT_EQ(m.itemCount(), n) << "round " << round;
    const auto stored = site.storedFiles();
    for (const ItemRow &r : m.items()) {
      ASSERT_TRUE(r.status.isEmpty() || r.done()) << r.status.toStdString();
      if (r.done())
        ASSERT_TRUE(stored.count(r.name.toStdString()))
            << r.name.toStdString() << " marked but never received";
    }
    if (finished)
      EXPECT_TRUE(m.allDone());
  }
  ASSERT_TRUE(finished);
}

TEST(Crash, KilledSettingsSavesLeaveAWholeFile) {
  TempDataFolder data;
  std::mt19937 rng(9);
  std::uniform_int_distribution<int> when(200, 900);
  for (int round = 0; round < 6; ++round) {
    QProcess p;
    runAndKill(p, data, "ini", when(rng));
    const QStringList lines = readTextLines(data.file("Sendora.ini"));
    if (lines.isEmpty())
      continue; // killed before the first save finished
    ASSERT_EQ(lines.size(), 45) << "round " << round;
    // the two values written together belong to the same save
    ASSERT_TRUE(lines[8].endsWith(lines[20])) << "round " << round;
    ASSERT_EQ(QFileInfo(data.file("Sendora.ini")).permissions() & 0x0077, 0);
  }
}

int main(int argc, char **argv) { return runTestsWithApp(argc, argv); }
