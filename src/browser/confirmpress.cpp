#include "confirmpress.h"

#include "browserwindow.h"
#include "webbrowser.h"
#include "x11windows.h"

#include "core/paths.h"
#include "core/runlog.h"
#include "core/runstate.h"

#include <QDir>
#include <QProcess>

bool launchConfirmPress(const QString &argument) {
  ConfirmPressHwnd = 0;
  ConfirmPressPid = 0;
  qint64 pid = 0;
  const QString tool =
      QDir(programFolder()).filePath(QStringLiteral("ConfirmPress"));
  if (!QProcess::startDetached(tool, {argument}, programFolder(), &pid))
    pid = 0;
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
