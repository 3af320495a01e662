#include "webbrowser.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QInputDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

#include "core/runstate.h"

#include <algorithm>
#include <memory>

namespace {
const char *const kReadyMarker = "__sendora_document_ready__";
// The longest a file click waits for its chooser to appear, and the longest
// a chooser the automation opened may stay open.
constexpr int kChooserAppearMs = 15000;
constexpr int kChooserBoundMs = 60000;
// A file click that opened no chooser within this is sent again, at most
// kClickSends times in all.
constexpr int kClickResendMs = 1500;
constexpr int kClickSends = 3;
// The longest a click on a link or a submit waits for its load to begin.
constexpr int kLoadStartMs = 5000;
int awaitingChooserCount = 0;
quint64 snapshotCount = 0;

// Reads one property the way the scripts name it. Values come back as
// strings: booleans as "true"/"false", missing ones as "". The reader of a
// name is looked up once per scan, not once per element.
const char *const kGetter = R"JS(
function __sdrReader(p) {
  switch (p) {
  case 'nodename': return function(e) { return e.nodeName; };
  case 'Name': return function(e) {
    return e.getAttribute ? e.getAttribute('name') : null; };
  case 'Value': return function(e) { return e.value; };
  case 'innerText': return function(e) {
    return (e.nodeName === 'OPTION') ? e.text : e.innerText; };
  case 'innerHtml': return function(e) { return e.innerHTML; };
  case 'outerHTML': return function(e) { return e.outerHTML; };
  case 'alt': return function(e) {
    return e.getAttribute ? e.getAttribute('alt') : null; };
  case 'href': return function(e) { return e.href; };
  case 'className': case 'Class': return function(e) {
    return e.getAttribute ? e.getAttribute('class') : null; };
  case 'Id': return function(e) { return e.id; };
  case 'Type': return function(e) { return e.type; };
  case 'Target': return function(e) { return e.target; };
  case 'Checked': return function(e) { return e.checked; };
  case 'Selected': return function(e) { return e.selected; };
  default: return function(e) { return e[p]; };
  }
}
function __sdrText(v) {
  if (v === undefined || v === null) return '';
  if (typeof v === 'boolean') return v ? 'true' : 'false';
  if (typeof v === 'object') return '';
  return String(v);
}
function __sdrGet(e, p) { return __sdrText(__sdrReader(p)(e)); }
)JS";

// One pass over the elements in the order of document.all (the same list
// as getElementsByTagName('*'), which the engine walks faster). A record is the
// element's trimmed lower-case node name, then the wanted columns of its tag;
// columns its tag does not want are left empty and trailing empty ones are not
// sent at all. Node names repeat, so each is lower-cased and looked up once.
const char *const kSnapshot = R"JS(
(function(props, tags, want) {
  var all = document.getElementsByTagName('*'), n = all.length;
  var out = new Array(n);
  var US = '\u001f', bad = /[\u001e\u001f]/, badAll = /[\u001e\u001f]/g;
  var readers = props.map(__sdrReader), every = [];
  for (var k = 0; k < props.length; k++) every.push(k);
  var plan = new Map();
  for (var t = 0; t < tags.length; t++)
    plan.set(tags[t], want.length ? want[t] : every);
  var byName = new Map(); // node name -> [lower-case name, columns]
  for (var i = 0; i < n; i++) {
    var e = all[i], raw = e.nodeName, seen = byName.get(raw);
    if (seen === undefined) {
      var low = String(raw || '').trim().toLowerCase();
      seen = [low, tags.length ? plan.get(low) : every];
      byName.set(raw, seen);
    }
    var nn = seen[0], cols = seen[1];
    if (!cols || !cols.length) { out[i] = nn; continue; }
    var rec = nn, at = 0;
    for (var c = 0; c < cols.length; c++) {
      var col = cols[c], v;
      for (; at <= col; at++) rec += US;
      try { v = __sdrText(readers[col](e)); } catch (x) { v = ''; }
      if (bad.test(v)) v = v.replace(badAll, ' ');
      rec += v;
    }
    out[i] = rec;
  }
  return out.join('\u001e');
})
)JS";

