// The run: one or more passes, each handing the browser to the script of
// the configured blog.
#pragma once

// 実行: refused while a run is in progress.
void startRun();
// 中止: asks the running pass to stop; does not wait.
void stopRun();
