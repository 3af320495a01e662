// What the process needs before and around the QApplication: the platform
// and Chromium environment, the Qt translations, and the screen measures in
// twips that window geometry and column widths are stored in.
#pragma once
#include "core/settings.h"

#include <Qt>

class QApplication;

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

// The right and bottom edges of the primary screen's usable area, in twips.
WorkArea primaryWorkArea();