QString jsString(const QString &s) {
  QJsonArray a{s};
  const QByteArray j = QJsonDocument(a).toJson(QJsonDocument::Compact);
  return QString::fromUtf8(j.mid(1, j.size() - 2));
}

QString jsArray(const QStringList &l) {
  return QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(l))
                               .toJson(QJsonDocument::Compact));
}

// The page's flat snapshot text: records split by U+001E, fields by U+001F.
QVector<QStringList> parseSnapshot(const QString &flat, int propertyCount) {
  QVector<QStringList> rows;
  if (flat.isEmpty())
    return rows;
  const QList<QStringView> records = QStringView(flat).split(QChar(0x1e));
  rows.reserve(records.size());
  for (QStringView rec : records) {
    QStringList row;
    row.reserve(propertyCount + 1);
    for (QStringView f : rec.split(QChar(0x1f)))
      row << f.toString();
    while (row.size() < propertyCount + 1)
      row << QString();
    rows << row;
  }
  return rows;
}

const char *const kRecordMarker = "__sendora_record__";

// Installed in every document while recording, in the script world of the
// program (the page's own scripts cannot see or undo it). A capture
// listener on the window hears a click before the page does, and reports
// it with the page as it is at that moment: a click on a link usually
// replaces the page right after.
const char *const kRecorder = R"JS(
(function(props, mark){
  if (window.__sdrRec) return;
  window.__sdrRec = true;
  var RS = '\u001e', US = '\u001f', bad = /[\u001e\u001f]/g;
  function index(e) { return Array.prototype.indexOf.call(document.all, e); }
  function get(e, p) {
    // What the user types as a password is never read.
    if (p === 'Value' && String(e.type || '').toLowerCase() === 'password')
      return '';
    try { return __sdrGet(e, p); } catch (x) { return ''; }
  }
  function snap(tags) {
    var all = document.all, n = all.length, out = new Array(n);
    for (var i = 0; i < n; i++) {
      var e = all[i], nn = String(e.nodeName || '').trim().toLowerCase();
      var rec = nn;
      if (tags.indexOf(nn) >= 0)
        for (var k = 0; k < props.length; k++)
          rec += US + get(e, props[k]).replace(bad, ' ');
      out[i] = rec;
    }
    return out.join(RS);
  }
  function send(o) { console.log(mark + JSON.stringify(o)); }
  window.addEventListener('click', function(ev) {
    if (!ev.isTrusted) return;
    var e = ev.target;
    if (e && e.nodeType !== 1) e = e.parentElement;
    if (!e) return;
    // A label hands the click on to its control, which reports it then.
    if (e.nodeName === 'LABEL' && e.control) return;
    var l = e.parentElement ? e.parentElement.closest('a[href],button') : null;
    var tags = [String(e.nodeName).toLowerCase()];
    if (l) tags.push(String(l.nodeName).toLowerCase());
    send({k: 'c', i: index(e), l: l ? index(l) : 0, s: snap(tags)});
  }, true);
  function edited(ev) {
    var e = ev.target, t = e && e.nodeName;
    if (t !== 'INPUT' && t !== 'TEXTAREA' && t !== 'SELECT') return;
    var ty = String(e.type || '').toLowerCase();
    if (/^(password|file|checkbox|radio|submit|button|reset|image)$/.test(ty))
      return;
    send({k: 'v', i: index(e), v: String(e.value)});
  }
  window.addEventListener('input', edited, true);
  window.addEventListener('change', edited, true);
})
)JS";

// A stop asked for during a wait ends it: a wait that began while no run
// was going (the flag is up then) is bounded by its time alone.
class StopWatch {
public:
  StopWatch() : armed_(!StopRequested) {}
  bool stopped() const { return armed_ && StopRequested; }

private:
  bool armed_;
};

