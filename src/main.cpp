// Sendora: uploads queued files to a blog by driving an embedded browser.
#include "core/itemlist.h"
#include "core/logfile.h"
#include "core/paths.h"
#include "core/runlog.h"
#include "core/runstate.h"
#include "core/services.h"
#include "core/settings.h"
#include "dialogs/customwiring.h"
#include "dialogs/dialogs.h"
#include "mainwindow/appsetup.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/rundriver.h"

#include <QApplication>
#include <QDate>
#include <QFile>
#include <QIcon>
#include <QTimer>

#include <cstdio>

namespace {
// What loading the settings may have to show before the main window
// exists: on a first start the prompt and the blog settings dialog, with
// no file-dialog caption known yet the title test.
SettingsHooks startupDialogs() { return startupSettingsHooks(); }

QStringList rawArguments(int argc, char *argv[]) {
  QStringList args;
  for (int i = 0; i < argc; ++i)
    args << QString::fromLocal8Bit(argv[i]);
  return args;
}

// A run for nobody to watch: what would wait for a person is logged
// instead, and a setting that needs a person ends it before it starts.
void startUnattendedRun() {
  Unattended = true;
  if (isOn(ManualLogin))
    setLog(QStringLiteral("手動ログインの設定ではコマンドラインから実行できま"
                          "せん"));
  else
    startRun();
  Unattended = false;
}
} // namespace

int main(int argc, char *argv[]) {
  // --help and --version are answered without a display.
  const CommandLine early = parseCommandLine(rawArguments(argc, argv));
  if (!early.answer.isEmpty()) {
    std::fputs(early.answer.toLocal8Bit().constData(), stdout);
    return 0;
  }

  prepareEnvironment();
  QApplication app(argc, argv);
  app.setWindowIcon(QIcon(QStringLiteral(":/sendora.svg")));
  QApplication::setApplicationName(QStringLiteral("Sendora"));
  const CommandLine cl = parseCommandLine(app.arguments());
  if (!cl.error.isEmpty()) {
    std::fputs(cl.error.toLocal8Bit().constData(), stderr);
    return 2;
  }
  installTranslations(app);

  setProgramFolder(QCoreApplication::applicationDirPath());
  setDataFolder(chooseDataFolder(programFolder()));
  pruneLogFiles(logFolder(), QDate::currentDate());

  fillServiceTable();
  const QString ini = dataFile(QString::fromLatin1(kSettingsFileName));
  SettingsHooks hooks = startupDialogs();
  if (cl.run) {
    // The set-up dialogs would wait for ever with nobody there. A program
    // never set up stays untouched for its first start by hand; the title
    // test comes back at the next start by hand.
    if (!QFile::exists(ini)) {
      std::fputs("sendora: not set up yet; start it once without options\n",
                 stderr);
      return 1;
    }
    hooks = SettingsHooks();
  }
  loadSettings(ini, primaryWorkArea(), hooks);

  MainWindow window;
  installSettingsDialogs(&window);
  installCustomAndVersion(&window);
  // Closing the main window ends the program even when a browser window
  // is still open.
  QObject::connect(&window, &MainWindow::windowClosed, &app,
                   &QCoreApplication::quit, Qt::QueuedConnection);
  window.loadWindow();

  int status = 0;
  if (cl.run)
    QTimer::singleShot(0, &window, [&]() {
      startUnattendedRun();
      if (!cl.quitWhenDone)
        return;
      status = window.items()->allDone() ? 0 : 1;
      window.close();
    });
  const int rc = app.exec();
  closeLogFile();
  return cl.quitWhenDone ? status : rc;
}
