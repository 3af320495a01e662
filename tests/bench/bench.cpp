// Prints how long the program takes for a full queue, a long log, a large
// folder drop, scans of large pages and whole runs, next to the time each
// may take: run by hand, not part of the test suite.
#include "browser/browserwindow.h"
#include "browser/pagewait.h"
#include "browser/webbrowser.h"
#include "core/additems.h"
#include "core/itemlist.h"
#include "core/logfile.h"
#include "core/paths.h"
#include "core/runlog.h"
#include "core/runstate.h"
#include "core/services.h"
#include "core/settings.h"
#include "core/textfile.h"
#include "mainwindow/appsetup.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/rundriver.h"
#include "scripts/customscript.h"
#include "scripts/pagescan.h"
#include "sites.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {
// One sample of a figure; the table shows the median of a figure's samples.
struct Row {
  std::string what;
  double ms;
  double targetMs; // 0: no target, shown for comparison
};

double timeMs(const std::function<void()> &work) {
  QElapsedTimer t;
  t.start();
  work();
  return t.nsecsElapsed() / 1e6;
}

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

// /N: a page of about N elements, paragraphs, links and inputs.
class BigPage : public fake::FakeSite {
public:
  BigPage() : FakeSite("big.localhost") {
    addPages({{"GET", R"(/(\d+))", "big", fake::Gate::Open, [](fake::Visit &v) {
                 std::string body;
                 for (int i = 0; i < std::stoi(v.arg()) / 3; ++i)
                   body += "<p>item " + std::to_string(i) +
                           "<a href='#'>link</a><input name='f" +
                           std::to_string(i) + "'></p>";
                 return body + "<input name='target' value='x'>";
               }}});
  }
  ~BigPage() override { stop(); }
};

const QVector<Target> kTargets{
    {"input", "Name", Match::Exact, "target"},
    {"a", "innerText", Match::Exact, "never"},
};
// What one timed run gives: per item, the whole run, the site's serving,
// and the time from one item's mark to the next (the run's own start and
// end, the window and the login, left out).
struct RunTimes {
  double perItem = 0, served = 0, cycle = 0;
};

RunTimes timeRun(MainWindow &window, fake::FakeSite &site, const QString &tag,
                 int items) {
  const QString folder = dataFile(QStringLiteral("bench-") + tag);
  QDir().mkpath(folder);
  QStringList paths;
  for (int i = 0; i < items; ++i) {
    const QString p = QStringLiteral("%1/file%2.jpg").arg(folder).arg(i);
    QFile f(p);
    f.open(QIODevice::WriteOnly);
    f.write(QByteArray(20000, char(i)));
    paths << p;
  }
  ItemListModel *list = window.items();
  list->clear();
  list->appendItems(paths, 5);
  QVector<qint64> marks;
  QElapsedTimer clock;
  const auto watch = QObject::connect(list, &ItemListModel::dataChanged,
                                      [&](const QModelIndex &from) {
                                        if (list->item(from.row()).done())
                                          marks << clock.nsecsElapsed();
                                      });
  const double served0 = site.servedNanoseconds() / 1e6;
  clock.start();
  const double total = timeMs([] { startRun(); });
  QObject::disconnect(watch);
  RunTimes t;
  t.perItem = total / items;
  t.served = (site.servedNanoseconds() / 1e6 - served0) / items;
  if (marks.size() > 1)
    t.cycle = (marks.last() - marks.first()) / 1e6 / (marks.size() - 1);
  if (marks.size() != items)
    std::fprintf(stderr, "%s run marked %d of %d items\n", qPrintable(tag),
                 int(marks.size()), items);
  return t;
}

// Settings for a run that measures the program, not the waits it is told
// to make.
void fastRunSettings(const std::string &blog, const char *user,
                     const char *password) {
  clearSettings();
  setting(BlogUrl) = QString::fromStdString(blog);
  setting(UserId) = user;
  setting(Password) = password;
  setting(TimeOut) = "30";
  setting(RetryCount) = "3";
  setting(DlgTitle) = QString::fromUtf8(kFileChooserCaption);
  setting(CheckUpload) = "1";
  setting(LowCpu) = "1";
  for (SettingId w : {LoginWait, UpPageWait, UpLoadWait})
    setting(w) = "0";
  setting(UseConfirmPress) = "0";
  setting(ShowAd) = "0";
}