// Pumps events until `done` is true, the time is up or a stop is asked for.
// With `browser`, each step of its load ends a pump at once, so that a
// wait for a load to begin or end sees it without a poll's delay.
bool pumpUntil(const std::function<bool()> &done, int timeoutMs,
               WebBrowser *browser = nullptr) {
  QElapsedTimer t;
  t.start();
  const StopWatch stop;
  while (!done()) {
    if (t.elapsed() >= timeoutMs || stop.stopped())
      return false;
    QEventLoop loop;
    QTimer::singleShot(2, &loop, &QEventLoop::quit);
    if (browser)
      QObject::connect(browser, &WebBrowser::loadStateChanged, &loop,
                       &QEventLoop::quit);
    loop.exec();
  }
  return true;
}
} // namespace

BrowserPage::BrowserPage(QWebEngineProfile *profile, WebBrowser *owner)
    : QWebEnginePage(profile, owner), owner_(owner) {}

QStringList BrowserPage::chooseFiles(FileSelectionMode mode,
                                     const QStringList &oldFiles,
                                     const QStringList &acceptedMimeTypes) {
  Q_UNUSED(oldFiles);
  Q_UNUSED(acceptedMimeTypes);
  if (owner_->recording_)
    return {};
  QPointer<WebBrowser> owner(owner_);
  // The click that asked for it has already given up: nobody would serve
  // this chooser, and it would hold the run for ever.
  if (!owner->fileClickPending_ && owner->lateChoosers_ > 0) {
    --owner->lateChoosers_;
    return {};
  }
  ++owner->choosersRequested_;
  const bool automated = owner->fileClickPending_;
  if (automated && WebBrowser::chooserDelayMs > 0) {
    QEventLoop late;
    QTimer::singleShot(WebBrowser::chooserDelayMs, &late, &QEventLoop::quit);
    late.exec();
    if (!owner)
      return {};
  }
  owner->setAwaitingChooser(false);
  // A widget dialog (not the desktop's native one) so that the automation
  // can find it among the program's own windows and fill it. Modal to the
  // browser window only, so that the main window's 中止 stays reachable.
  // The last one is taken down here rather than when it closed: that
  // (its folder model and watcher threads) costs more than all the rest of
  // an item's automation, and the way back to the page after Open is where
  // a run waits for it, while here the chooser service has not ticked yet.
  delete owner->spentChooser_;
  QPointer<QFileDialog> dlg =
      new QFileDialog(owner->window(), QString::fromUtf8(kFileChooserCaption));
  dlg->setOption(QFileDialog::DontUseNativeDialog);
  dlg->setFileMode(mode == FileSelectOpenMultiple ? QFileDialog::ExistingFiles
                                                  : QFileDialog::ExistingFile);
  dlg->setAcceptMode(QFileDialog::AcceptOpen);
  // The automation finds the button by this caption, whatever the language.
  dlg->setLabelText(QFileDialog::Accept, QStringLiteral("開く(&O)"));
  dlg->setWindowModality(Qt::WindowModal);
  owner->chooserOpen_ = true;
  ++owner->choosersOpened_;
  // A chooser the automation opened never outlives a stop, nor a bound
  // that no serving takes anywhere near.
  QTimer watch;
  QElapsedTimer open;
  open.start();
  if (automated) {
    QObject::connect(&watch, &QTimer::timeout, dlg, [&] {
      if (StopRequested || open.elapsed() > kChooserBoundMs)
        dlg->reject();
    });
    watch.start(100);
  }
  QStringList chosen;
  // The browser window may go while the chooser is up, and the dialog
  // with it.
  if (dlg->exec() == QDialog::Accepted && dlg)
    chosen = dlg->selectedFiles();
  if (owner) {
    owner->chooserOpen_ = false;
    // A chooser asked for while this one was up has already been spent.
    delete owner->spentChooser_;
    owner->spentChooser_ = dlg;
    // Until then no search by caption may take it for a chooser.
    if (dlg)
      dlg->setWindowTitle(QString());
  }
  return chosen;
}

