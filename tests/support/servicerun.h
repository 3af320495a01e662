// A fixture for running a service script end to end through the real main
// window: one window for the whole test program, a fresh data folder and
// fast settings per test, and files to queue.
#pragma once
#include "testsupport.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

class MainWindow;

class ServiceRunTest : public ::testing::Test {
protected:
  static MainWindow *window();
  static void TearDownTestSuite();

  void SetUp() override;
  void TearDown() override;

  // Writes the files under the data folder's "up/" and queues them.
  void queueFiles(const std::vector<std::pair<QString, QByteArray>> &files);
  // Two files, the second with a Japanese name; queued.
  void queueTwoFiles();
  QStringList statuses() const;
  QStringList listFileLines() const;
  QStringList urlListLines() const;
  static QByteArray bytesFor(int seed, int size);
  // Received uploads by file name, from fake::Upload records.
  template <class Uploads>
  static std::map<QString, QByteArray> byName(const Uploads &uploads) {
    std::map<QString, QByteArray> out;
    for (const auto &u : uploads)
      out[QString::fromStdString(u.filename)] =
          QByteArray::fromStdString(u.bytes);
    return out;
  }

  TempDataFolder data;
  std::vector<std::pair<QString, QByteArray>> files;

private:
  ModalWatchdog watchdog_;
};
