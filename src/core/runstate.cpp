#include "runstate.h"

#include "settings.h"

bool StopRequested = true;
int DlgRequest = 0;
QString UploadPath;
quintptr DlgHwnd = 0;
qint64 ConfirmPressPid = 0;
quintptr ConfirmPressHwnd = 0;
bool TitleTestDone = false;
bool ManualDone = false;
bool Unattended = false;

bool quietBoxes() { return Unattended || isOn(AutoRetry); }