void BrowserPage::javaScriptAlert(const QUrl &, const QString &msg) {
  if (owner_->Silent)
    return;
  QMessageBox box(QMessageBox::Warning, QString::fromUtf8(kScriptDialogCaption),
                  msg, QMessageBox::Ok, owner_->window());
  box.exec();
}

bool BrowserPage::javaScriptConfirm(const QUrl &, const QString &msg) {
  if (owner_->Silent)
    return false;
  QMessageBox box(QMessageBox::Question,
                  QString::fromUtf8(kScriptDialogCaption), msg,
                  QMessageBox::Ok | QMessageBox::Cancel, owner_->window());
  box.setDefaultButton(QMessageBox::Ok);
  return box.exec() == QMessageBox::Ok;
}

bool BrowserPage::javaScriptPrompt(const QUrl &, const QString &msg,
                                   const QString &defaultValue,
                                   QString *result) {
  if (owner_->Silent)
    return false;
  bool ok = false;
  const QString text = QInputDialog::getText(
      owner_->window(), QString::fromUtf8(kScriptDialogCaption), msg,
      QLineEdit::Normal, defaultValue, &ok);
  if (ok && result)
    *result = text;
  return ok;
}

void BrowserPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel,
                                           const QString &message, int,
                                           const QString &) {
  if (message == QLatin1String(kReadyMarker))
    owner_->markInteractive();
  else if (message.startsWith(QLatin1String(kRecordMarker)))
    owner_->recorded(message.mid(int(qstrlen(kRecordMarker))));
}

QWebEngineProfile *WebBrowser::sharedProfile() {
  // One profile for both windows so that a login made in one is seen in
  // the other; kept in memory for the life of the process.
  static QWebEngineProfile *profile = [] {
    auto *p = new QWebEngineProfile(qApp);
    QWebEngineScript ready;
    ready.setName(QStringLiteral("sendora-ready"));
    ready.setInjectionPoint(QWebEngineScript::DocumentReady);
    ready.setWorldId(QWebEngineScript::MainWorld);
    ready.setRunsOnSubFrames(false);
    ready.setSourceCode(
        QStringLiteral("console.log('%1');").arg(QLatin1String(kReadyMarker)));
    p->scripts()->insert(ready);
    return p;
  }();
  return profile;
}

WebBrowser::WebBrowser(QWidget *parent) : QWebEngineView(parent) {
  page_ = new BrowserPage(sharedProfile(), this);
  setPage(page_);
  connect(page_, &QWebEnginePage::loadStarted, this, [this] {
    engineLoading_ = true;
    loading_ = true;
    readyState_ = 1;
    networkFailure_ = false;
    ++navigationSerial_;
    emit loadStateChanged();
  });
  connect(page_, &QWebEnginePage::loadingChanged, this,
          [this](const QWebEngineLoadingInfo &info) {
            if (info.status() != QWebEngineLoadingInfo::LoadFailedStatus)
              return;
            const auto d = info.errorDomain();
            if (d == QWebEngineLoadingInfo::ConnectionErrorDomain ||
                d == QWebEngineLoadingInfo::DnsErrorDomain)
              networkFailure_ = true;
          });
  connect(page_, &QWebEnginePage::loadFinished, this, [this](bool) {
    engineLoading_ = false;
    loading_ = false;
    readyState_ = 4;
    emit loadStateChanged();
  });
  connect(page_, &QWebEnginePage::newWindowRequested, this,
          [this](QWebEngineNewWindowRequest &request) {
            ++newWindowSerial_;
            if (onNewWindow)
              onNewWindow(request);
          });
}

WebBrowser::~WebBrowser() { setAwaitingChooser(false); }

