#include "recorder.h"

#include "customdialog.h"

#include "browser/browserwindow.h"
#include "browser/webbrowser.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWebEngineNewWindowRequest>

namespace {
QString methodName(const QString &code) {
  static const char *const names[] = {"指定なし",  "Name", "Value",
                                      "innerText", "Alt",  "Type"};
  const int i = code.toInt();
  return i >= 0 && i < 6 ? QString::fromUtf8(names[i]) : code;
}

QString describe(const CustomRow &row) {
  return QStringLiteral("%1 / %2 / %3")
      .arg(row.tag, methodName(row.attribute), row.search);
}
} // namespace

RecorderWindow::RecorderWindow(const QString &startUrl, QWidget *parent)
    : QWidget(parent, Qt::Window) {
  setWindowTitle(QStringLiteral("Sendora ﾌﾞﾗｳｻﾞ - 記録"));
  setAttribute(Qt::WA_DeleteOnClose);

  // The program's browser window, held inside this one below the bar.
  browserWindow = new BrowserWindow(false, this);
  browserWindow->setWindowFlags(Qt::Widget);
  browserWindow->setWindowState(Qt::WindowNoState);
  // Pages that want a window of their own open here, where the recording
  // goes on.
  browser()->onNewWindow = [this](QWebEngineNewWindowRequest &request) {
    request.openIn(browser()->page());
  };

  txtUrl = new QLineEdit(startUrl, this);
  cmdGo = new QPushButton(QStringLiteral("移動"), this);
  lblRow = new QLabel(this);
  QFont bold = lblRow->font();
  bold.setBold(true);
  lblRow->setFont(bold);
  lblNote = new QLabel(this);
  cmdSkip = new QPushButton(QStringLiteral("スキップ"), this);
  cmdBack = new QPushButton(QStringLiteral("戻る"), this);
  cmdEnd = new QPushButton(QStringLiteral("終了"), this);

  auto *address = new QHBoxLayout;
  address->addWidget(new QLabel(QStringLiteral("ｱﾄﾞﾚｽ"), this));
  address->addWidget(txtUrl, 1);
  address->addWidget(cmdGo);
  auto *buttons = new QHBoxLayout;
  buttons->addWidget(lblNote, 1);
  buttons->addWidget(cmdSkip);
  buttons->addWidget(cmdBack);
  buttons->addWidget(cmdEnd);
  auto *v = new QVBoxLayout(this);
  v->setContentsMargins(6, 6, 6, 0);
  v->addLayout(address);
  v->addWidget(lblRow);
  v->addLayout(buttons);
  v->addWidget(browserWindow, 1);
  browserWindow->show();
  resize(900, 720);

  auto go = [this] {
    if (!txtUrl->text().trimmed().isEmpty())
      browser()->Navigate(txtUrl->text().trimmed());
  };
  connect(cmdGo, &QPushButton::clicked, this, go);
  connect(txtUrl, &QLineEdit::returnPressed, this, go);
  connect(cmdSkip, &QPushButton::clicked, this, [this] {
    recording_.skip();
    showRow();
  });
  connect(cmdBack, &QPushButton::clicked, this, [this] {
    recording_.back();
    showRow();
  });
  connect(cmdEnd, &QPushButton::clicked, this, [this] {
    emit finished();
    close();
  });
  connect(browser(), &QWebEngineView::urlChanged, this,
          [this](const QUrl &url) { txtUrl->setText(url.toString()); });
  connect(browser(), &QWebEngineView::loadStarted, this,
          [this] { recording_.pageChanged(); });

  browser()->onRecorded = [this](const WebBrowser::Recorded &r) {
    if (!r.click) {
      recording_.edit(r.index, r.value);
      return;
    }
    const int row = recording_.current();
    switch (recording_.click(r.snapshot, r.index, r.link)) {
    case CustomRecording::Stored:
      showRow();
      showNote(QStringLiteral("記録しました %1%2")
                   .arg(customRowLabel(row), describe(recording_.row(row))));
      break;
    case CustomRecording::NotUnique:
      showNote(QStringLiteral("この要素はどの検索対象でも一つに絞れません。"
                              "別の要素をクリックするか、スキップしてください"
                              "。"));
      break;
    case CustomRecording::Ignored:
      break;
    }
  };
  browser()->startRecording(recordProperties());
  showRow();
  go();
}

RecorderWindow::~RecorderWindow() = default;

WebBrowser *RecorderWindow::browser() const {
  return browserWindow->WebBrowser1;
}

void RecorderWindow::showRow() {
  const int r = recording_.current();
  cmdSkip->setEnabled(!recording_.finished());
  cmdBack->setEnabled(r > 0);
  if (recording_.finished()) {
    lblRow->setText(QStringLiteral(
        "すべての行を記録しました。終了を押すと設定画面に反映されます。"));
    showNote(QString());
    return;
  }
  lblRow->setText(QStringLiteral("記録する行 %1/%2 %3 %4")
                      .arg(r + 1)
                      .arg(kCustomRowCount)
                      .arg(customRowLabel(r), recordPrompt(r)));
  switch (recording_.state(r)) {
  case CustomRecording::Recorded:
    showNote(QStringLiteral("記録済み: ") + describe(recording_.row(r)));
    break;
  case CustomRecording::Skipped:
    showNote(QStringLiteral("スキップ済み"));
    break;
  case CustomRecording::Untouched:
    showNote(QStringLiteral("無ければスキップを押してください"));
    break;
  }
}

void RecorderWindow::showNote(const QString &text) { lblNote->setText(text); }
