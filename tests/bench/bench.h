// Shared pieces of the benchmark table.
#pragma once
#include <QElapsedTimer>
#include <QVector>

#include <functional>
#include <string>

// One sample of a figure; the table shows the median of a figure's samples.
struct Row {
  std::string what;
  double ms;
  double targetMs; // 0: no target, shown for comparison
};

inline double timeMs(const std::function<void()> &work) {
  QElapsedTimer t;
  t.start();
  work();
  return t.nsecsElapsed() / 1e6;
}

// Snapshot scans of large pages against element-by-element reading, each
// scan the first one after the page loaded.
void appendBrowserRows(QVector<Row> &rows, int runs);
// Whole runs with waits 0: the automation's own time per item.
void appendRunRows(QVector<Row> &rows, int runs);