void WebBrowser::markInteractive() {
  if (loading_ && readyState_ < 3) {
    readyState_ = 3;
    emit loadStateChanged();
  }
}

void WebBrowser::startRecording(const QStringList &properties) {
  recordProperties_ = properties;
  recording_ = true;
  const QString source =
      QString::fromUtf8(kGetter) + QString::fromUtf8(kRecorder) +
      QStringLiteral("(%1,%2);")
          .arg(jsArray(properties), jsString(QLatin1String(kRecordMarker)));
  QWebEngineScript script;
  script.setName(QStringLiteral("sendora-recorder"));
  script.setInjectionPoint(QWebEngineScript::DocumentCreation);
  script.setWorldId(QWebEngineScript::ApplicationWorld);
  script.setRunsOnSubFrames(false);
  script.setSourceCode(source);
  page_->scripts().insert(script);
  // The page already shown gets it too.
  evaluate(source);
}

void WebBrowser::recorded(const QString &message) {
  if (!recording_ || !onRecorded)
    return;
  const QJsonObject o = QJsonDocument::fromJson(message.toUtf8()).object();
  Recorded r;
  r.click = o.value(QStringLiteral("k")).toString() == QLatin1String("c");
  r.index = o.value(QStringLiteral("i")).toInt();
  if (r.click) {
    r.link = o.value(QStringLiteral("l")).toInt();
    r.snapshot = parseSnapshot(o.value(QStringLiteral("s")).toString(),
                               recordProperties_.size());
  } else {
    r.value = o.value(QStringLiteral("v")).toString();
  }
  if (r.index > 0)
    onRecorded(r);
}

void WebBrowser::Navigate(const QString &url) {
  // A load still in flight (a wait that timed out) is stopped first, so
  // that its late end is not taken for the end of the new one: the engine
  // stops loading a moment before it reports the end, so the wait is for
  // the report.
  if (page_->isLoading() || engineLoading_) {
    triggerPageAction(QWebEnginePage::Stop);
    QPointer<WebBrowser> self(this);
    pumpUntil([&] { return !self || (!page_->isLoading() && !engineLoading_); },
              1000, this);
    if (!self)
      return;
    engineLoading_ = false;
  }
  // The load is under way from this call on, as far as any wait after it
  // is concerned; the engine reports its own start a moment later.
  loading_ = true;
  readyState_ = 1;
  networkFailure_ = false;
  load(QUrl::fromUserInput(url));
}

bool WebBrowser::Busy() const { return loading_ && readyState_ < 3; }

QString WebBrowser::documentTitle() const {
  if (networkFailure_)
    return QString::fromUtf8(kServerNotFoundTitle);
  return page_->title();
}

void WebBrowser::GoBack() {
  if (!page_->history()->canGoBack())
    return;
  // A page restored from the back-forward cache reports no load, only its
  // address; either one means the step back has happened.
  const quint64 serial = navigationSerial_;
  const QUrl before = url();
  // Through the page: the engine's own back button skips entries that
  // were reached without a user gesture, which is every page a script
  // reached.
  evaluate(QStringLiteral("history.back()"));
  QPointer<WebBrowser> self(this);
  pumpUntil(
      [&] { return !self || navigationSerial_ != serial || url() != before; },
      3000, this);
}

QVariant WebBrowser::evaluate(const QString &script, int timeoutMs) {
  // The answer ends the wait at once; the state outlives this call in case
  // the answer comes after the time-out.
  struct State {
    bool done = false;
    QVariant result;
    QPointer<QEventLoop> loop;
  };
  auto state = std::make_shared<State>();
  page_->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                       [state](const QVariant &v) {
                         state->result = v;
                         state->done = true;
                         if (state->loop)
                           state->loop->quit();
                       });
  if (!state->done) {
    QEventLoop loop;
    state->loop = &loop;
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    // A page that does not answer must not hold a stop up.
    const StopWatch stop;
    QTimer stopPoll;
    QObject::connect(&stopPoll, &QTimer::timeout, &loop, [&] {
      if (stop.stopped())
        loop.quit();
    });
    stopPoll.start(50);
    loop.exec();
  }
  return state->result;
}

