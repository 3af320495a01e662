#include "skeleton.h"

#include "browser/browserwindow.h"
#include "browser/confirmpress.h"
#include "browser/filedialog.h"
#include "browser/manuallogin.h"
#include "browser/pagewait.h"
#include "browser/webbrowser.h"

#include "core/itemlist.h"
#include "core/paths.h"
#include "core/runlog.h"
#include "core/runstate.h"
#include "core/settings.h"
#include "core/urllist.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace {
void log(const QString &s) { setLog(s); }
int wait(int mode) { return waitBrowser(networkMessage(), mode); }

// A failed phase inside an attempt: a stop leaves the loop, anything else
// ends the pass with an error.
Try fromFlow(Flow f) {
  if (f == Flow::Continue || f == Flow::Success)
    return Try::Success;
  return f == Flow::Quiet ? Try::Leave : Try::Error;
}
} // namespace

QString networkMessage() { return QString::fromUtf8(kNetworkMessage); }

int retryCount() { return settingInt(RetryCount); }

ScriptContext::ScriptContext(ScriptHost h, bool errorBoxes)
    : host(std::move(h)), errorBoxes_(errorBoxes) {}

WebBrowser *ScriptContext::web() const {
  return host.web ? host.web() : frmBrowser()->WebBrowser1;
}

bool ScriptContext::stopped() const { return StopRequested; }

QString ScriptContext::itemPath(int row) const {
  return host.items->item(row).path();
}

ScanResult ScriptContext::scanPage(const QVector<Target> &targets) {
  const QStringList props = scanProperties(targets);
  const Snapshot rows =
      web()->snapshot(props, scanTags(targets), scanTagProperties(targets));
  QCoreApplication::processEvents();
  const ScanResult r = scanSnapshot(rows, props, targets);
  rememberFound(rows, props, targets, r);
  return r;
}

void ScriptContext::rememberFound(const Snapshot &rows,
                                  const QStringList &props,
                                  const QVector<Target> &targets,
                                  const ScanResult &found) {
  forgetFound();
  for (int k = 0; k < targets.size(); ++k)
    if (found.found(k))
      rememberElement(rows, props, found[k],
                      targets[k].match == Match::Alt ? QStringLiteral("alt")
                                                     : targets[k].property);
  for (const Option &o : found.options)
    rememberElement(rows, props, o.index, QStringLiteral("innerText"));
}

void ScriptContext::rememberElement(const Snapshot &rows,
                                    const QStringList &props, int index,
                                    const QString &property) {
  const int column = props.indexOf(property) + 1;
  if (index <= 0 || index >= rows.size() || column <= 0 ||
      column >= rows[index].size() || guards_.contains(index))
    return;
  guards_.insert(index,
                 ElementGuard{rows[index][0], property, rows[index][column]});
}

void ScriptContext::forgetFound() {
  guards_.clear();
  pageChanged_ = false;
  guardSerial_ = WebBrowser::snapshotSerial();
}

bool ScriptContext::pageChangedNow() const {
  return pageChanged_ && guardSerial_ == WebBrowser::snapshotSerial();
}

const ElementGuard *ScriptContext::guardOf(int i) const {
  // An index found by a look at the page the guards do not describe.
  if (guardSerial_ != WebBrowser::snapshotSerial())
    return nullptr;
  auto it = guards_.constFind(i);
  return it == guards_.constEnd() ? nullptr : &*it;
}

void ScriptContext::pageChanged() {
  if (!pageChanged_)
    log(QStringLiteral("ページが変わったため入力しませんでした"));
  pageChanged_ = true;
}

void ScriptContext::setGuarded(int i, const QString &property,
                               const QVariant &value) {
  if (pageChangedNow())
    return;
  web()->setProperty(i, property, value, guardOf(i));
  if (web()->elementChanged())
    pageChanged();
}

void ScriptContext::setValue(int i, const QString &text) {
  setGuarded(i, QStringLiteral("Value"), text);
}

void ScriptContext::clickElement(int i) {
  // Nothing more is pressed on a page that is no longer the one scanned;
  // the wait after the click then fails the attempt.
  if (pageChangedNow()) {
    web()->refuseClick();
    return;
  }
  web()->Click(i, guardOf(i));
  if (web()->elementChanged())
    pageChanged_ = true;
}

