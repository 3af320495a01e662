// Waiting without blocking: every wait keeps dispatching events, so timers
// fire (the file-dialog service among them), the windows repaint and a
// stop is noticed at the next poll.
#pragma once
#include <QString>

class WebBrowser;

inline const char *const kNetworkMessage =
    "ネットワークのエラーです。回線が切断されたか繋がりません。";

// Waits for the page load in the primary browser window. mode 1: until the
// page is complete; mode 0: until it can be read. Returns 0 to go on, -1
// when the page did not load (busy time-out, server not found, or a stop
// during a mode-1 completion wait).
int waitBrowser(const QString &sMsg, int mode);
// The same on the secondary browser window.
int waitBrowser2(const QString &sMsg, int mode);
// The wait itself, on any browser.
int waitOn(WebBrowser *browser, const QString &sMsg, int mode);

// Pauses `seconds` (at least one 50 ms step), ending early on a stop.
void pauseSec(double seconds);

// Waits `units` tenths of a millisecond (50 units = 5 ms), dispatching
// events meanwhile.
void timerWait(int units);
