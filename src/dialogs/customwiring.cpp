#include "customwiring.h"

#include "customdialog.h"
#include "supportvisit.h"
#include "versiondialog.h"

#include "mainwindow/mainwindow.h"
#include "mainwindow/rundriver.h"
#include "scripts/customscript.h"

void installCustomAndVersion(MainWindow *w) {
  w->onVersion = [w] {
    frmVersion dialog(w);
    dialog.exec();
  };
  runHooks().customScript = runCustomScript;
  runHooks().afterGoodPass = visitSupportAd;
}