int WebBrowser::elementCount() {
  return evaluate(QStringLiteral("document.all.length")).toInt();
}

QVector<QStringList>
WebBrowser::snapshot(const QStringList &properties, const QStringList &tags,
                     const QVector<QStringList> &tagProperties) {
  ++snapshotCount;
  // Per tag, the columns to read, in ascending order.
  QJsonArray want;
  if (!tagProperties.isEmpty()) {
    for (int t = 0; t < tags.size(); ++t) {
      QVector<int> cols;
      for (const QString &p : tagProperties.value(t)) {
        const int c = properties.indexOf(p);
        if (c >= 0 && !cols.contains(c))
          cols << c;
      }
      std::sort(cols.begin(), cols.end());
      QJsonArray a;
      for (int c : cols)
        a << c;
      want << a;
    }
  }
  // One flat string rather than JSON: records split by U+001E, fields by
  // U+001F (taken out of the values), which both sides handle in one pass.
  const QString js = QString::fromUtf8(kGetter) + QString::fromUtf8(kSnapshot) +
                     QStringLiteral("(%1,%2,%3)")
                         .arg(jsArray(properties), jsArray(tags),
                              QString::fromUtf8(QJsonDocument(want).toJson(
                                  QJsonDocument::Compact)));
  const QString flat = evaluate(js).toString();
  QVector<QStringList> rows;
  if (flat.isEmpty())
    return rows;
  const int width = properties.size() + 1;
  rows.reserve(flat.count(QChar(0x1e)) + 1);
  // Rows share one string per node name and leave empty fields null, so
  // that a large page costs about one allocation per element.
  QVector<QString> names;
  const QStringView all(flat);
  qsizetype start = 0;
  while (start <= all.size()) {
    qsizetype end = all.indexOf(QChar(0x1e), start);
    if (end < 0)
      end = all.size();
    const QStringView rec = all.mid(start, end - start);
    QStringList &row = rows.emplace_back();
    row.reserve(width);
    qsizetype cut = rec.indexOf(QChar(0x1f));
    const QStringView name = cut < 0 ? rec : rec.left(cut);
    auto known = std::find(names.cbegin(), names.cend(), name);
    if (known == names.cend())
      known = names.insert(names.cend(), name.toString());
    row << *known;
    while (cut >= 0) {
      const qsizetype from = cut + 1;
      cut = rec.indexOf(QChar(0x1f), from);
      const QStringView f = rec.mid(from, (cut < 0 ? rec.size() : cut) - from);
      row << (f.isEmpty() ? QString() : f.toString());
    }
    while (row.size() < width)
      row << QString();
    start = end + 1;
  }
  return rows;
}

QString WebBrowser::getProperty(int index, const QString &property) {
  const QString js = QString::fromUtf8(kGetter) +
                     QStringLiteral("(function(){var e=document.all[%1];"
                                    "return e?__sdrGet(e,%2):'';})()")
                         .arg(index)
                         .arg(jsString(property));
  return evaluate(js).toString();
}

namespace {
// Script text that leaves the function with `refused` when element `e` is
// no longer what the guard says (an empty text without a guard).
QString guardCheck(const ElementGuard *guard, const QString &refused) {
  if (!guard)
    return QString();
  return QStringLiteral("if(String(e.nodeName||'').trim().toLowerCase()!==%1||"
                        "__sdrGet(e,%2).replace(/[\u001e\u001f]/g,' ')!==%3)"
                        "return %4;")
      .arg(jsString(guard->tag), jsString(guard->property),
           jsString(guard->value), refused);
}
} // namespace

