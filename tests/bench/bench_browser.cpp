// The browser side of the benchmark: scanning large pages, and the time a
// run spends per item beside the time the fake site spent serving it.
#include "bench.h"

#include "browser/browserwindow.h"
#include "browser/pagewait.h"
#include "browser/webbrowser.h"
#include "core/itemlist.h"
#include "core/paths.h"
#include "core/runstate.h"
#include "core/services.h"
#include "core/settings.h"
#include "core/textfile.h"
#include "fakefc2.h"
#include "fakegeneric.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/rundriver.h"
#include "scripts/customscript.h"
#include "scripts/pagescan.h"

#include <QDir>
#include <QFile>

#include <cstdio>

namespace {
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
} // namespace

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
  QStringList script = {"a\t3\tサインイン\t1\t",
                        "input\t1\tuser_id\t2\ttaro",
                        "input\t1\tuser_pw\t2\thimitsu",
                        "input\t2\tログイン\t1\t",
                        "\t0\t\t0\t",
                        "a\t3\tファイル管理\t1\t",
                        "a\t3\t新規アップロード\t1\t",
                        "\t0\t\t0\t",
                        "input\t1\tupload_file\t3\t"};
  while (script.size() < 15)
    script << "\t0\t\t0\t";
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
