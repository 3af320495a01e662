#include "rundriver.h"

#include "mainwindow.h"
#include "power.h"

#include "browser/browserwindow.h"
#include "browser/webbrowser.h"
#include "core/itemlist.h"
#include "core/paths.h"
#include "core/runlog.h"
#include "core/runreport.h"
#include "core/runstate.h"
#include "core/services.h"
#include "core/settings.h"
#include "scripts/registry.h"
#include "scripts/skeleton.h"

#include <QFile>
#include <QMessageBox>

namespace {
RunHooks &hooks() {
  static RunHooks h;
  return h;
}

bool accountConfigured() {
  if (isOn(ManualLogin))
    return !setting(BlogUrl).isEmpty();
  return !setting(UserId).isEmpty() && !setting(BlogUrl).isEmpty() &&
         !setting(Password).isEmpty();
}

enum class PassEnd { Success, Failure };

// One pass: the script of the configured blog, or the unsupported-blog
// report. Returns how the pass ended for the driver's decision.
PassEnd runPass(MainWindow *w) {
  runReport().beginPass();
  StopRequested = false;
  w->Idle = false;
  w->setRunMenusEnabled(false);
  w->saveList();
  setLog(QStringLiteral("ブラウザを開く"));
  frmBrowser();

  const bool customExists =
      QFile::exists(dataFile(QStringLiteral("Custom.sdr")));
  if (isOn(UseCustom) && customExists && hooks().customScript) {
    setLog(QString::fromUtf8(kCustomLabel));
    return hooks().customScript(scriptHostOf(w)) ? PassEnd::Success
                                                 : PassEnd::Failure;
  }
  const int service = selectService(setting(BlogUrl));
  const ServiceScript script = scriptForService(service);
  if (service >= 0 && script) {
    setLog(serviceTable()[service].logLabel);
    return script(scriptHostOf(w)) ? PassEnd::Success : PassEnd::Failure;
  }
  const QString text =
      QStringLiteral("対応しておりません。m(__)m\nログを確認してください");
  if (quietBoxes())
    setLog(text);
  else
    QMessageBox::information(w, QStringLiteral("Sendora"), text);
  StopRequested = true;
  return PassEnd::Success;
}

void runEnded(bool good) {
  if (hooks().onRunEnd)
    hooks().onRunEnd(good);
}

void finish(MainWindow *w, bool powerAction) {
  w->setRunMenusEnabled(true);
  StopRequested = true;
  w->Idle = true;
  // Before a power action, which may end the process. A run has one only
  // when its last pass ended normally.
  runEnded(powerAction);
  if (!powerAction)
    return;
  if (w->suspendAfterRun()) {
    setLog(QStringLiteral("サスペンド移行開始"));
    ::powerAction(true);
  } else if (w->shutdownAfterRun()) {
    setLog(QStringLiteral("シャットダウン開始"));
    ::powerAction(false);
  }
}

void closeBrowser() {
  setLog(QStringLiteral("ブラウザを閉じる"));
  unloadBrowser();
}

// A service that answers every upload but confirms none has most likely
// changed its result page: feeding it the same files all night helps
// nobody. Passes that sent nothing (a site that is down) do not count.
constexpr int kUnconfirmedPassLimit = 3;

bool serviceStoppedConfirming() {
  RunReport &r = runReport();
  if (r.pass.confirmed > 0)
    r.unconfirmedPassesInARow = 0;
  else if (r.pass.sent > 0)
    ++r.unconfirmedPassesInARow;
  return r.unconfirmedPassesInARow >= kUnconfirmedPassLimit;
}
} // namespace

RunHooks &runHooks() { return hooks(); }

ScriptHost scriptHostOf(MainWindow *w) {
  ScriptHost host;
  host.items = w->items();
  host.sansho = w->tmrSansho;
  host.saveList = [w] { w->saveList(); };
  return host;
}

void startRun() {
  MainWindow *w = frmMain();
  if (!w || !w->Idle)
    return;
  if (!accountConfigured()) {
    const QString text = QStringLiteral("基本情報を設定してください。");
    if (Unattended) {
      setLog(text);
      return;
    }
    QMessageBox::information(w, QStringLiteral("Sendora"), text);
    if (w->onKihon)
      w->onKihon();
    return;
  }
  w->clearLog();
  runReport().beginRun();
  try {
    for (;;) {
      const PassEnd end = runPass(w);
      if (end == PassEnd::Success) {
        if (hooks().afterGoodPass)
          hooks().afterGoodPass();
        closeBrowser();
        if (!isOn(AutoRetry) || StopRequested || w->items()->allDone()) {
          finish(w, true);
          return;
        }
      } else {
        closeBrowser();
        const bool unconfirmed = serviceStoppedConfirming();
        if (!isOn(AutoRetry) || StopRequested || w->items()->allDone()) {
          finish(w, false);
          return;
        }
        if (unconfirmed) {
          setLog(
              QStringLiteral("アップロードが%1回続けて確認できませんでした。"
                             "サービスがアップロードを確認しなくなっています")
                  .arg(kUnconfirmedPassLimit));
          finish(w, false);
          return;
        }
      }
    }
  } catch (...) {
    // Whatever went wrong, the program must come back to idle.
    w->setRunMenusEnabled(true);
    StopRequested = true;
    w->Idle = true;
    runEnded(false);
  }
}

void stopRun() {
  StopRequested = true;
  setLog(QStringLiteral("中断されました"));
}
