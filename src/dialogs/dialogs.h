// What the settings dialogs share, and how the rest of the program reaches
// them: the main window's settings commands and the dialogs that loading
// the settings may have to show before the main window exists.
#pragma once
#include "core/settings.h"

#include <QString>
#include <functional>

class MainWindow;
class QLineEdit;
class QWidget;

// Focus in the box selects its whole text, so that typing replaces it.
void selectAllText(QLineEdit *box);

// A plain OK message box.
void showMessage(QWidget *parent, const QString &text);

// Major version of the browser engine ("108"). Tests substitute another;
// an empty override goes back to the real one.
QString browserMajorVersion();
void overrideBrowserMajorVersion(const QString &version);
// The engine's own major version, whatever is substituted.
QString engineMajorVersion();

// Where the settings live.
QString settingsPath();

// Opens the custom-script designer modally over `parent`; empty until the
// designer is plugged in.
std::function<void(QWidget *parent)> &customDesignerHook();

// The blog settings and options commands of the main window open these
// dialogs modally.
void installSettingsDialogs(MainWindow *w);

// What loading the settings shows: on a first start the prompt and the
// blog settings dialog; with no file-dialog caption the title test.
SettingsHooks startupSettingsHooks();
