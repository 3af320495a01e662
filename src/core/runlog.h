// The run log: one writer, many callers. The main window installs the sink
// that appends to its log box; tests install their own to capture lines.
#pragma once
#include <QString>
#include <functional>

using LogSink = std::function<void(const QString &)>;

// Appends one entry to the run log (the installed sink decides where).
void setLog(const QString &sMsg);

// Replaces the sink; returns the previous one so a caller can restore it.
LogSink setLogSink(LogSink sink);