void ScriptContext::setCheckbox(int i, bool wanted, const QString &onText,
                                const QString &offText) {
  const bool checked =
      readProperty(i, QStringLiteral("Checked")) == QLatin1String("true");
  if (!checked && wanted) {
    log(onText);
    clickElement(i);
  } else if (checked && !wanted) {
    log(offText);
    clickElement(i);
  }
}

void ScriptContext::selectOption(int k) {
  setGuarded(k, QStringLiteral("Selected"), true);
}

QString ScriptContext::readText(int i) {
  return readProperty(i, QStringLiteral("innerText"));
}

QString ScriptContext::readProperty(int i, const QString &property) {
  return web()->getProperty(i, property);
}

Flow ScriptContext::retryLoop(const std::function<Try(int)> &attempt,
                              Flow exhausted) {
  const int count = retryCount();
  for (int n = 1; n <= count; ++n) {
    if (n > 1) {
      pauseSec(1);
      if (stopped())
        break;
      log(QStringLiteral("リトライします(%1)").arg(n));
    }
    switch (attempt(n)) {
    case Try::Success:
      return Flow::Continue;
    case Try::Failure:
      continue;
    case Try::Leave:
      return stopped() ? Flow::Quiet : Flow::Continue;
    case Try::Error:
      return Flow::Error;
    }
  }
  if (stopped())
    return Flow::Quiet;
  log(QStringLiteral("リトライしたが失敗"));
  return exhausted;
}

Flow ScriptContext::openStartPage() {
  log(QStringLiteral("ブログ表示開始"));
  Flow f = retryLoop([this](int) {
    web()->Navigate(setting(BlogUrl));
    const int r = wait(0);
    if (stopped())
      return Try::Leave;
    if (r == 0) {
      log(QStringLiteral("ブログ表示完了"));
      return Try::Success;
    }
    log(QStringLiteral("応答なし1"));
    return Try::Failure;
  });
  if (f != Flow::Continue)
    return f;
  return settlePage(settingInt(LoginWait));
}

Flow ScriptContext::settlePage(int seconds, bool withPause) {
  return settleSequence(withPause
                            ? QStringList{QStringLiteral("ページ切替待ち開始")}
                            : QStringList{},
                        seconds);
}

Try ScriptContext::pressLoginForm(const LoginForm &form,
                                  const ScanResult &found, int account,
                                  int password, int button) {
  Q_UNUSED(form);
  log(QStringLiteral("ログイン情報入力"));
  if (!isOn(ManualLogin)) {
    setValue(found[account], setting(UserId));
    setValue(found[password], setting(Password));
    // Never press the button over fields that were not the ones found: the
    // next attempt looks at the page afresh.
    if (pageChangedNow())
      return Try::Failure;
  } else {
    waitManualLogin();
    if (stopped())
      return Try::Leave;
  }
  if (form.companionTool && isOn(UseConfirmPress) &&
      !launchConfirmPress(setting(SecTitle)))
    return Try::Error;
  log(form.pressLine);
  clickElement(found[button]);
  if (form.pauseAfterPress) {
    log(QStringLiteral("ページ切替待ち開始"));
    pauseSec(settingInt(UpPageWait));
    if (stopped()) {
      closeConfirmPress();
      return Try::Leave;
    }
  }
  const int r = wait(0);
  closeConfirmPress();
  if (stopped())
    return Try::Leave;
  if (r == 0) {
    log(form.doneLine);
    return Try::Success;
  }
  log(QStringLiteral("応答なし1"));
  return Try::Failure;
}

Flow ScriptContext::logIn(const LoginForm &form) {
  log(form.searchLine);
  QVector<Target> targets{form.account, form.password, form.button};
  if (form.loggedInMarker)
    targets << *form.loggedInMarker;
  return retryLoop([&](int) {
    const ScanResult s = scanPage(targets);
    if (stopped())
      return Try::Leave;
    if (!s.found(0) || !s.found(1) || !s.found(2)) {
      if (form.assumeLoggedIn || (form.loggedInMarker && s.found(3))) {
        log(QStringLiteral("既にログインされている?"));
        return Try::Success;
      }
      if (!form.buttonNotFoundLine.isEmpty())
        log(form.buttonNotFoundLine);
      return Try::Failure;
    }
    return pressLoginForm(form, s, 0, 1, 2);
  });
}