// Each item carries fixed pauses the program asks for even with waits 0:
// the chooser service's first tick (250 ms), its one-second pause after
// pressing Open, and the 50 ms step of the zero-second pause after the
// submit; from one mark to the next also the 5 ms before it looks for the
// chooser. The first overhead spreads the run's own costs (window, login,
// their pauses) over the items, as it always has; the second is one
// item's cycle alone.
void addRunRows(QVector<Row> &rows, const std::string &name, const RunTimes &t,
                int items) {
  const double fixedPerItem = 250 + 1000 + 50;
  rows.append({name + ", 20 items: total per item", t.perItem, 0});
  rows.append({name + ": fake site serving per item", t.served, 0});
  rows.append({name + ": overhead per item (total-serving-1300)",
               t.perItem - t.served - fixedPerItem, 50});
  rows.append({name + ": overhead, mark to mark (cycle-serving-1305)",
               t.cycle - t.served - fixedPerItem - 5, 50});
  rows.append({name + ": start and end of the run (total-20 cycles)",
               (t.perItem - t.cycle) * items, 0});
}

// Snapshot scans of large pages against element-by-element reading, each
// scan the first one after the page loaded.
void appendBrowserRows(QVector<Row> &rows, int runs) {
  BigPage page;
  if (!page.start())
    return;
  setting(TimeOut) = "30";
  StopRequested = false;
  WebBrowser *b = frmBrowser()->WebBrowser1;
  const QStringList props = scanProperties(kTargets);
  for (int n : {1000, 5000, 20000}) {
    for (int run = 0; run < runs; ++run) {
      b->Navigate(QString::fromStdString(page.url("/" + std::to_string(n))));
      waitBrowser(QStringLiteral("net"), 1);
      const int count = b->elementCount();
      ScanResult found;
      const double ms = timeMs([&] {
        found = scanSnapshot(
            b->snapshot(props, scanTags(kTargets), scanTagProperties(kTargets)),
            props, kTargets);
      });
      if (!found.found(0))
        std::fprintf(stderr, "scan missed its target\n");
      const double target = n == 5000 ? 15 : n == 20000 ? 60 : 0;
      rows.append({"scan: snapshot of " + std::to_string(count) + " elements",
                   ms, target});
      if (n == 5000 && run == 0) {
        // Seconds each time, so measured once.
        const double slow = timeMs([&] {
          for (int i = 0; i < count; ++i) {
            const QString tag = b->getProperty(i, QStringLiteral("nodename"));
            if (tag == QLatin1String("INPUT"))
              b->getProperty(i, QStringLiteral("Name"));
          }
        });
        rows.append(
            {"scan: same page, one script call per element (once)", slow, 0});
      }
    }
  }
  unloadBrowser();
  StopRequested = true;
}

void appendRunRows(QVector<Row> &rows, int runs) {
  const int items = 20;
  // The custom runner: sign in, log in, two links to the form, the file,
  // the submit.
  QStringList script(15, QStringLiteral("\t0\t\t0\t"));
  script[0] = "a\t3\tサインイン\t1\t";
  script[1] = "input\t1\tuser_id\t2\ttaro";
  script[2] = "input\t1\tuser_pw\t2\thimitsu";
  script[3] = "input\t2\tログイン\t1\t";
  script[5] = "a\t3\tファイル管理\t1\t";
  script[6] = "a\t3\t新規アップロード\t1\t";
  script[8] = "input\t1\tupload_file\t3\t";
  script << "input\t2\t送信する\t1\t"
         << "\t0\t\t\t";
  MainWindow window;
  window.loadWindow();
  const RunHooks saved = runHooks();
  runHooks().customScript = runCustomScript;
  // Fresh sites each run: a site keeps its sessions, and a run that finds
  // itself logged in already takes another path.
  for (int run = 0; run < runs; ++run) {
    fake::FakeFc2 fc2;
    fake::FakeGeneric generic;
    if (!fc2.start() || !generic.start())
      break;
    fastRunSettings(fc2.loginUrl(), "user@example.com", "secret");
    setServiceLoginUrl(SvcFc2, setting(BlogUrl));
    addRunRows(rows, "FC2 run", timeRun(window, fc2, "fc2", items), items);
    fastRunSettings(generic.topUrl(), "taro", "himitsu");
    setting(UseCustom) = "1";
    writeTextLines(dataFile(QStringLiteral("Custom.sdr")), script);
    addRunRows(rows, "custom runner", timeRun(window, generic, "custom", items),
               items);
  }
  runHooks() = saved;
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
