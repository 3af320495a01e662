// Suspend or power off the machine once an unattended run has finished.
#pragma once

// Asks systemd-logind to suspend (suspend = true) or to power off the
// machine. A suspend returns only after the machine has woken up again and
// then logs "サスペンド完了"; a power-off logs nothing when it was accepted.
// Every failure is written to the run log and ends the operation.
// Returns 1 when the request was carried out, 0 otherwise; callers may
// ignore it.
int powerAction(bool suspend);
