#pragma once

#include <QtGlobal>

// Small window-system helpers for talking to windows of other processes on
// the X server. Xlib stays out of this header: its macros clash with Qt.

// The first top-level X window whose _NET_WM_PID equals pid; 0 when there is
// none, when pid is not positive or when no X display can be opened.
quintptr findTopLevelWindowByPid(qint64 pid);

// Asks the window's owner to close it (WM_DELETE_WINDOW). False when the
// window is 0 or gone or no X display can be opened.
bool sendCloseMessage(quintptr xwindow);