Flow ScriptContext::checkLogin(const Target &accountField) {
  if (!isOn(CheckLogin))
    return Flow::Continue;
  log(QStringLiteral("ログインチェック開始"));
  Target t = accountField;
  t.hit = Hit::First;
  const ScanResult s = scanPage({t});
  if (stopped())
    return Flow::Quiet;
  if (s.found(0)) {
    log(QStringLiteral("ログインチェック失敗"));
    log(QStringLiteral("ユーザー名・パスワードが正しいか確認してください。"));
    // A wrong password tried pass after pass gets the account locked: the
    // repeat mode ends here too.
    StopRequested = true;
    return Flow::Quiet;
  }
  log(QStringLiteral("ログインチェック成功"));
  return Flow::Continue;
}

namespace {
Target linkByText(const QString &text) {
  return Target{QStringLiteral("a"), QStringLiteral("innerText"), Match::Exact,
                text.toLower(), Hit::First};
}
} // namespace

Flow ScriptContext::followLink(const QString &text) {
  log(text + QStringLiteral("検索"));
  Flow f = retryLoop([&](int) {
    const ScanResult s = scanPage({linkByText(text)});
    if (stopped())
      return Try::Leave;
    if (!s.found(0)) {
      log(text + QStringLiteral("が見つかりませんでした"));
      return Try::Failure;
    }
    log(text + QStringLiteral("押下"));
    clickElement(s[0]);
    const Try t = waitForNextPage();
    if (t == Try::Success)
      log(text + QStringLiteral("押下完了"));
    return t;
  });
  if (f != Flow::Continue)
    return f;
  return settlePage(settingInt(UpPageWait));
}

Flow ScriptContext::followLinkOnce(const QString &text,
                                   const std::optional<Target> &link) {
  const Target target = link ? *link : linkByText(text);
  return followFoundOnce(text, [&] { return scanPage({target})[0]; });
}

Flow ScriptContext::logOut(const Target &logoutLink, bool twoWaits,
                           const QString &label,
                           const std::function<Flow()> &settle) {
  if (!isOn(LogOut))
    return Flow::Success;
  log(label + QStringLiteral("検索"));
  Flow f = retryLoop(
      [&](int) {
        const ScanResult s = scanPage({logoutLink});
        if (stopped())
          return Try::Leave;
        if (!s.found(0)) {
          log(label + QStringLiteral("が見つかりませんでした"));
          return Try::Failure;
        }
        log(label + QStringLiteral("押下"));
        clickElement(s[0]);
        int r = wait(0);
        if (stopped())
          return Try::Leave;
        if (r != 0) {
          log(QStringLiteral("応答なし1"));
          return Try::Failure;
        }
        if (twoWaits) {
          log(QStringLiteral("ページ読込開始"));
          r = wait(1);
          if (stopped())
            return Try::Leave;
          if (r != 0) {
            log(QStringLiteral("応答なし2"));
            return Try::Failure;
          }
        }
        log(label + QStringLiteral("押下完了"));
        return Try::Success;
      },
      Flow::Success); // a failed log-out does not fail the run
  if (f != Flow::Continue)
    return f;
  if (settle) {
    f = settle();
    return f == Flow::Continue ? Flow::Success : f;
  }
  log(QStringLiteral("ページ切替待ち開始"));
  pauseSec(settingInt(UpPageWait));
  if (stopped())
    return Flow::Quiet;
  log(QStringLiteral("ページ読込開始2"));
  const int r = wait(1);
  if (stopped())
    return Flow::Quiet;
  return r == 0 ? Flow::Success : Flow::Error;
}

Try ScriptContext::handOffFile(int fileInput, const QString &path,
                               bool lineEachAttempt) {
  if (!lineEachAttempt)
    log(QStringLiteral("参照ボタン押下"));
  const int count = retryCount();
  for (int k = 1; k <= count; ++k) {
    if (lineEachAttempt)
      log(QStringLiteral("参照ボタン押下"));
    const int r =
        requestFileChoice(path, host.sansho, [&] { clickElement(fileInput); });
    if (stopped())
      return Try::Leave;
    if (r == 0)
      return Try::Success;
    // The input was not the one scanned: a fresh look at the page, not
    // another click on the same place.
    if (pageChangedNow()) {
      web()->takeClickFailure();
      return Try::Failure;
    }
    log(QStringLiteral("リトライします(%1)").arg(k));
  }
  // Without the chooser nothing can be uploaded: the whole run stops.
  log(QStringLiteral("リトライしたが失敗"));
  chooserFailed_ = true;
  runReport().itemLeft(path, LeftReason::ChooserFailed);
  ++givenUp_;
  StopRequested = true;
  return Try::Leave;
}

