// The embedded browser the scripts drive. Every call is synchronous for the
// caller: it pumps the Qt event loop while it waits for the page process, so
// the window stays alive, timers fire and a stop is noticed.
#pragma once
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <QVector>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <functional>

inline const char *const kServerNotFoundTitle = "サーバーが見つかりません。";
inline const char *const kScriptDialogCaption = "Web ページからのメッセージ";
inline const char *const kFileChooserCaption = "ファイルの選択";

class WebBrowser;

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
  QString getProperty(int index, const QString &property);
  bool setProperty(int index, const QString &property, const QVariant &value);
  // Acts like a user's click. A file input gets a real mouse click and the
  // call returns only after the file chooser it opened has closed (or none
  // opened within a bound). A click that starts a navigation returns once
  // the load has begun, so a page wait right after it waits for that load.
  bool Click(int index);

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

  // Shared profile of both browser windows (cookies survive between them).
  static QWebEngineProfile *sharedProfile();

signals:
  // Busy or ReadyState may have changed: a load began, the document became
  // readable or the load ended. Waits sleep between polls until this or
  // their poll time, so they see the change at once.
  void loadStateChanged();

private:
  friend class BrowserPage;
  void markInteractive();

  BrowserPage *page_;
  int readyState_ = 4;
  bool loading_ = false;
  bool engineLoading_ = false; // between the engine's start and end reports
  bool networkFailure_ = false;
  bool chooserOpen_ = false;
  int choosersOpened_ = 0;
  quint64 navigationSerial_ = 0;
};
