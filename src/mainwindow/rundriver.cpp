#include "rundriver.h"

#include "core/runlog.h"
#include "core/runstate.h"

#include <QString>

void startRun() {}

void stopRun() {
  StopRequested = true;
  setLog(QStringLiteral("中断されました"));
}
