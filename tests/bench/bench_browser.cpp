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
#include "fakefc2.h"
#include "fakesite.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/rundriver.h"
#include "scripts/pagescan.h"

#include <QDir>
#include <QFile>

#include <cstdio>

namespace {
class BigPage : public fake::FakeSite {
public:
  BigPage() : FakeSite("big.localhost") {
    server().Get(R"(/(\d+))",
                 [](const httplib::Request &req, httplib::Response &res) {
                   const int n = std::stoi(req.matches[1].str());
                   std::string body;
                   // About n elements: paragraphs, links and inputs.
                   for (int i = 0; i < n / 3; ++i)
                     body += "<p>item " + std::to_string(i) +
                             "<a href='#'>link</a><input name='f" +
                             std::to_string(i) + "'></p>";
                   body += "<input name='target' value='x'>";
                   html(res, "big", body);
                 });
  }
  ~BigPage() override { stop(); }
};

const QVector<Target> kTargets{
    {"input", "Name", Match::Exact, "target"},
    {"a", "innerText", Match::Exact, "never"},
};
} // namespace

void appendBrowserRows(QVector<Row> &rows) {
  BigPage page;
  if (!page.start())
    return;
  setting(TimeOut) = "30";
  StopRequested = false;
  WebBrowser *b = frmBrowser()->WebBrowser1;
  const QStringList props = scanProperties(kTargets);
  for (int n : {1000, 5000, 20000}) {
    b->Navigate(QString::fromStdString(page.url("/" + std::to_string(n))));
    waitBrowser(QStringLiteral("net"), 1);
    const int count = b->elementCount();
    ScanResult found;
    const double ms = timeMs([&] {
      found =
          scanSnapshot(b->snapshot(props, scanTags(kTargets)), props, kTargets);
    });
    if (!found.found(0))
      std::fprintf(stderr, "scan missed its target\n");
    rows.append({"scan: snapshot of " + std::to_string(count) + " elements", ms,
                 n == 5000 ? 20.0 : 0.0});
    if (n == 5000) {
      const double slow = timeMs([&] {
        for (int i = 0; i < count; ++i) {
          const QString tag = b->getProperty(i, QStringLiteral("nodename"));
          if (tag == QLatin1String("INPUT"))
            b->getProperty(i, QStringLiteral("Name"));
        }
      });
      rows.append({"scan: same page, one script call per element", slow, 0});
    }
  }
  unloadBrowser();
  StopRequested = true;
}

void appendRunRows(QVector<Row> &rows) {
  const int items = 20;
  fake::FakeFc2 site;
  if (!site.start())
    return;
  MainWindow window;
  window.loadWindow();
  clearSettings();
  setting(TimeOut) = "30";
  setting(RetryCount) = "3";
  setting(DlgTitle) = QString::fromUtf8(kFileChooserCaption);
  setting(CheckUpload) = "1";
  setting(LowCpu) = "1";
  for (SettingId w : {LoginWait, UpPageWait, UpLoadWait})
    setting(w) = "0";
  setting(BlogUrl) = QString::fromStdString(site.loginUrl());
  setServiceLoginUrl(SvcFc2, setting(BlogUrl));
  setting(UserId) = "user@example.com";
  setting(Password) = "secret";
  setting(UseConfirmPress) = "0";
  setting(ShowAd) = "0";
  const QString folder = dataFile(QStringLiteral("bench-up"));
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

  const double total = timeMs([] { startRun(); });
  const double served = site.servedNanoseconds() / 1e6;
  int done = 0;
  for (const ItemRow &r : window.items()->items())
    done += r.done();
  if (done != items)
    std::fprintf(stderr, "run marked %d of %d items\n", done, items);
  // Each item carries fixed pauses the scripts ask for even with waits 0:
  // the chooser service's first tick (250 ms), its one-second pause after
  // pressing Open, and the 50 ms steps of the zero-second pauses.
  const double fixedPerItem = 250 + 1000 + 50;
  rows.append({"FC2 run, 20 items: total per item", total / items, 0});
  rows.append({"FC2 run: fake site serving per item", served / items, 0});
  rows.append(
      {"FC2 run: fixed pauses per item (250+1000+50)", fixedPerItem, 0});
  rows.append({"FC2 run: automation overhead per item",
               total / items - served / items - fixedPerItem, 100});
}
