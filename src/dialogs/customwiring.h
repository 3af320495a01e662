// Hooks the user-defined script, the version dialog and the support visit
// into the main window and the run driver.
#pragma once

class MainWindow;
class QWidget;

void installCustomAndVersion(MainWindow *w);

// The designer, for the blog settings dialog.
void openCustomDesigner(QWidget *parent);
