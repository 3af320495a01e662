// Prints how long the program takes for a full queue, a long log and a
// large folder drop, next to the time each may take.
#include "bench.h"

#include "browser/browserwindow.h"
#include "core/additems.h"
#include "core/itemlist.h"
#include "core/logfile.h"
#include "core/paths.h"
#include "core/runlog.h"
#include "core/settings.h"
#include "core/textfile.h"
#include "mainwindow/appsetup.h"
#include "mainwindow/mainwindow.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

namespace {
const int kCount = 10000;

// 100 folders of 100 files each.
bool makeTree(const QString &root) {
  for (int d = 0; d < 100; ++d) {
    const QString folder =
        QStringLiteral("%1/dir%2").arg(root).arg(d, 3, 10, QLatin1Char('0'));
    if (!QDir().mkpath(folder))
      return false;
    for (int f = 0; f < 100; ++f) {
      QFile file(QStringLiteral("%1/img%2.jpg").arg(folder).arg(f));
      if (!file.open(QIODevice::WriteOnly))
        return false;
    }
  }
  return true;
}

// The figures that need no browser, one sample each.
void measureCore(QVector<Row> &rows, const QString &tree) {
  {
    ItemListModel model;
    QStringList paths;
    for (int i = 0; i < kCount; ++i)
      paths << QStringLiteral("/home/user/写真/2024/img%1.jpg").arg(i);
    model.appendItems(paths, 5);
    ItemListModel back;
    const QString file = dataFile(QStringLiteral("Default.sdr"));
    const double ms = timeMs([&]() {
      saveItemList(model, file);
      loadItemList(back, file);
    });
    if (back.itemCount() != kCount)
      std::fprintf(stderr, "list round trip lost items\n");
    rows.append({"list file: save + load of 10,000 items", ms, 100});
    const double sortMs = timeMs([&]() { back.sortByHeader(ColName); });
    rows.append({"list: sort of 10,000 items by name", sortMs, 100});
  }

  {
    MainWindow window;
    window.loadWindow();
    QCoreApplication::processEvents();
    const double ms = timeMs([&]() {
      for (int i = 0; i < kCount; ++i)
        setLog(QStringLiteral("ファイル選択ダイアログ検索 %1").arg(i));
      QCoreApplication::processEvents();
    });
    rows.append({"run log: 10,000 setLog calls, box and day file", ms, 250});
    const int fileLines =
        readTextLines(logFilePath(logFolder(), QDate::currentDate())).size();
    if (fileLines < kCount)
      std::fprintf(stderr, "the day's log file holds %d lines\n", fileLines);

    window.clearList(); // the list file of the first measurement was loaded
    const double dropMs = timeMs([&]() { window.dropPaths({tree}); });
    if (window.items()->itemCount() != kCount)
      std::fprintf(stderr, "drop added %d items\n",
                   window.items()->itemCount());
    rows.append(
        {"drop onto the grid: folder tree of 10,000 files", dropMs, 1000});
  }

  {
    int total = 0;
    QStringList added;
    const double ms = timeMs([&]() {
      addDroppedPaths({tree}, total, kItemLimit,
                      [&](const QString &p) { added << p; });
    });
    if (added.size() != kCount)
      std::fprintf(stderr, "expansion found %d files\n", int(added.size()));
    rows.append({"expansion alone: folder tree of 10,000 files", ms, 1000});
  }
}

// The median of each figure's samples, in the order figures first appear.
bool printTable(const QVector<Row> &rows) {
  std::vector<std::string> order;
  std::map<std::string, std::vector<double>> samples;
  std::map<std::string, double> targets;
  for (const Row &r : rows) {
    if (!samples.count(r.what))
      order.push_back(r.what);
    samples[r.what].push_back(r.ms);
    targets[r.what] = r.targetMs;
  }
  std::printf("%-60s %9s %4s %8s %6s\n", "measurement (median)", "ms", "runs",
              "target", "ratio");
  bool allMet = true;
  for (const std::string &what : order) {
    std::vector<double> &v = samples[what];
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    const double median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    const double target = targets[what];
    if (target <= 0) {
      std::printf("%-60s %9.1f %4zu %8s\n", what.c_str(), median, n, "-");
      continue;
    }
    const bool met = median <= target;
    allMet = allMet && met;
    std::printf("%-60s %9.1f %4zu %8.0f %6.2f  %s\n", what.c_str(), median, n,
                target, median / target, met ? "ok" : "TOO SLOW");
  }
  return allMet;
}
} // namespace

// sendora_bench [--runs N] [core|scan|run ...]: N samples of each figure
// (default 5); names limit the groups measured.
int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  prepareEnvironment();
  QApplication app(argc, argv);
  setProgramFolder(QCoreApplication::applicationDirPath());
  QTemporaryDir temp;
  if (!temp.isValid()) {
    std::fprintf(stderr, "no temporary folder\n");
    return 1;
  }
  setDataFolder(temp.filePath(QStringLiteral("data")));
  QDir().mkpath(dataFolder());
  clearSettings();
  QVector<Row> rows;
  int runs = 5;
  QStringList groups;
  for (int i = 1; i < argc; ++i) {
    if (QByteArray(argv[i]) == "--runs" && i + 1 < argc)
      runs = std::max(1, atoi(argv[++i]));
    else
      groups << QString::fromLocal8Bit(argv[i]);
  }
  auto wanted = [&](const char *g) {
    return groups.isEmpty() || groups.contains(QLatin1String(g));
  };

  const QString tree = temp.filePath(QStringLiteral("tree"));
  if (!makeTree(tree)) {
    std::fprintf(stderr, "could not create the folder tree\n");
    return 1;
  }

  for (int run = 0; run < runs && wanted("core"); ++run)
    measureCore(rows, tree);
  if (wanted("scan"))
    appendBrowserRows(rows, runs);
  if (wanted("run"))
    appendRunRows(rows, runs);
  deleteBrowserWindows();
  // Other programs on the machine sway the figures: say how busy it was.
  QFile load(QStringLiteral("/proc/loadavg"));
  if (load.open(QIODevice::ReadOnly))
    std::printf("load average at the end: %s", load.readAll().constData());
  return printTable(rows) ? 0 : 1;
}
