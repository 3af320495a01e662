// The run log: one writer, many callers. The main window installs the sink
// that appends to its log box (and the day's log file); tests install their
// own to capture lines. Beside it, the texts that tell how far a run is and
// what it did.
#pragma once
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

using LogSink = std::function<void(const QString &)>;

// Appends one entry to the run log (the installed sink decides where).
void setLog(const QString &sMsg);

// Replaces the sink; returns the previous one so a caller can restore it.
LogSink setLogSink(LogSink sink);

// How far a run is.
struct RunProgress {
  int pass = 0;         // 1 for the first pass
  int marked = 0;       // items marked done since the run began
  int queued = 0;       // items that were not done when it began, and later
                        // additions
  qint64 elapsedMs = 0; // since the run began
};

// "h:mm:ss", hours not limited to a day.
QString durationText(qint64 ms);

// The time the rest of the queue takes at the pace of the items marked so
// far; -1 while none is marked.
qint64 estimateLeftMs(const RunProgress &p);

// The status bar during a run: pass, marked of queued, elapsed, time left.
QString progressText(const RunProgress &p);

// "12/120": the count the window title carries during a run.
QString progressCount(const RunProgress &p);

// An item the run left unmarked, and why.
struct LeftItem {
  QString path;
  QString reason;
};

// The summary written to the log at the end of a run: the count line,
// then one line per item left unmarked.
QStringList runSummaryLines(int uploaded, const QVector<LeftItem> &left,
                            qint64 elapsedMs);

// The reason given for an item that nothing gave up on: the run ended
// before it came to it.
QString notReachedText();
