#include "browserwindow.h"

#include "webbrowser.h"

#include "core/services.h"
#include "core/settings.h"
#include "mainwindow/appsetup.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QWebEngineNewWindowRequest>

#include <utility>

namespace {
QPointer<BrowserWindow> &primary() {
  static QPointer<BrowserWindow> w;
  return w;
}
QPointer<BrowserWindow> &secondary() {
  static QPointer<BrowserWindow> w;
  return w;
}

// Every window made and not yet deleted, closed ones waiting for their
// deferred deletion included.
QList<QPointer<BrowserWindow>> &madeWindows() {
  static QList<QPointer<BrowserWindow>> windows;
  return windows;
}

int px(double twips, bool horizontal) {
  return horizontal ? twipsToPixelsX(twips) : twipsToPixelsY(twips);
}
double tw(int pixels, bool horizontal) {
  return pixels * twipsPerPixel(horizontal ? Qt::Horizontal : Qt::Vertical);
}

bool isCocologBlog() {
  return setting(BlogUrl).toLower().contains(
      serviceTable()[SvcCocolog].fragment);
}
} // namespace

void ProgressBox::grow(double ratio) {
  filled_ = std::max(filled_, ratio);
  update();
}

void ProgressBox::clearBar() {
  filled_ = 0;
  update();
}

void ProgressBox::paintEvent(QPaintEvent *) {
  QPainter p(this);
  p.fillRect(rect(), palette().base());
  const int w = int(filled_ * width());
  if (w > 0)
    p.fillRect(QRect(0, 0, w, height()),
               palette().color(QPalette::Disabled, QPalette::Text));
}

BrowserWindow::BrowserWindow(bool secondary, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint),
      secondary_(secondary) {
  setWindowTitle(secondary ? QStringLiteral("Sendora ﾌﾞﾗｳｻﾞ2")
                           : QStringLiteral("Sendora ﾌﾞﾗｳｻﾞ"));
  setAttribute(Qt::WA_DeleteOnClose);
  WebBrowser1 = new WebBrowser(this);
  static const QMetaObject::Connection atQuit =
      connect(qApp, &QCoreApplication::aboutToQuit, &deleteBrowserWindows);
  Q_UNUSED(atQuit);
  madeWindows().removeAll(nullptr);
  madeWindows() << this;
  picStatus = new QLabel(this);
  picStatus->setFrameShape(QFrame::StyledPanel);
  picStatus->setFixedHeight(22);
  picProgress = new ProgressBox(this);
  picProgress->setFixedHeight(22);
  connect(WebBrowser1, &QWebEngineView::loadProgress, this,
          [this](int percent) { showProgress(percent, 100); });
  if (!secondary) {
    WebBrowser1->onNewWindow = [](QWebEngineNewWindowRequest &request) {
      if (isCocologBlog()) {
        // A Cocolog blog opens such pages in the desktop's own browser.
        QDesktopServices::openUrl(request.requestedUrl());
        return;
      }
      request.openIn(frmBrowser2()->WebBrowser1->page());
    };
  }
  resize(px(4550, true), px(3600, false));
  load();
}

BrowserWindow::~BrowserWindow() = default;

void BrowserWindow::load() {
  WebBrowser1->Silent = true;
  show();
  if (setting(SaveWindowPos) != QLatin1String("1"))
    return;
  const double top = setting(BrowserTop).toDouble();
  const double left = setting(BrowserLeft).toDouble();
  if (top < 0 && left < 0) {
    showMinimized();
    return;
  }
  QRect g = geometry();
  if (left != 0)
    g.moveLeft(px(left, true));
  if (top != 0)
    g.moveTop(px(top, false));
  const double h = setting(BrowserHeight).toDouble();
  const double w = setting(BrowserWidth).toDouble();
  if (w != 0)
    g.setWidth(px(w, true));
  if (h != 0)
    g.setHeight(px(h, false));
  setGeometry(g);
}

void BrowserWindow::showProgress(int current, int maximum) {
  if (current < 1 || maximum <= current) {
    picProgress->clearBar();
    picStatus->setText(QStringLiteral("   ページが表示されました"));
  } else {
    const double ratio = std::floor(10000.0 * current / maximum) / 10000.0;
    picProgress->grow(ratio);
    picStatus->setText(QStringLiteral("   ") +
                       QString::number(int(100 * ratio)) + QStringLiteral("%"));
  }
}

void BrowserWindow::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  // Layout in twips: status three quarters and progress one quarter of the
  // bottom row, 50-twip margins; the browser fills the rest.
  const double iw = tw(width(), true);
  const double ih = tw(height(), false);
  const double statusH = tw(picStatus->height(), false);
  const double statusTop = ih - statusH - 50;
  const double statusW = (iw - 150) / 4 * 3;
  if (statusW <= 0 || statusTop <= 100)
    return;
  picStatus->setGeometry(px(50, true), px(statusTop, false), px(statusW, true),
                         picStatus->height());
  const double progLeft = 50 + statusW + 50;
  const double progW = iw - (50 + statusW) - 100;
  picProgress->setGeometry(px(progLeft, true), px(statusTop, false),
                           px(std::max(progW, 0.0), true),
                           picProgress->height());
  WebBrowser1->setGeometry(0, 0, px(iw - 50, true),
                           px(std::max(statusTop - 100, 0.0), false));
}

void BrowserWindow::closeEvent(QCloseEvent *event) {
  if (!unloading_) {
    event->ignore();
    return;
  }
  if (!secondary_) {
    // The same geometry that load applies: the client area, not the frame
    // around it, or the window would move by its frame on every run.
    storeWindowGeometry(this, BrowserTop, BrowserLeft, BrowserWidth,
                        BrowserHeight);
  }
  event->accept();
}

void BrowserWindow::unload() {
  unloading_ = true;
  close();
}

BrowserWindow *frmBrowser() {
  if (!primary())
    primary() = new BrowserWindow(false);
  return primary();
}

BrowserWindow *frmBrowser2() {
  if (!secondary())
    secondary() = new BrowserWindow(true);
  return secondary();
}

void deleteBrowserWindows() {
  primary() = nullptr;
  secondary() = nullptr;
  const QList<QPointer<BrowserWindow>> windows =
      std::exchange(madeWindows(), {});
  for (const QPointer<BrowserWindow> &w : windows)
    delete w.data();
}

bool browserLoaded() { return !primary().isNull(); }
bool browser2Loaded() { return !secondary().isNull(); }

void unloadBrowser() {
  if (primary())
    primary()->unload();
  primary() = nullptr;
}

void unloadBrowser2() {
  if (secondary())
    secondary()->unload();
  secondary() = nullptr;
}
