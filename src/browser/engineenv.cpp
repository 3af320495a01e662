#include "engineenv.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstdio>
#include <unistd.h>

void prepareBrowserEnvironment() {
  if (qEnvironmentVariableIsSet("DISPLAY") &&
      !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "xcb");
  QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
  flags += " --disable-background-networking --disable-component-update"
           " --disable-sync --no-first-run";
  if (geteuid() == 0) {
    flags += " --no-sandbox";
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    std::fprintf(stderr, "sendora: running as root, browser sandbox "
                         "switched off\n");
  }
  qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.trimmed());
}