Try ScriptContext::submitUpload(int submitButton,
                                const QString &confirmArgument,
                                const QString &button,
                                const QString &secondLoadLine) {
  log(button + QStringLiteral("押下"));
  if (!confirmArgument.isEmpty() && !launchConfirmPress(confirmArgument))
    return Try::Error;
  clickElement(submitButton);
  QCoreApplication::processEvents();
  auto step = [this](int mode, const QString &failLine) {
    const int r = wait(mode);
    if (stopped()) {
      closeConfirmPress();
      return Try::Leave;
    }
    if (r != 0) {
      log(failLine);
      closeConfirmPress();
      return Try::Failure;
    }
    return Try::Success;
  };
  Try t = step(0, QStringLiteral("応答なし1"));
  if (t != Try::Success)
    return t;
  log(QStringLiteral("ページ読込開始"));
  if ((t = step(1, QStringLiteral("応答なし2"))) != Try::Success)
    return t;
  log(QStringLiteral("ページ切替待ち開始"));
  pauseSec(settingInt(UpLoadWait));
  if (stopped()) {
    closeConfirmPress();
    return Try::Leave;
  }
  log(secondLoadLine);
  if ((t = step(1, QStringLiteral("応答なし2"))) != Try::Success)
    return t;
  log(button + QStringLiteral("押下完了"));
  closeConfirmPress();
  return Try::Success;
}

Try ScriptContext::verifyUpload(int row, const Target &confirmation) {
  if (!isOn(CheckUpload) && !isOn(MakeUrlList)) {
    markDone(row);
    return Try::Success;
  }
  log(QStringLiteral("アップロード確認"));
  Target t = confirmation;
  t.hit = Hit::First;
  const ScanResult s = scanPage({t});
  if (stopped())
    return Try::Leave;
  if (!s.found(0)) {
    log(QStringLiteral("アップロード確認失敗"));
    lastFailureWasVerification = true;
    return Try::Failure;
  }
  log(QStringLiteral("アップロード確認成功"));
  if (isOn(MakeUrlList))
    addUrlFromText(readText(s[0]));
  markDone(row);
  return Try::Success;
}

void ScriptContext::addUrlFromText(const QString &text) {
  int at = text.indexOf(QStringLiteral("http://"));
  if (at < 0)
    at = text.indexOf(QStringLiteral("https://"));
  if (at < 0) {
    // Nothing to record; the upload itself was confirmed.
    log(QStringLiteral(
        "URLが見つからないためURL対応リストに追加しませんでした"));
    return;
  }
  // The file did arrive, so its mark stays; only the record is missing.
  const QString list = dataFile(QString::fromUtf8(kUrlListFileName));
  if (!addUrlList(list, UploadPath, text.mid(at))) {
    log(QStringLiteral("URL対応リスト追加失敗(") + list + QStringLiteral(")"));
    return;
  }
  log(QStringLiteral("URL対応リスト追加完了"));
}

void ScriptContext::markDone(int row) {
  host.items->setStatus(row, kDoneMark);
  runReport().itemDone(itemPath(row));
  if (host.saveList)
    host.saveList();
}

bool ScriptContext::fileReady(int row) {
  const QString path = itemPath(row);
  const QString problem = fileProblem(path);
  if (problem.isEmpty())
    return true;
  log(problem + QStringLiteral("(") + path + QStringLiteral(")"));
  giveUp(row, LeftReason::FileMissing);
  return false;
}

void ScriptContext::giveUp(int row, LeftReason reason) {
  ++givenUp_;
  runReport().itemLeft(itemPath(row), reason);
}

