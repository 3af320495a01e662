#include "filedialog.h"

#include "browserwindow.h"
#include "pagewait.h"
#include "webbrowser.h"
#include "winsys.h"

#include "core/runlog.h"
#include "core/runstate.h"
#include "core/settings.h"

#include <QCoreApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

namespace {
QString num(quintptr v) { return QString::number(v); }

// A chooser the automation has given up on is closed at once, so that the
// click that opened it returns and the caller can try again or go on.
void closeChooser(WindowHandle h) {
  if (auto *d = qobject_cast<QDialog *>(widgetOf(h)))
    d->reject();
}

bool chooserStillOpen(WindowHandle h) {
  QWidget *w = widgetOf(h);
  return w && w->isVisible();
}
} // namespace

void fillFileDialog(bool logging) {
  auto log = [logging](const QString &s) {
    if (logging)
      setLog(s);
  };
  if (DlgRequest != 1) {
    pauseSec(1.0);
    return;
  }
  // The click was sent but its chooser is not on screen yet (a loaded
  // machine): the request stays pending for the next tick.
  if (WebBrowser::awaitingChooser())
    return;
  DlgRequest = 0;
  log(QStringLiteral("ファイルダイアログ検索開始"));

  const QString title = setting(DlgTitle);
  DlgHwnd = 0;
  for (int attempt = 1;;) {
    timerWait(50);
    DlgHwnd = findFileChooser(title);
    if (DlgHwnd) {
      log(QStringLiteral("ファイルダイアログ検索成功(") + num(DlgHwnd) +
          QStringLiteral(")(") + QString::number(attempt) +
          QStringLiteral("回目で取得)"));
      break;
    }
    ++attempt;
    if (attempt >= 100 || StopRequested)
      break;
    QCoreApplication::processEvents();
  }

  if (!DlgHwnd) {
    log(QStringLiteral("ファイルダイアログ検索失敗"));
    log(QStringLiteral("ファイルダイアログ検索開始(部分一致)"));
    for (WindowHandle h : fileChooserWindows()) {
      const QString caption = windowCaption(h);
      if (isWindowVisible(h) && !caption.isEmpty() &&
          caption.contains(title, Qt::CaseSensitive)) {
        DlgHwnd = h;
        break;
      }
    }
    if (DlgHwnd) {
      log(QStringLiteral("ファイルダイアログ検索成功(部分一致)(") +
          num(DlgHwnd) + QStringLiteral(")"));
    } else {
      log(QStringLiteral("ファイルダイアログ検索失敗(部分一致)"));
      log(QStringLiteral(
          "ツール＞オプション設定＞ファイルダイアログのタイトルを"
          "確認してください。"));
      log(QStringLiteral(
          "ファイルダイアログ画面が開いたままの場合は手動で閉じて"
          "ください。m(__)m"));
      if (browserLoaded())
        forceForeground(windowHandleOf(frmBrowser()));
      timerWait(500);
      // Whatever chooser is still open is closed so the waiting click
      // returns.
      endActiveModal();
      DlgRequest = -1;
      return;
    }
  }

  log(QStringLiteral("テキストボックスの取得開始"));
  WindowHandle box = findChildWindow(DlgHwnd, QStringLiteral("Edit"));
  if (box) {
    log(QStringLiteral("テキストボックスの取得完了1(") + num(box) +
        QStringLiteral(")"));
  } else {
    box = findChildWindow(DlgHwnd, QStringLiteral("ComboBoxEx32"));
    log(QStringLiteral("テキストボックスの取得完了2(") + num(box) +
        QStringLiteral(")"));
    if (!box) {
      log(QStringLiteral("テキストボックスの取得に失敗"));
      log(QStringLiteral("ファイル名をセットできません"));
      closeChooser(DlgHwnd);
      DlgRequest = -1;
      return;
    }
  }

  log(QStringLiteral("ファイル名のセット開始"));
  int result = setWindowText(box, UploadPath);
  if (result) {
    log(QStringLiteral("ファイル名のセット完了1(") + QString::number(result) +
        QStringLiteral(")"));
  } else {
    result = setWindowText(box, UploadPath);
    if (result) {
      log(QStringLiteral("ファイル名のセット完了2(") + QString::number(result) +
          QStringLiteral(")"));
    } else {
      log(QStringLiteral("ファイル名のセット失敗(0)"));
      closeChooser(DlgHwnd);
      DlgRequest = -1;
      return;
    }
  }

  log(QStringLiteral("開くボタンの取得開始"));
  WindowHandle open = findChildWindow(DlgHwnd, QStringLiteral("Button"),
                                      QStringLiteral("開く(&O)"));
  if (!open)
    open = findChildWindow(DlgHwnd, QStringLiteral("Button"),
                           QStringLiteral("&Open"));
  if (!open) {
    log(QStringLiteral("開くボタンの取得に失敗"));
    closeChooser(DlgHwnd);
    DlgRequest = -1;
    return;
  }
  log(QStringLiteral("開くボタンの取得完了(") + num(open) +
      QStringLiteral(")"));
  log(QStringLiteral("開くボタンの押下開始"));
  // A chooser that answers Open with a box of its own (a name it cannot
  // take) must not hold the press for ever.
  QPointer<QWidget> chooser = widgetOf(DlgHwnd);
  QTimer::singleShot(2000, chooser, [chooser] {
    if (chooser)
      for (QMessageBox *box : chooser->findChildren<QMessageBox *>())
        box->reject();
  });
  const int clicked = clickButton(open);
  log(QStringLiteral("開くボタンの押下完了(") + QString::number(clicked) +
      QStringLiteral(")"));
  // Open leaves the chooser on screen when it refuses the path (a file
  // that has gone, a folder): that request has failed.
  if (chooserStillOpen(DlgHwnd)) {
    log(QStringLiteral("ファイルダイアログが閉じませんでした(") + UploadPath +
        QStringLiteral(")"));
    closeChooser(DlgHwnd);
    DlgRequest = -1;
    return;
  }
  pauseSec(1.0);
}

int requestFileChoice(const QString &path, QTimer *sanshoTimer,
                      const std::function<void()> &click) {
  UploadPath = path;
  DlgRequest = 1;
  sanshoTimer->start();
  click();
  // The click returns once its chooser has closed, or when none opened
  // within its bound: a request nobody took up by then has failed.
  if (DlgRequest == 1)
    DlgRequest = -1;
  sanshoTimer->stop();
  return DlgRequest;
}
