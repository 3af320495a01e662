#include "pagewait.h"

#include "browserwindow.h"
#include "webbrowser.h"

#include "core/runlog.h"
#include "core/runstate.h"
#include "core/settings.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {
qint64 timeoutMs() {
  // A deadline of a negative length never expires: a value that is not a
  // positive number of seconds waits the default time instead.
  const double s = setting(TimeOut).trimmed().toDouble();
  return s > 0 ? qint64(std::min(s, 86400.0) * 1000.0) : 30000;
}

void pumpOnce() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

// The sleep between two polls: `units` as in timerWait, cut short when the
// browser reports a step of its load, so that a wait goes on the moment
// the page is ready rather than at the next poll.
void pollSleep(WebBrowser *browser, int units) {
  QEventLoop loop;
  QTimer timer;
  timer.setTimerType(Qt::PreciseTimer);
  timer.setSingleShot(true);
  QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
  QObject::connect(browser, &WebBrowser::loadStateChanged, &loop,
                   &QEventLoop::quit);
  timer.start(std::max(units / 10, 0));
  loop.exec();
}
} // namespace

int waitOn(WebBrowser *browser, const QString &sMsg, int mode) {
  QPointer<WebBrowser> b(browser);
  bool failed = false;
  const bool lowCpu = isOn(LowCpu);

  // The click before this wait should have loaded a page and started none,
  // or found its element changed: the page waited for is not coming.
  if (b && b->takeClickFailure()) {
    setLog(b->elementChanged()
               ? QStringLiteral("ページが変わったため押下しませんでした")
               : QStringLiteral("ページの読み込みが始まりませんでした"));
    return -1;
  }

  QDeadlineTimer deadline(timeoutMs());
  while (b && b->Busy()) {
    pumpOnce();
    if (StopRequested)
      return 0;
    if (deadline.hasExpired()) {
      setLog(QStringLiteral("ﾀｲﾑｱｳﾄ時間を超えました。(Busy)"));
      return -1;
    }
    if (lowCpu && b && b->Busy())
      pollSleep(b, 50);
  }

  if (isOn(NoWaitComplete))
    mode = 0;
  deadline = QDeadlineTimer(timeoutMs());
  const int wanted = mode != 0 ? 4 : 3;
  while (b && b->ReadyState() < wanted) {
    pumpOnce();
    if (StopRequested)
      return mode != 0 ? -1 : 0;
    if (deadline.hasExpired()) {
      // Not a failure by itself: the page may still be usable.
      setLog(QStringLiteral("ﾀｲﾑｱｳﾄ時間を超えました。(") +
             QString::number(b->ReadyState()) + QStringLiteral(")"));
      break;
    }
    if (lowCpu && b && b->ReadyState() < wanted)
      pollSleep(b, 50);
  }

  if (b && b->documentTitle() == QString::fromUtf8(kServerNotFoundTitle)) {
    setLog(sMsg);
    failed = true;
  }
  return failed ? -1 : 0;
}

int waitBrowser(const QString &sMsg, int mode) {
  return waitOn(frmBrowser()->WebBrowser1, sMsg, mode);
}

int waitBrowser2(const QString &sMsg, int mode) {
  return waitOn(frmBrowser2()->WebBrowser1, sMsg, mode);
}

void pauseSec(double seconds) {
  // A monotonic clock: a pause across midnight still lasts its time. The
  // steps are measured against the pause's end, not counted, so that the
  // small lateness of each 50 ms step does not add up over a long pause;
  // the last step is only as long as what is left, and the pause lasts
  // at least one whole step.
  QElapsedTimer t;
  t.start();
  const double wantedMs = seconds > 0 ? std::min(seconds, 1e9) * 1000.0 : 0.0;
  const qint64 endMs = std::max<qint64>(qint64(std::ceil(wantedMs)), 50);
  do {
    if (StopRequested)
      return;
    const qint64 left = endMs - t.elapsed();
    timerWait(int(std::clamp<qint64>(left, 1, 50)) * 10);
  } while (t.elapsed() < wantedMs);
}

void timerWait(int units) {
  QEventLoop loop;
  QTimer timer;
  timer.setTimerType(Qt::PreciseTimer);
  timer.setSingleShot(true);
  QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
  timer.start(std::max(units / 10, 0));
  loop.exec();
}