Flow ScriptContext::uploadItems(const QString &searchLine,
                                const std::function<Try(int)> &attempt) {
  const int rows = host.items->itemCount();
  for (int row = 0; row < rows && row < host.items->itemCount(); ++row) {
    if (host.items->item(row).done() || !fileReady(row))
      continue;
    log(searchLine);
    lastFailureWasVerification = false;
    bool finished = false;
    const int count = retryCount();
    for (int n = 1; n <= count && !finished; ++n) {
      if (n > 1) {
        pauseSec(1);
        if (stopped())
          break;
        log(QStringLiteral("リトライします(%1)").arg(n));
      }
      lastFailureWasVerification = false;
      const Try result = attempt(row);
      if (host.items->item(row).done() || lastFailureWasVerification)
        noteSent();
      switch (result) {
      case Try::Success:
        finished = true;
        break;
      case Try::Failure:
        break;
      case Try::Leave:
        finished = true;
        break;
      case Try::Error:
        return Flow::Error;
      }
    }
    if (stopped())
      return Flow::Quiet;
    if (finished)
      continue;
    log(QStringLiteral("リトライしたが失敗"));
    // An upload that went through but could not be confirmed leaves the
    // item pending and the pass goes on with the next one; anything else
    // stops at this item. Either way the pass has failed.
    if (!lastFailureWasVerification) {
      giveUp(row, LeftReason::AttemptsUsedUp);
      return Flow::Error;
    }
    giveUp(row, LeftReason::NotConfirmed);
  }
  return Flow::Continue;
}

bool ScriptContext::launchConfirmPress(const QString &argument) {
  if (!::launchConfirmPress(argument))
    return false;
  confirmPressRunning = true;
  return true;
}

void ScriptContext::closeConfirmPress() {
  if (!confirmPressRunning)
    return;
  confirmPressRunning = false;
  ::closeConfirmPress();
}

void ScriptContext::setError(int number, const QString &description) {
  errorNumber_ = number;
  errorText_ = description;
}

bool ScriptContext::endError() {
  closeConfirmPress();
  if (givenUp_ > 0) {
    int left = 0;
    for (int row = 0; row < host.items->itemCount(); ++row)
      left += host.items->item(row).done() ? 0 : 1;
    log(QStringLiteral("済にならなかったファイルが%1件あります").arg(left));
  }
  const bool boxes = errorBoxes_ && !quietBoxes();
  QString text;
  if (errorNumber_ > 0) {
    const QString detail =
        QString::number(errorNumber_) + QLatin1Char(':') + errorText_;
    log(detail);
    text = QStringLiteral("エラーが発生しました。m(__)m\n") + detail;
    errorNumber_ = 0;
  } else {
    text = QStringLiteral("エラーが発生しました。ログを確認してください。m(__)"
                          "m\nログインで失敗する場合はIEでログインまたはログア"
                          "ウトしておいてから実行してください。");
  }
  // The log tells what went wrong whether or not a box is shown: after an
  // unattended run the log is all the user has.
  for (const QString &line : text.split(QLatin1Char('\n')))
    log(line);
  if (boxes)
    QMessageBox::warning(nullptr, QStringLiteral("Sendora"), text);
  return false;
}

bool ScriptContext::endings(Flow flow) {
  switch (flow) {
  case Flow::Continue:
  case Flow::Success:
    // A pass that gave up any item did not end well, whatever came after.
    return givenUp_ > 0 ? endError() : true;
  case Flow::Quiet:
    closeConfirmPress();
    // A stop the run raised itself (no chooser could be served) is a
    // failure, not the user's stop.
    return chooserFailed_ ? endError() : false;
  case Flow::Error:
    return endError();
  }
  return false;
}

bool ScriptContext::run(const QVector<std::function<Flow()>> &steps) {
  for (const auto &step : steps) {
    const Flow f = step();
    if (f != Flow::Continue)
      return endings(f);
  }
  return endings(Flow::Success);
}

Flow ScriptContext::followFoundOnce(
    const QString &name, const std::function<int()> &find, Flow exhausted,
    const std::function<int(int)> &pageWait,
    const std::function<void(int)> &beforeClick) {
  log(name + QStringLiteral("検索"));
  return retryLoop(
      [&](int) {
        const int i = find();
        if (stopped())
          return Try::Leave;
        if (i <= 0) {
          log(name + QStringLiteral("が見つかりませんでした"));
          return Try::Failure;
        }
        log(name + QStringLiteral("押下"));
        if (beforeClick)
          beforeClick(i);
        clickElement(i);
        const int r = pageWait ? pageWait(0) : wait(0);
        if (stopped())
          return Try::Leave;
        if (r == 0) {
          log(name + QStringLiteral("押下完了"));
          return Try::Success;
        }
        log(QStringLiteral("応答なし1"));
        return Try::Failure;
      },
      exhausted);
}

