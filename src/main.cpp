// Sendora: uploads queued files to a blog by driving an embedded browser.
#include "core/paths.h"
#include "core/services.h"
#include "core/settings.h"
#include "mainwindow/appsetup.h"
#include "mainwindow/mainwindow.h"

#include <QApplication>
#include <QMessageBox>

namespace {
// What loading the settings may have to show before the main window
// exists. The blog settings dialog (first start) and the file-dialog title
// test (no caption known yet) are plugged in here once they exist.
SettingsHooks startupDialogs() {
  SettingsHooks hooks;
  hooks.firstStart = []() {
    QMessageBox::information(nullptr, QStringLiteral("Sendora"),
                             QStringLiteral("基本情報を設定してください。"));
  };
  return hooks;
}
} // namespace

int main(int argc, char *argv[]) {
  prepareEnvironment();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Sendora"));
  installTranslations(app);

  setProgramFolder(QCoreApplication::applicationDirPath());
  setDataFolder(chooseDataFolder(programFolder()));

  fillServiceTable();
  loadSettings(dataFile(QString::fromLatin1(kSettingsFileName)),
               primaryWorkArea(), startupDialogs());

  MainWindow window;
  // Closing the main window ends the program even when a browser window
  // is still open.
  QObject::connect(&window, &MainWindow::windowClosed, &app,
                   &QCoreApplication::quit, Qt::QueuedConnection);
  window.loadWindow();
  return app.exec();
}