bool WebBrowser::setProperty(int index, const QString &property,
                             const QVariant &value, const ElementGuard *guard) {
  const QString prop = property.toLower();
  const QString v =
      value.typeId() == QMetaType::Bool
          ? (value.toBool() ? QStringLiteral("true") : QStringLiteral("false"))
          : jsString(value.toString());
  QString member;
  if (prop == QLatin1String("value"))
    member = QStringLiteral("value");
  else if (prop == QLatin1String("checked"))
    member = QStringLiteral("checked");
  else if (prop == QLatin1String("selected"))
    member = QStringLiteral("selected");
  else if (prop == QLatin1String("target"))
    member = QStringLiteral("target");
  else
    member = property;
  const QString js =
      (guard ? QString::fromUtf8(kGetter) : QString()) +
      QStringLiteral("(function(){var e=document.all[%1];if(!e)return false;"
                     "%4e[%2]=%3;return true;})()")
          .arg(index)
          .arg(jsString(member), v, guardCheck(guard, QStringLiteral("'x'")));
  const QVariant r = evaluate(js);
  elementChanged_ = r.typeId() == QMetaType::QString;
  return r.toBool() && !elementChanged_;
}

quint64 WebBrowser::snapshotSerial() { return snapshotCount; }

bool WebBrowser::awaitingChooser() { return awaitingChooserCount > 0; }

void WebBrowser::setAwaitingChooser(bool awaiting) {
  if (awaiting != awaitingCounted_)
    awaitingChooserCount += awaiting ? 1 : -1;
  awaitingCounted_ = awaiting;
}

int WebBrowser::chooserDelayMs = 0;

bool WebBrowser::takeClickFailure() {
  const bool failed = clickFailed_;
  clickFailed_ = false;
  return failed;
}

bool WebBrowser::Click(int index, const ElementGuard *guard) {
  clickFailed_ = false;
  elementChanged_ = false;
  // What kind of element it is decides how it is clicked and what the
  // caller may wait for afterwards. A link or a submit aimed at another
  // window loads nothing here. A file input that the page hides, or that
  // something else covers, is opened from a click on a layer laid over the
  // page for that one click: the input's own click() then runs inside a
  // real user gesture, which the engine wants before it opens a chooser.
  const QString probe =
      QString::fromUtf8(kGetter) +
      QStringLiteral(
          "(function(){var e=document.all[%1];if(!e)return null;%2"
          "var t=String(e.nodeName).toLowerCase(),ty=String(e.type||'')"
          ".toLowerCase();var file=(t==='input'&&ty==='file');"
          "function here(w){return !w||/^_(self|top|parent)$/i.test(w);}"
          "var a=e.closest?e.closest('a[href]'):null,f=e.form;"
          "var nav=(a&&!/^(javascript:|#)/i.test(a.getAttribute('href'))&&"
          "here(a.target))||(!!f&&here(f.target)&&((t==='input'&&(ty==="
          "'submit'||ty==='image'))||(t==='button'&&ty==='submit')));"
          "if(!file){e.click();return JSON.stringify({nav:nav,clicked:true});}"
          "e.scrollIntoView({block:'center'});"
          "var b=e.getBoundingClientRect(),cs=getComputedStyle(e);"
          "var x=b.left+b.width/2,y=b.top+b.height/2;"
          "var hidden=b.width<1||b.height<1||cs.display==='none'||"
          "cs.visibility==='hidden';if(!hidden){var h=document."
          "elementFromPoint(x,y),l=h&&h.closest&&h.closest('label');"
          "hidden=!(h===e||(l&&l.control===e));}"
          "if(hidden){var o=document.createElement('div');"
          "o.setAttribute('data-sendora-layer','');o.style.cssText="
          "'position:fixed;left:0;top:0;width:100vw;height:100vh;"
          "z-index:2147483647;background:transparent';"
          "o.addEventListener('click',function(v){v.preventDefault();"
          "v.stopPropagation();o.remove();e.click();},true);"
          "(document.body||document.documentElement).appendChild(o);"
          "x=innerWidth/2;y=innerHeight/2;}"
          "return JSON.stringify({file:true,r:[x,y,hidden]});})()")
          .arg(index)
          .arg(guardCheck(guard, QStringLiteral("JSON.stringify({changed:"
                                                "true})")));
  const quint64 serial = navigationSerial_;
  const quint64 windows = newWindowSerial_;
  const QJsonObject info =
      QJsonDocument::fromJson(evaluate(probe).toString().toUtf8()).object();
  if (info.value(QStringLiteral("changed")).toBool()) {
    // Not the element the scan found: acting on it could type into or
    // press the wrong thing. The wait that follows fails the attempt.
    elementChanged_ = true;
    clickFailed_ = true;
    return false;
  }
  if (info.isEmpty())
    return false;

  if (info.value(QStringLiteral("file")).toBool())
    return clickFileInput(info.value(QStringLiteral("r")).toArray());

  // Anything else was clicked by the look itself: one call to the page
  // rather than two.
  const bool ok = info.value(QStringLiteral("clicked")).toBool();
  if (ok && info.value(QStringLiteral("nav")).toBool()) {
    // Let the navigation begin so that the caller's page wait sees it; a
    // click that should load a page and does not is a failed one.
    QPointer<WebBrowser> self(this);
    const bool began = pumpUntil(
        [&] {
          return !self || navigationSerial_ != serial ||
                 newWindowSerial_ != windows;
        },
        kLoadStartMs, this);
    if (!began && self && !StopRequested)
      clickFailed_ = true;
  }
  return ok;
}

