// The program as the crash test runs it: "run" starts an upload run on the
// queue in SENDORA_DATA against SENDORA_BLOG; "ini" saves the settings over
// and over. The test kills it at a moment of its choosing.
#include "testsupport.h"

#include "core/paths.h"
#include "core/runlog.h"
#include "core/runstate.h"
#include "core/services.h"
#include "core/settings.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/rundriver.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char **argv) {
  prepareTestProcess();
  QApplication app(argc, argv);
  setProgramFolder(QCoreApplication::applicationDirPath());
  setDataFolder(qEnvironmentVariable("SENDORA_DATA"));
  const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
  const QString ini = dataFile(QStringLiteral("Sendora.ini"));

  if (mode == QLatin1String("ini")) {
    loadSettings(ini, WorkArea{28800, 16200});
    for (long n = 0;; ++n) {
      setting(DirName) = QString::number(n);
      setting(ToolName) = QString(2000, QChar(u'字')) + QString::number(n);
      saveSettings(ini);
    }
  }

  setFastSettings(10);
  useFc2Account(qEnvironmentVariable("SENDORA_BLOG"));
  setting(CheckUpload) = QStringLiteral("1");
  MainWindow w;
  w.loadWindow();
  // Each entry once the window has it, so that the test can tell what was
  // shown when it killed the program.
  LogSink window = setLogSink({});
  setLogSink([window](const QString &m) {
    window(m);
    std::printf("%s\n", m.toUtf8().constData());
    std::fflush(stdout);
  });
  startRun();
  std::printf("finished\n");
  return 0;
}
