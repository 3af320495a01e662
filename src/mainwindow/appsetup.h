// What the process needs before and around the QApplication: the platform
// and Chromium environment, the Qt translations, and the screen measures in
// twips that window geometry and column widths are stored in.
#pragma once
#include "core/settings.h"

#include <QString>
#include <QStringList>
#include <Qt>

class QApplication;
class QWidget;

// Call before the QApplication exists. Chooses xcb when an X display is
// there (the companion tool must see our windows), keeps Chromium off the
// network, and switches its sandbox off when running as root, where
// Chromium refuses to start otherwise. Under a locale whose character set
// is not UTF-8 the character set becomes UTF-8, the one file names are
// read in. Safe to call more than once.
void prepareEnvironment();

// Loads Qt's own translations for the user's locale so that standard
// buttons read as the user expects. Returns whether one was found.
bool installTranslations(QApplication &app);

// Twips per pixel of the primary screen along one axis: 15 at 96 dpi,
// scaled with the screen's logical dpi.
double twipsPerPixel(Qt::Orientation axis);

// Conversions rounded to whole twips or pixels.
int pixelsToTwipsX(double pixels);
int pixelsToTwipsY(double pixels);
int twipsToPixelsX(double twips);
int twipsToPixelsY(double twips);

// Stores a window's place and size in twips under the four settings: the
// client area (what a restore applies), the normal geometry of a minimised
// or maximised window, and "-1" positions for a minimised one, which then
// comes back minimised.
void storeWindowGeometry(const QWidget *w, SettingId top, SettingId left,
                         SettingId width, SettingId height);

// The right and bottom edges of the primary screen's usable area, in twips.
WorkArea primaryWorkArea();

// The command line. With no option Sendora starts as it always has; the
// options serve a run started by a timer or cron job.
struct CommandLine {
  bool run = false;          // --run: start a run once the window is up
  bool quitWhenDone = false; // --quit-when-done: close when that run ends
  QString answer; // --help or --version: what to print instead of starting
  QString error;  // a usage error, with the help text
};

// Parses the program's arguments (argv[0] first). Options of Qt's own
// (-platform, -style, ...) are left to the QApplication: call this with
// its arguments() for errors, and before it exists for --help and
// --version, which need no display.
CommandLine parseCommandLine(const QStringList &arguments);
