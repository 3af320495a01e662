// What every service script is built from: page-element operations, phase
// operations and the three endings. A service script reads as its page
// vocabulary (the targets) plus its step table (a list of phases run in
// order until one of them ends the pass).
#pragma once
#include "pagescan.h"

#include "browser/webbrowser.h"
#include "core/runreport.h"

#include <QHash>

#include <QString>
#include <QVector>

#include <functional>
#include <optional>

class ItemListModel;
class QTimer;

// How a phase left things: go on with the next phase, or end the pass.
enum class Flow { Continue, Success, Quiet, Error };

// How one attempt inside a retry loop went.
enum class Try {
  Success, // leave the loop, go on
  Failure, // next attempt
  Leave,   // leave the loop at once (a stop, or the step says so)
  Error    // end the pass through the error ending
};

// What the script needs from the program around it.
struct ScriptHost {
  ItemListModel *items = nullptr;
  QTimer *sansho = nullptr;          // the file-dialog service timer
  std::function<void()> saveList;    // writes the list file
  std::function<WebBrowser *()> web; // the browser the script drives
};

// The login form of a service.
struct LoginForm {
  Target account;
  Target password;
  Target button;
  std::optional<Target> loggedInMarker; // shows the user is logged in
  // Missing form elements: take the user as logged in (true) or try again.
  bool assumeLoggedIn = true;
  QString pressLine = QStringLiteral("ログイン押下");
  QString buttonNotFoundLine; // logged when the marker is missing too
  // Pause UpPageWait between the press and the wait for the next page.
  bool pauseAfterPress = false;
  // Services name their login phase after their own button, and some never
  // run the companion tool around it.
  QString searchLine = QStringLiteral("ログイン検索");
  QString doneLine = QStringLiteral("ログイン押下完了");
  bool companionTool = true;
};

class ScriptContext {
public:
  ScriptContext(ScriptHost host, bool errorBoxes);

  // --- element operations ------------------------------------------------
  WebBrowser *web() const;
  ScanResult scanPage(const QVector<Target> &targets);
  void setValue(int i, const QString &text);
  void clickElement(int i);
  void setCheckbox(int i, bool wanted, const QString &onText,
                   const QString &offText);
  void selectOption(int k);
  QString readText(int i);
  QString readProperty(int i, const QString &property);

  // --- phases ------------------------------------------------------------
  // Attempts 1..RetryCount with a second's pause and "リトライします(n)"
  // between them. Exhausted: "リトライしたが失敗" and `exhausted`.
  Flow retryLoop(const std::function<Try(int attempt)> &attempt,
                 Flow exhausted = Flow::Error);
  Flow openStartPage();
  // Waits for the page, pauses, waits again; without the pause only the
  // first wait.
  Flow settlePage(int seconds, bool withPause = true);
  // One login attempt of a form (input, companion tool, press, wait).
  Try pressLoginForm(const LoginForm &form, const ScanResult &found,
                     int account, int password, int button);
  Flow logIn(const LoginForm &form);
  Flow checkLogin(const Target &accountField);
  // Two waits per attempt ("ページ読込開始" inside), then settle.
  Flow followLink(const QString &text);
  // One wait per attempt; the settle that follows is the caller's. `link`
  // replaces the exact-text link when the page's link is found otherwise;
  // `text` still names it in the log.
  Flow followLinkOnce(const QString &text,
                      const std::optional<Target> &link = std::nullopt);
  // `label` names the link in the log lines ("サインアウト検索", ...).
  // `settle` (when given) replaces the pause and wait after the log-out.
  Flow logOut(const Target &logoutLink, bool twoWaits,
              const QString &label = QStringLiteral("ログアウト"),
              const std::function<Flow()> &settle = {});

  // --- the upload of items -------------------------------------------------
  // Selects the file for the item through the page's file input. Leave
  // when stopped or when the chooser could not be served (the run stops).
  // `lineEachAttempt` logs "参照ボタン押下" before every attempt instead of
  // once.
  Try handOffFile(int fileInput, const QString &path,
                  bool lineEachAttempt = false);
  // The FC2-form submit with its waits; `confirmArgument` non-empty starts
  // the companion tool around the click.
  // `button` names the submit button in the log; `secondLoadLine` is the
  // line of the wait after the pause.
  Try submitUpload(
      int submitButton, const QString &confirmArgument = {},
      const QString &button = QStringLiteral("アップロード"),
      const QString &secondLoadLine = QStringLiteral("ページ読込開始2"));
  // Confirmation found: URL list (when on) and done mark. Not found: the
  // item stays pending and the attempt fails.
  Try verifyUpload(int row, const Target &confirmation);
  void markDone(int row);
  void addUrlFromText(const QString &text);

