// Run-wide shared values. Everything runs on the one GUI thread; the
// protocol between the parties is an order of steps, not locks.
#pragma once
#include <QString>
#include <cstdint>

// True when no run is in progress or a stop was asked for; every wait and
// script step tests it and ends promptly when it is set.
extern bool StopRequested;

// File-dialog request protocol: 1 requested, 0 taken up / done, -1 failed.
extern int DlgRequest;
extern QString UploadPath;
extern quintptr DlgHwnd;

// Companion program launched around a click, 0 when none.
extern qint64 ConfirmPressPid;
extern quintptr ConfirmPressHwnd;

// Raised by the title-test dialog when it is done.
extern bool TitleTestDone;

// Raised by the manual-login prompt's OK.
extern bool ManualDone;

// Set while a run started from the command line goes on: nobody may be
// there to answer a message box, so none is shown.
extern bool Unattended;

// Whether a run reports in the log what it would otherwise show in a
// message box: in the repeat mode (a box would hold up the next pass) and
// when unattended.
bool quietBoxes();