Flow ScriptContext::settleSequence(const QStringList &pauseLines, int seconds) {
  // A stop is looked at before the result: a wait cut short by a stop is
  // not a failed page.
  auto settleWait = [this](const QString &line) {
    log(line);
    const int r = wait(1);
    if (stopped())
      return Flow::Quiet;
    return r != 0 ? Flow::Error : Flow::Continue;
  };
  Flow f = settleWait(QStringLiteral("ページ読込開始"));
  for (int k = 0; k < pauseLines.size() && f == Flow::Continue; ++k) {
    log(pauseLines[k]);
    pauseSec(seconds);
    if (stopped())
      return Flow::Quiet;
    f = settleWait(QStringLiteral("ページ読込開始%1").arg(k + 2));
  }
  return f;
}

Flow ScriptContext::settleTwice(int seconds, const QString &secondPauseLine) {
  return settleSequence({QStringLiteral("ページ切替待ち開始"), secondPauseLine},
                        seconds);
}

Flow ScriptContext::goBackAfterUpload(const QString &failLine) {
  log(QStringLiteral("戻る開始"));
  web()->GoBack();
  const Flow f = retryLoop([this](int) {
    const int r = wait(0);
    if (stopped())
      return Try::Leave;
    if (r == 0) {
      log(QStringLiteral("戻る完了"));
      return Try::Success;
    }
    log(QStringLiteral("応答なし1"));
    return Try::Failure;
  });
  if (f != Flow::Continue)
    return f;
  // The page is back; a slow finish of it is no reason to stop the run.
  auto looseWait = [&](const QString &line) {
    log(line);
    const int r = wait(1);
    if (!stopped() && r != 0)
      log(failLine);
  };
  looseWait(QStringLiteral("ページ読込開始"));
  if (stopped())
    return Flow::Quiet;
  log(QStringLiteral("ページ切替待ち開始"));
  pauseSec(settingInt(UpPageWait));
  if (stopped())
    return Flow::Quiet;
  looseWait(QStringLiteral("ページ読込開始2"));
  return stopped() ? Flow::Quiet : Flow::Continue;
}

ScanResult ScriptContext::scanPageListing(const QVector<Target> &targets,
                                          const Target &every,
                                          QVector<Option> &listed,
                                          const QString &listedProperty) {
  listed.clear();
  QVector<Target> all = targets;
  all << every;
  QStringList props = scanProperties(all);
  if (!listedProperty.isEmpty() && !props.contains(listedProperty))
    props << listedProperty;
  const Snapshot rows = web()->snapshot(props, scanTags(all));
  QCoreApplication::processEvents();
  const ScanResult r = scanSnapshot(rows, props, targets);
  rememberFound(rows, props, targets, r);
  // A first-hit target that was found ended the scan on its element.
  int end = rows.size() - 1;
  for (int k = 0; k < targets.size(); ++k)
    if (targets[k].hit == Hit::First && r.found(k))
      end = r[k];
  const int column =
      props.indexOf(every.match == Match::Alt ? QStringLiteral("alt")
                                              : every.property) +
      1;
  const int shown =
      listedProperty.isEmpty() ? column : props.indexOf(listedProperty) + 1;
  for (int i = 0; i <= end && i < rows.size(); ++i) {
    const QStringList &row = rows[i];
    if (row.isEmpty() || row[0] != every.tag || column <= 0 ||
        column >= row.size())
      continue;
    if (matches(every, row[column]))
      listed.append(
          {shown > 0 && shown < row.size() ? row[shown] : row[column], i});
  }
  return r;
}

Try ScriptContext::waitForNextPage() {
  int r = wait(0);
  if (stopped())
    return Try::Leave;
  if (r != 0) {
    log(QStringLiteral("応答なし1"));
    return Try::Failure;
  }
  log(QStringLiteral("ページ読込開始"));
  r = wait(1);
  if (stopped())
    return Try::Leave;
  if (r != 0) {
    log(QStringLiteral("応答なし2"));
    return Try::Failure;
  }
  return Try::Success;
}
