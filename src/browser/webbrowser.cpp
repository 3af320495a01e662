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

#include <algorithm>
#include <memory>

namespace {
const char *const kReadyMarker = "__sendora_document_ready__";

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

// Pumps events until `done` is true or the time is up.
bool pumpUntil(const std::function<bool()> &done, int timeoutMs) {
  QElapsedTimer t;
  t.start();
  while (!done()) {
    if (t.elapsed() >= timeoutMs)
      return false;
    QEventLoop loop;
    QTimer::singleShot(2, &loop, &QEventLoop::quit);
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
  QPointer<WebBrowser> owner(owner_);
  owner->chooserOpen_ = true;
  ++owner->choosersOpened_;
  // A widget dialog (not the desktop's native one) so that the automation
  // can find it among the program's own windows and fill it.
  QFileDialog dlg(owner->window(), QString::fromUtf8(kFileChooserCaption));
  dlg.setOption(QFileDialog::DontUseNativeDialog);
  dlg.setFileMode(mode == FileSelectOpenMultiple ? QFileDialog::ExistingFiles
                                                 : QFileDialog::ExistingFile);
  dlg.setAcceptMode(QFileDialog::AcceptOpen);
  dlg.setModal(true);
  QStringList chosen;
  if (dlg.exec() == QDialog::Accepted)
    chosen = dlg.selectedFiles();
  if (owner)
    owner->chooserOpen_ = false;
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
            if (onNewWindow)
              onNewWindow(request);
          });
}

WebBrowser::~WebBrowser() = default;

void WebBrowser::markInteractive() {
  if (loading_ && readyState_ < 3) {
    readyState_ = 3;
    emit loadStateChanged();
  }
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
              1000);
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
      3000);
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

bool WebBrowser::setProperty(int index, const QString &property,
                             const QVariant &value) {
  QString js;
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
  js = QStringLiteral("(function(){var e=document.all[%1];if(!e)return false;"
                      "e[%2]=%3;return true;})()")
           .arg(index)
           .arg(jsString(member), v);
  return evaluate(js).toBool();
}

bool WebBrowser::Click(int index) {
  // What kind of element it is decides how it is clicked and what the
  // caller may wait for afterwards.
  const QString probe =
      QStringLiteral(
          "(function(){var e=document.all[%1];if(!e)return null;"
          "var t=String(e.nodeName).toLowerCase(),ty=String(e.type||'')"
          ".toLowerCase();var file=(t==='input'&&ty==='file');"
          "var nav=(t==='a'&&e.getAttribute('href')&&!/^(javascript:|#)/i"
          ".test(e.getAttribute('href')))||(t==='input'&&(ty==='submit'||"
          "ty==='image'))||(t==='button'&&ty==='submit'&&!!e.form);"
          "var r=null;if(file){e.scrollIntoView({block:'center'});"
          "var b=e.getBoundingClientRect();r=[b.left+b.width/2,b.top+b.height/"
          "2];}return JSON.stringify({file:file,nav:nav,r:r});})()")
          .arg(index);
  const QJsonObject info =
      QJsonDocument::fromJson(evaluate(probe).toString().toUtf8()).object();
  if (info.isEmpty())
    return false;

  if (info.value(QStringLiteral("file")).toBool()) {
    // The engine opens no chooser for a script click on a file input: it
    // wants a real user gesture, so the element gets a real mouse click.
    const QJsonArray r = info.value(QStringLiteral("r")).toArray();
    const QPointF at(r.at(0).toDouble() * zoomFactor(),
                     r.at(1).toDouble() * zoomFactor());
    QWidget *target = focusProxy() ? focusProxy() : this;
    const int before = choosersOpened_;
    QPointer<WebBrowser> self(this);
    QMouseEvent press(QEvent::MouseButtonPress, at, target->mapToGlobal(at),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, target->mapToGlobal(at),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
    // The chooser runs its own modal loop inside our pumping; once it is
    // closed the count has moved and the flag is down again.
    return pumpUntil(
        [&] { return !self || (choosersOpened_ > before && !chooserOpen_); },
        5000);
  }

  const quint64 serial = navigationSerial_;
  const QString js = QStringLiteral("(function(){var e=document.all[%1];"
                                    "if(!e)return false;e.click();return "
                                    "true;})()")
                         .arg(index);
  const bool ok = evaluate(js).toBool();
  if (ok && info.value(QStringLiteral("nav")).toBool()) {
    // Let the navigation begin so that the caller's page wait sees it.
    QPointer<WebBrowser> self(this);
    pumpUntil([&] { return !self || navigationSerial_ != serial; }, 1500);
  }
  return ok;
}