bool WebBrowser::clickFileInput(const QJsonArray &r) {
  const QPointF at(r.at(0).toDouble() * zoomFactor(),
                   r.at(1).toDouble() * zoomFactor());
  QWidget *target = focusProxy() ? focusProxy() : this;
  // The engine may drop a click on a window that is not the active one
  // (the user was busy elsewhere): the gesture must reach the page.
  window()->raise();
  window()->activateWindow();
  target->setFocus(Qt::OtherFocusReason);
  const int before = choosersOpened_;
  const int requestedBefore = choosersRequested_;
  QPointer<WebBrowser> self(this);
  lateChoosers_ = 0;
  fileClickPending_ = true;
  setAwaitingChooser(true);
  auto send = [&] {
    QMouseEvent press(QEvent::MouseButtonPress, at, target->mapToGlobal(at),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, target->mapToGlobal(at),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
  };
  // The chooser runs its own modal loop inside our pumping; once it is
  // closed the count has moved and the flag is down again.
  auto finished = [&] {
    return !self || (choosersOpened_ > before && !chooserOpen_);
  };
  // Right after a page has loaded the engine sometimes drops the click.
  // A visible input is clicked again while no chooser has come; a hidden
  // one is not, since the layer its click goes through may be gone.
  int sent = 0;
  bool done = false;
  QElapsedTimer waited;
  waited.start();
  while (!done && self) {
    if (sent == 0 || (!r.at(2).toBool() && sent < kClickSends &&
                      choosersRequested_ == requestedBefore)) {
      send();
      ++sent;
    }
    const int left = kChooserAppearMs - int(waited.elapsed());
    if (left <= 0)
      break;
    done = pumpUntil(finished, std::min(left, kClickResendMs));
    if (!done && (StopRequested || waited.elapsed() >= kChooserAppearMs))
      break;
  }
  if (!self)
    return false;
  setAwaitingChooser(false);
  fileClickPending_ = false;
  // A chooser that turns up after this, for a click that went unanswered,
  // would wait for nobody.
  lateChoosers_ = std::max(0, sent - (choosersRequested_ - requestedBefore));
  if (r.at(2).toBool())
    evaluate(QStringLiteral(
        "document.querySelectorAll('[data-sendora-layer]').forEach("
        "function(o){o.remove();})"));
  return done;
}
