// Sendora: uploads queued files to a blog by driving an embedded browser.
#include "core/paths.h"
#include "core/services.h"
#include "core/settings.h"
#include "dialogs/customwiring.h"
#include "dialogs/dialogs.h"
#include "mainwindow/appsetup.h"
#include "mainwindow/mainwindow.h"

#include <QApplication>
#include <QIcon>

namespace {
// What loading the settings may have to show before the main window
// exists: on a first start the prompt and the blog settings dialog, with
// no file-dialog caption known yet the title test.
SettingsHooks startupDialogs() { return startupSettingsHooks(); }
} // namespace

int main(int argc, char *argv[]) {
  prepareEnvironment();
  QApplication app(argc, argv);
  app.setWindowIcon(QIcon(QStringLiteral(":/sendora.svg")));
  QApplication::setApplicationName(QStringLiteral("Sendora"));
  installTranslations(app);

  setProgramFolder(QCoreApplication::applicationDirPath());
  setDataFolder(chooseDataFolder(programFolder()));

  fillServiceTable();
  loadSettings(dataFile(QString::fromLatin1(kSettingsFileName)),
               primaryWorkArea(), startupDialogs());

  MainWindow window;
  installSettingsDialogs(&window);
  installCustomAndVersion(&window);
  // Closing the main window ends the program even when a browser window
  // is still open.
  QObject::connect(&window, &MainWindow::windowClosed, &app,
                   &QCoreApplication::quit, Qt::QueuedConnection);
  window.loadWindow();
  return app.exec();
}
