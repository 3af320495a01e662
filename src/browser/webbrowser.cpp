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

#include <memory>

namespace {
const char *const kReadyMarker = "__sendora_document_ready__";

// Reads one property the way the scripts name it. Values come back as
// strings: booleans as "true"/"false", missing ones as "".
const char *const kGetter = R"JS(
function __sdrGet(e, p) {
  var v;
  switch (p) {
  case 'nodename': v = e.nodeName; break;
  case 'Name': v = e.getAttribute ? e.getAttribute('name') : null; break;
  case 'Value': v = e.value; break;
  case 'innerText': v = (e.nodeName === 'OPTION') ? e.text : e.innerText; break;
  case 'innerHtml': v = e.innerHTML; break;
  case 'outerHTML': v = e.outerHTML; break;
  case 'alt': v = e.getAttribute ? e.getAttribute('alt') : null; break;
  case 'href': v = e.href; break;
  case 'className': case 'Class':
    v = e.getAttribute ? e.getAttribute('class') : null; break;
  case 'Id': v = e.id; break;
  case 'Type': v = e.type; break;
  case 'Target': v = e.target; break;
  case 'Checked': v = e.checked; break;
  case 'Selected': v = e.selected; break;
  default: v = e[p];
  }
  if (v === undefined || v === null) return '';
  if (typeof v === 'boolean') return v ? 'true' : 'false';
  if (typeof v === 'object') return '';
  return String(v);
}
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
  // The automation finds the button by this caption, whatever the language.
  dlg.setLabelText(QFileDialog::Accept, QStringLiteral("開く(&O)"));
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
    loading_ = true;
    readyState_ = 1;
    networkFailure_ = false;
    ++navigationSerial_;
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
    loading_ = false;
    readyState_ = 4;
  });
  connect(page_, &QWebEnginePage::newWindowRequested, this,
          [this](QWebEngineNewWindowRequest &request) {
            if (onNewWindow)
              onNewWindow(request);
          });
}

WebBrowser::~WebBrowser() = default;

void WebBrowser::markInteractive() {
  if (loading_ && readyState_ < 3)
    readyState_ = 3;
}

void WebBrowser::Navigate(const QString &url) {
  // A load still in flight (a wait that timed out) is stopped first, so
  // that its late end is not taken for the end of the new one.
  if (page_->isLoading()) {
    triggerPageAction(QWebEnginePage::Stop);
    QPointer<WebBrowser> self(this);
    pumpUntil([&] { return !self || !page_->isLoading(); }, 1000);
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

QVector<QStringList> WebBrowser::snapshot(const QStringList &properties,
                                          const QStringList &tags) {
  // One flat string rather than JSON: records split by U+001E, fields by
  // U+001F (taken out of the values), which both sides handle in one pass.
  const QString js =
      QString::fromUtf8(kGetter) +
      QStringLiteral(
          "(function(props, tags){var all=document.all,n=all.length,"
          "out=new Array(n),RS='\u001e',US='\u001f',bad=/[\u001e\u001f]/g;"
          "for(var i=0;i<n;i++){var e=all[i];"
          "var nn=String(e.nodeName||'').trim().toLowerCase();var rec=nn;"
          "if(!tags.length||tags.indexOf(nn)>=0){for(var k=0;k<props.length;"
          "k++){var v;try{v=__sdrGet(e,props[k]);}catch(x){v='';}"
          "rec+=US+v.replace(bad,' ');}}out[i]=rec;}return out.join(RS);})"
          "(%1,%2)")
          .arg(jsArray(properties), jsArray(tags));
  const QString flat = evaluate(js).toString();
  QVector<QStringList> rows;
  if (flat.isEmpty())
    return rows;
  const QList<QStringView> records = QStringView(flat).split(QChar(0x1e));
  rows.reserve(records.size());
  for (QStringView rec : records) {
    QStringList row;
    row.reserve(properties.size() + 1);
    for (QStringView f : rec.split(QChar(0x1f)))
      row << f.toString();
    while (row.size() < properties.size() + 1)
      row << QString();
    rows << row;
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
