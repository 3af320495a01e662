// The run: one or more passes, each handing the browser to the script of
// the configured blog.
#pragma once
#include <functional>

class MainWindow;
struct ScriptHost;

// 実行: refused while a run is in progress.
void startRun();
// 中止: asks the running pass to stop; does not wait.
void stopRun();

// Parts of a run that other windows provide.
struct RunHooks {
  // The user-defined script, taken first when enabled and present.
  std::function<bool(const ScriptHost &)> customScript;
  // After every pass that ended normally (the support visit).
  std::function<void()> afterGoodPass;
  // Once when a run has finished, before any power action; good when its
  // last pass ended normally.
  std::function<void(bool good)> onRunEnd;
};
RunHooks &runHooks();

// What a script run from this window works on: its queue, its file-dialog
// timer, its list file.
ScriptHost scriptHostOf(MainWindow *w);