  // Walks the pending rows; each row runs `attempt` in a retry loop.
  // A row whose attempts all failed its verification stays pending and the
  // walk goes on; other exhausted rows end the pass with an error.
  Flow uploadItems(const QString &searchLine,
                   const std::function<Try(int row)> &attempt);
  bool lastFailureWasVerification = false;
  // Before a row's file goes to the chooser: is it an existing, readable
  // regular file? If not the row is logged, given up and left unsent.
  bool fileReady(int row);
  // The row stays unmarked in this pass for `reason`; the pass then ends
  // as a failure whatever comes after.
  void giveUp(int row, LeftReason reason);
  int givenUp() const { return givenUp_; }
  // An upload was submitted and the page answered it.
  void noteSent() { runReport().itemSent(); }

  // What the last scan found, so that every action on one of its elements
  // first checks that it is still the same element.
  void rememberFound(const Snapshot &rows, const QStringList &props,
                     const QVector<Target> &targets, const ScanResult &found);
  void rememberElement(const Snapshot &rows, const QStringList &props,
                       int index, const QString &property);
  void forgetFound();

  // --- companion program ---------------------------------------------------
  bool launchConfirmPress(const QString &argument);
  void closeConfirmPress();
  bool confirmPressRunning = false;

  // --- endings -----------------------------------------------------------
  bool endings(Flow flow);
  bool endError();
  // A run-time error to report in the error ending.
  void setError(int number, const QString &description);

  // --- the step table ------------------------------------------------------
  // Runs the phases in order until one does not continue; the pass's
  // result through the matching ending.
  bool run(const QVector<std::function<Flow()>> &steps);

  QString itemPath(int row) const;
  bool stopped() const;

  ScriptHost host;

  // A link step with one page wait per attempt, for links that a target
  // alone cannot find or that need touching first: "<name>検索", then per
  // attempt the element `find` returns (0: not found), "<name>押下",
  // `beforeClick` on it, the click and one wait through `pageWait` (the
  // primary window's when empty), "<name>押下完了". Attempts used up:
  // "リトライしたが失敗" and `exhausted`. The settle is the caller's.
  Flow followFoundOnce(const QString &name, const std::function<int()> &find,
                       Flow exhausted = Flow::Error,
                       const std::function<int(int mode)> &pageWait = {},
                       const std::function<void(int)> &beforeClick = {});

  // Two settles in a row for pages that go on loading after they first
  // complete: "ページ読込開始", "ページ切替待ち開始" and a pause,
  // "ページ読込開始2", `secondPauseLine` and a pause, "ページ読込開始3".
  Flow settleTwice(int seconds, const QString &secondPauseLine =
                                    QStringLiteral("ページ切替待ち開始"));
  // One page back after an upload, for services whose result page has no
  // form: "戻る開始", the step back, "戻る完了" once it shows (never:
  // "リトライしたが失敗" and the error ending), then a settle whose failed
  // waits only log `failLine`.
  Flow goBackAfterUpload(const QString &failLine);
  // scanPage that also lists every element matching `every` (the value of
  // `listedProperty`, the matched property when empty, and its position) as
  // far as the scan went.
  ScanResult scanPageListing(const QVector<Target> &targets,
                             const Target &every, QVector<Option> &listed,
                             const QString &listedProperty = QString());

  // A settle of several page waits with a pause of `seconds` before each
  // but the first: "ページ読込開始", then per entry of `pauseLines` that
  // line, the pause, and "ページ読込開始2", "ページ読込開始3", ... A failed
  // wait ends the pass with an error, a stop quietly.
  Flow settleSequence(const QStringList &pauseLines, int seconds);

  // The two waits after an action that loads a page: "応答なし1" when the
  // page does not start, "ページ読込開始", "応答なし2" when it does not
  // finish.
  Try waitForNextPage();

private:
  const ElementGuard *guardOf(int i) const;
  // Sets a property of a scanned element, unless it is no longer the one.
  void setGuarded(int i, const QString &property, const QVariant &value);
  // A guarded action was refused: the page is not the one scanned.
  void pageChanged();
  // Ends a pass that gave items up: how many are left, then the error
  // ending.
  bool endGivenUp();

  QHash<int, ElementGuard> guards_;
  quint64 guardSerial_ = 0; // the snapshot the guards come from
  bool pageChanged_ = false;
  // A refused action is only news about the page the guards come from.
  bool pageChangedNow() const;
  int givenUp_ = 0;
  bool chooserFailed_ = false;
  bool errorBoxes_;
  int errorNumber_ = 0;
  QString errorText_;
};

// The message given to every page wait.
QString networkMessage();
// Number setting as a count of seconds or attempts.
int retryCount();
