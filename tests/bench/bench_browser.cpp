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
      rows.append({"scan: snapshot of " + std::to_string(count) + " elements",
                   ms,
                   n == 5000    ? 15.0
                   : n == 20000 ? 60.0
                                : 0.0});
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

namespace {
// Queues `items` files in the window and returns the run's time per item
// and the site's serving time per item.
std::pair<double, double> timeRun(MainWindow &window, fake::FakeSite &site,
                                  const QString &tag, int items) {
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
  window.items()->clear();
  window.items()->appendItems(paths, 5);
  const double served0 = site.servedNanoseconds() / 1e6;
  const double total = timeMs([] { startRun(); });
  const double served = site.servedNanoseconds() / 1e6 - served0;
  int done = 0;
  for (const ItemRow &r : window.items()->items())
    done += r.done();
  if (done != items)
    std::fprintf(stderr, "%s run marked %d of %d items\n", qPrintable(tag),
                 done, items);
  return {total / items, served / items};
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
} // namespace

void appendRunRows(QVector<Row> &rows, int runs) {
  const int items = 20;
  // Each item carries fixed pauses the program asks for even with waits 0:
  // the chooser service's first tick (250 ms), its one-second pause after
  // pressing Open, and the 50 ms steps of the zero-second pauses.
  const double fixedPerItem = 250 + 1000 + 50;
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
    const auto [perItem, served] = timeRun(window, fc2, "fc2", items);
    rows.append({"FC2 run, 20 items: total per item", perItem, 0});
    rows.append({"FC2 run: fake site serving per item", served, 0});
    rows.append({"FC2 run: overhead per item (total-serving-1300)",
                 perItem - served - fixedPerItem, 50});

    fastRunSettings(generic.topUrl(), "taro", "himitsu");
    setting(UseCustom) = "1";
    writeTextLines(dataFile(QStringLiteral("Custom.sdr")), script);
    const auto [customPerItem, customServed] =
        timeRun(window, generic, "custom", items);
    rows.append({"custom runner, 20 items: total per item", customPerItem, 0});
    rows.append({"custom runner: overhead per item (same)",
                 customPerItem - customServed - fixedPerItem, 50});
  }
  runHooks() = saved;
}
