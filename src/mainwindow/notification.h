// Desktop notifications over the session bus (org.freedesktop.Notifications),
// so that the end of a long run is noticed away from the window.
#pragma once
#include <QString>

// Shows a notification; false when no notification service answered. Never
// waits long and never reports anything: without a session bus or a
// service (a cron job, a bare X server) it is skipped quietly.
bool notifyDesktop(const QString &summary, const QString &body);
