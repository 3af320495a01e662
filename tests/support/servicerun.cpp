#include "servicerun.h"

#include "core/itemlist.h"
#include "core/runstate.h"
#include "core/textfile.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/rundriver.h"

namespace {
MainWindow *shared = nullptr;
} // namespace

MainWindow *ServiceRunTest::window() {
  if (!shared) {
    shared = new MainWindow;
    shared->loadWindow();
    // A script's tests read the log up to the browser's closing; the
    // summary after it has tests of its own.
    runHooks().onRunEnd = nullptr;
  }
  return shared;
}

void ServiceRunTest::TearDownTestSuite() {
  StopRequested = true;
  delete shared;
  shared = nullptr;
}

void ServiceRunTest::SetUp() {
  setFastSettings(5);
  window()->items()->clear();
  files.clear();
}

void ServiceRunTest::TearDown() { StopRequested = true; }

void ServiceRunTest::queueFiles(
    const std::vector<std::pair<QString, QByteArray>> &list) {
  QStringList paths;
  for (const auto &f : list) {
    paths << writeFile(data.file("up/" + f.first), f.second);
    files.push_back(f);
  }
  window()->items()->appendItems(paths, 5);
}

void ServiceRunTest::queueTwoFiles() {
  queueFiles({{"first.jpg", bytesFor(1, 5000)},
              {"日本語の写真.png", bytesFor(2, 12000)}});
}

QStringList ServiceRunTest::statuses() const {
  QStringList s;
  for (const ItemRow &r : window()->items()->items())
    s << r.status;
  return s;
}

QStringList ServiceRunTest::listFileLines() const {
  return readTextLines(data.file("Default.sdr"));
}

QStringList ServiceRunTest::urlListLines() const {
  return readTextLines(data.file("UrlList.txt"));
}

QByteArray ServiceRunTest::bytesFor(int seed, int size) {
  QByteArray b;
  b.reserve(size);
  for (int i = 0; i < size; ++i)
    b += char((i * 131 + seed * 7) % 256);
  return b;
}
