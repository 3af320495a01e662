#pragma once

// Prepares the process environment for the embedded browser engine; call
// before the QApplication is created. The engine must not try to reach
// outside hosts (there may be no network), and it refuses to start as root
// with its sandbox on, so the sandbox is switched off for root (said once
// on stderr). With a display, the xcb platform is used so that other
// programs (the companion tool) see the program's windows.
void prepareBrowserEnvironment();
