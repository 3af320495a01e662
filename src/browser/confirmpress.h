// Starting and ending the companion program that presses a browser
// dialog (security warning, overwrite confirmation) by its caption.
#pragma once
#include <QString>

// Starts "ConfirmPress" from the program folder with `argument` and lets
// the browser show its script dialogs for the tool to press. false (and
// "ツール起動エラー" in the log) when it cannot be started.
bool launchConfirmPress(const QString &argument);
// Ends the tool through its window (when it still has one) and silences
// the browser again.
void closeConfirmPress();
