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
  // Every queued file received byte for byte (fake::Upload records) and
  // marked "済".
  template <class Uploads>
  void expectAllReceivedAndMarked(const Uploads &uploads) {
    std::map<QString, QByteArray> got;
    for (const auto &u : uploads)
      got[QString::fromStdString(u.filename)] =
          QByteArray::fromStdString(u.bytes);
    ASSERT_EQ(got.size(), files.size());
    for (const auto &f : files)
      EXPECT_EQ(got[f.first], f.second) << f.first.toStdString();
    EXPECT_EQ(statuses(), QStringList(int(files.size()), "済"));
  }

  TempDataFolder data;
  std::vector<std::pair<QString, QByteArray>> files;

private:
  ModalWatchdog watchdog_;
};
