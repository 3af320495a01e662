#include "confirmpress.h"

#include "browserwindow.h"
#include "webbrowser.h"
#include "x11windows.h"

#include "core/paths.h"
#include "core/runlog.h"
#include "core/runstate.h"

#include "pagewait.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

namespace {
// A process that ended (or is only a zombie waiting for its parent) has
// no window to press anything with.
bool processAlive(qint64 pid) {
  QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
  if (!stat.open(QIODevice::ReadOnly))
    return false;
  const QByteArray s = stat.readAll();
  const int paren = s.lastIndexOf(')');
  return paren > 0 && paren + 2 < s.size() && s[paren + 2] != 'Z' &&
         s[paren + 2] != 'X';
}

// How long the tool must survive its start to count as started: a tool
// that cannot open its display or refuses its arguments ends at once.
constexpr int kStartCheckMs = 200;
} // namespace

bool launchConfirmPress(const QString &argument) {
  ConfirmPressHwnd = 0;
  ConfirmPressPid = 0;
  qint64 pid = 0;
  const QString tool =
      QDir(programFolder()).filePath(QStringLiteral("ConfirmPress"));
  if (!QProcess::startDetached(tool, {argument}, programFolder(), &pid))
    pid = 0;
  if (pid) {
    QElapsedTimer t;
    t.start();
    while (pid && t.elapsed() < kStartCheckMs) {
      timerWait(200);
      if (!processAlive(pid))
        pid = 0;
    }
  }
  ConfirmPressPid = pid;
  if (ConfirmPressPid == 0) {
    setLog(QStringLiteral("ツール起動エラー"));
    return false;
  }
  frmBrowser()->WebBrowser1->Silent = false;
  return true;
}

void closeConfirmPress() {
  ConfirmPressHwnd =
      ConfirmPressPid ? findTopLevelWindowByPid(ConfirmPressPid) : 0;
  if (ConfirmPressHwnd)
    sendCloseMessage(ConfirmPressHwnd);
  if (browserLoaded())
    frmBrowser()->WebBrowser1->Silent = true;
}
