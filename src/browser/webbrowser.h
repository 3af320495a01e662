// The embedded browser the scripts drive. Every call is synchronous for the
// caller: it pumps the Qt event loop while it waits for the page process, so
// the window stays alive, timers fire and a stop is noticed.
#pragma once
#include <QJsonArray>
#include <QPointer>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <QVector>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <functional>

class QFileDialog;

inline const char *const kServerNotFoundTitle = "サーバーが見つかりません。";
inline const char *const kScriptDialogCaption = "Web ページからのメッセージ";
inline const char *const kFileChooserCaption = "ファイルの選択";

class WebBrowser;

// What an element was when a scan found it: its tag and the value of the
// property it was matched by. An action that carries it is refused when
// the element at that place is no longer the same one (the page changed
// between the scan and the action).
struct ElementGuard {
  QString tag;
  QString property;
  QString value;
};

class BrowserPage : public QWebEnginePage {
  Q_OBJECT
public:
  BrowserPage(QWebEngineProfile *profile, WebBrowser *owner);

protected:
  QStringList chooseFiles(FileSelectionMode mode, const QStringList &oldFiles,
                          const QStringList &acceptedMimeTypes) override;
  void javaScriptAlert(const QUrl &securityOrigin, const QString &msg) override;
  bool javaScriptConfirm(const QUrl &securityOrigin,
                         const QString &msg) override;
  bool javaScriptPrompt(const QUrl &securityOrigin, const QString &msg,
                        const QString &defaultValue, QString *result) override;
  void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level,
                                const QString &message, int lineNumber,
                                const QString &sourceID) override;

private:
  WebBrowser *owner_;
};

class WebBrowser : public QWebEngineView {
  Q_OBJECT
public:
  explicit WebBrowser(QWidget *parent = nullptr);
  ~WebBrowser() override;

  // Navigation and state.
  void Navigate(const QString &url);
  bool Busy() const;
  // 1 loading, 3 interactive (the document can be read), 4 complete.
  int ReadyState() const { return readyState_; }
  // The page title, or the server-not-found title after a main-frame load
  // that failed for a network reason.
  QString documentTitle() const;
  void GoBack();

  // true: the page's script dialogs are not shown (alert dismissed, confirm
  // answered false, prompt cancelled); false: real modal message boxes.
  bool Silent = true;

  // Element access by index into document.all.
  int elementCount();
  // One script call: for every element, its trimmed lower-cased nodename
  // followed by the requested properties. Properties are computed only for
  // elements whose tag is in `tags` (all elements when `tags` is empty);
  // the others carry empty strings. `tagProperties`, when given, narrows
  // this per tag: an element of tags[k] gets only tagProperties[k] (the
  // other columns of its row stay empty), since some properties (innerText
  // above all, which lays the page out) are costly to read.
  QVector<QStringList> snapshot(const QStringList &properties,
                                const QStringList &tags = {},
                                const QVector<QStringList> &tagProperties = {});
  // Counts the snapshots taken by any browser: what one scan found is
  // only known to be current until the next one is taken.
  static quint64 snapshotSerial();
  QString getProperty(int index, const QString &property);
  bool setProperty(int index, const QString &property, const QVariant &value,
                   const ElementGuard *guard = nullptr);
  // Acts like a user's click. A file input gets a real mouse click (a
  // hidden one through a click that gives the page a user gesture) and the
  // call returns only after the file chooser it opened has closed (or none
  // opened within a bound). A click that starts a navigation returns once
  // the load has begun, so a page wait right after it waits for that load.
  bool Click(int index, const ElementGuard *guard = nullptr);
  // True once after a click that should have loaded a page (a link, a
  // submit) started no load, or that was refused because the element had
  // changed: the page wait that follows reports a failed page.
  bool takeClickFailure();
  // A click the caller will not make because the page changed: the wait
  // that follows fails as after a refused click.
  void refuseClick() { clickFailed_ = elementChanged_ = true; }
  // The last guarded action was refused because the element had changed.
  bool elementChanged() const { return elementChanged_; }

  // Runs a script in the page and waits for its result (invalid on time-out
  // or when the page went away).
  QVariant evaluate(const QString &script, int timeoutMs = 30000);

  // Called when the page asks for a new window; the owner decides where
  // it opens (left unanswered, the request is dropped).
  std::function<void(QWebEngineNewWindowRequest &)> onNewWindow;

  // Set while a file chooser opened by this browser is on screen.
  bool chooserOpen() const { return chooserOpen_; }
  // Number of file choosers this browser has opened so far.
  int choosersOpened() const { return choosersOpened_; }

  // A file input was clicked and its chooser has not opened yet: whoever
  // serves choosers should wait for it rather than give up.
  static bool awaitingChooser();
  // Tests: how long the chooser takes to appear after the click.
  static int chooserDelayMs;

  // Shared profile of both browser windows (cookies survive between them).
  static QWebEngineProfile *sharedProfile();

  // Recording the user's own actions in the page. From startRecording on,
  // every page reports each click the user makes, before the page acts on
  // it, and each new value of a field (never of a password field); a file
  // chooser the page opens is answered empty at once, since nobody picks a
  // file while recording.
  struct Recorded {
    bool click = false; // true: a click; false: a field's new value
    int index = 0;      // the element clicked or edited (document.all)
    int link = 0;       // click: the link or button around it, 0 if none
    // Click: the page at that moment, as snapshot() gives it for
    // `properties` and the tags of `index` and `link` (a password
    // field's Value reads empty).
    QVector<QStringList> snapshot;
    QString value; // edit: the field's value
  };
  void startRecording(const QStringList &properties);
  std::function<void(const Recorded &)> onRecorded;

signals:
  // Busy or ReadyState may have changed: a load began, the document became
  // readable or the load ended. Waits sleep between polls until this or
  // their poll time, so they see the change at once.
  void loadStateChanged();

private:
  friend class BrowserPage;
  void markInteractive();
  bool clickFileInput(const QJsonArray &point);
  void setAwaitingChooser(bool awaiting);
  void recorded(const QString &message);

  BrowserPage *page_;
  int readyState_ = 4;
  bool loading_ = false;
  bool engineLoading_ = false; // between the engine's start and end reports
  bool networkFailure_ = false;
  bool chooserOpen_ = false;
  QPointer<QFileDialog> spentChooser_; // closed, taken down at the next
  int choosersOpened_ = 0;
  bool fileClickPending_ = false; // a file click waits for its chooser
  bool awaitingCounted_ = false;
  int lateChoosers_ = 0;      // choosers still to come for unanswered clicks
  int choosersRequested_ = 0; // asked for by the page, shown or not
  bool clickFailed_ = false;
  bool elementChanged_ = false;
  quint64 newWindowSerial_ = 0;
  quint64 navigationSerial_ = 0;
  bool recording_ = false;
  QStringList recordProperties_;
};
