#include "runlog.h"

namespace {
LogSink &currentSink() {
  static LogSink sink;
  return sink;
}
} // namespace

void setLog(const QString &sMsg) {
  if (currentSink())
    currentSink()(sMsg);
}

LogSink setLogSink(LogSink sink) {
  LogSink old = std::move(currentSink());
  currentSink() = std::move(sink);
  return old;
}
