// Filling the file chooser that a click on a page's file input opens. The
// click does not return while the chooser is open, so the work is done
// from a timer that keeps firing inside the chooser's modal loop; the
// caller posts its request in DlgRequest/UploadPath before the click and
// reads the outcome from DlgRequest after it.
#pragma once
#include <QString>
#include <functional>

// Serves a pending request (DlgRequest == 1): finds the chooser captioned
// DlgTitle, types UploadPath and presses Open. Leaves 0 on success, -1 on
// failure; without a request it only pauses a second.
void fillFileDialog(bool logging);

// The caller's side for one file: arms the timer, clicks the file input
// and waits for the outcome. Returns DlgRequest afterwards (0 chosen).
class QTimer;
int requestFileChoice(const QString &path, QTimer *sanshoTimer,
                      const std::function<void()> &click);
