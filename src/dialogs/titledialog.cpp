#include "titledialog.h"

#include "dialogs.h"

#include "browser/browserwindow.h"
#include "browser/filedialog.h"
#include "browser/pagewait.h"
#include "browser/webbrowser.h"
#include "browser/winsys.h"
#include "core/paths.h"
#include "core/runstate.h"
#include "core/settings.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <exception>

namespace {
QString u(const char *s) { return QString::fromUtf8(s); }

// The captions the choices stand for, Option1 to Option3.
const char *const kTitles[3] = {"ファイルの選択", "開く",
                                "アップロードするファイルの選択"};
} // namespace

QString titleTestPage() {
  return programFolder() + QStringLiteral("/DlgTest/DlgTest.html");
}

TitleDialog::TitleDialog(QWidget *parent) : QWidget(parent, Qt::Window) {
  build();
  load();
}

TitleDialog::~TitleDialog() = default;

void TitleDialog::build() {
  setObjectName(QStringLiteral("frmTitle"));
  setWindowTitle(u("ファイルダイアログの動作確認"));
  // The caller waits for this window; nothing else may be used meanwhile.
  setWindowModality(Qt::ApplicationModal);

  Command3 = new QPushButton(u("①まずはファイルダイアログ画面を確認"), this);
  Command2 = new QPushButton(u("③上記設定で動作確認を行なう"), this);
  Command1 = new QPushButton(u("④設定完了"), this);
  Command3->setObjectName(QStringLiteral("Command3"));
  Command2->setObjectName(QStringLiteral("Command2"));
  Command1->setObjectName(QStringLiteral("Command1"));
  for (QPushButton *b : {Command3, Command2, Command1}) {
    b->setStyleSheet(QStringLiteral("text-align: left; padding: 4px 10px;"));
    b->setAutoDefault(false);
  }
  Label1 = new QLabel(this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Option1 = new QRadioButton(this);
  Option2 = new QRadioButton(this);
  Option3 = new QRadioButton(this);
  Option4 = new QRadioButton(this);
  Option1->setObjectName(QStringLiteral("Option1"));
  Option2->setObjectName(QStringLiteral("Option2"));
  Option3->setObjectName(QStringLiteral("Option3"));
  Option4->setObjectName(QStringLiteral("Option4"));
  Text1 = new QLineEdit(u("アップロードするファイルの選択"), this);
  Text1->setObjectName(QStringLiteral("Text1"));
  Label2 = new QLabel(u("ファイルダイアログ画面を閉じてください。"), this);
  Label2->setObjectName(QStringLiteral("Label2"));
  Label2->setStyleSheet(QStringLiteral("color: #c00000;"));
  // Hidden but keeping its place, so the window does not jump.
  QSizePolicy keep = Label2->sizePolicy();
  keep.setRetainSizeWhenHidden(true);
  Label2->setSizePolicy(keep);
  Label2->hide();

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(60000);
  tmrSansho = new QTimer(this);
  tmrSansho->setObjectName(QStringLiteral("tmrSansho"));
  tmrSansho->setInterval(250);

  auto *options = new QVBoxLayout;
  options->setContentsMargins(16, 0, 0, 0);
  options->addWidget(Option1);
  options->addWidget(Option2);
  options->addWidget(Option3);
  options->addWidget(Option4);
  auto *text = new QVBoxLayout;
  text->setContentsMargins(40, 0, 0, 0);
  text->addWidget(Text1);

  auto *layout = new QVBoxLayout(this);
  layout->addWidget(Command3);
  layout->addWidget(Label1);
  layout->addLayout(options);
  layout->addLayout(text);
  layout->addWidget(Command2);
  layout->addWidget(Command1);
  layout->addWidget(Label2);
  layout->setSizeConstraint(QLayout::SetMinimumSize);
  // Some air to the right of the longest caption.
  Command3->setMinimumWidth(Command3->sizeHint().width() + 24);

  for (QRadioButton *o : {Option1, Option2, Option3, Option4})
    connect(o, &QRadioButton::toggled, this, [this] { optionStep(); });
  connect(Command3, &QPushButton::clicked, this, [this] { showChooser(); });
  connect(Command2, &QPushButton::clicked, this, [this] { testChoice(); });
  connect(Command1, &QPushButton::clicked, this, [this] { finish(); });
  connect(Timer1, &QTimer::timeout, this, [this] { forgottenChooser(); });
  connect(tmrSansho, &QTimer::timeout, this, [this] { sanshoTick(); });
}

void TitleDialog::load() {
  Label1->setText(u("②↑で表示されたファイルダイアログ画面の\n"
                    "　左上に表示されていたタイトルを、\n"
                    "　下記より選択または入力してください。"));
  Option1->setText(u(kTitles[0]) + QLatin1Char('\n') +
                   u("(IE6の場合は主にこちら)"));
  Option2->setText(u(kTitles[1]) + QLatin1Char('\n') +
                   u("(IE7の場合は主にこちら)"));
  Option3->setText(u(kTitles[2]) + QLatin1Char('\n') +
                   u("(IE8の場合は主にこちら)"));
  Option4->setText(u("どれも違うので入力する"));

  QRadioButton *const choices[3] = {Option1, Option2, Option3};
  QString &title = setting(DlgTitle);
  QRadioButton *chosen = Option4;
  if (!title.isEmpty()) {
    for (int i = 0; i < 3; ++i)
      if (title == u(kTitles[i]))
        chosen = choices[i];
  } else {
    const QString v = browserMajorVersion();
    const int i = v == QLatin1String("6")   ? 0
                  : v == QLatin1String("7") ? 1
                  : v == QLatin1String("8") ? 2
                                            : -1;
    if (i >= 0) {
      chosen = choices[i];
      title = u(kTitles[i]);
    } else {
      // The caption this program's own file chooser carries.
      title = u(kFileChooserCaption);
    }
  }
  chosen->setChecked(true);
  optionStep();
  Text1->setText(title);
}

void TitleDialog::optionStep() { Text1->setEnabled(Option4->isChecked()); }

bool TitleDialog::applyChoice() {
  QRadioButton *const choices[3] = {Option1, Option2, Option3};
  for (int i = 0; i < 3; ++i)
    if (choices[i]->isChecked()) {
      setting(DlgTitle) = u(kTitles[i]);
      return true;
    }
  if (Text1->text().trimmed().isEmpty()) {
    showMessage(this,
                u("ファイルダイアログ画面の左上のタイトルを入力してください"));
    return false;
  }
  setting(DlgTitle) = Text1->text();
  return true;
}

bool TitleDialog::pageExists() {
  if (QFileInfo::exists(titleTestPage()))
    return true;
  showMessage(this, u("動作確認用ページ(※)が見つかりません。\n(※") +
                        titleTestPage() +
                        u(")\nダウンロードしたSendoraxxx.zip内にあるDlgTest"
                          "フォルダを\nSendora.exeがあるフォルダ内にコピーして"
                          "ください。"));
  return false;
}

void TitleDialog::showChooser() {
  if (!pageExists())
    return;
  showMessage(this, u("これからファイルダイアログ画面が開かれます。\n"
                      "開かれた画面の左上のタイトルを確認してください。\n\n"
                      "(60秒後に自動で閉じるようにしておりますが、\n"
                      " 自動で閉じない場合は、手動で閉じてください)"));
  setRunning(true);
  pageRun(false);
  setRunning(false);
}

void TitleDialog::testChoice() {
  if (!applyChoice() || !pageExists())
    return;
  setRunning(true);
  pageRun(true);
  setRunning(false);
}

void TitleDialog::finish() {
  if (!applyChoice())
    return;
  TitleTestDone = true;
  close();
}

void TitleDialog::setRunning(bool running) {
  running_ = running;
  for (QPushButton *b : {Command1, Command2, Command3})
    b->setEnabled(!running);
  Label2->setVisible(running);
}

void TitleDialog::pageRun(bool testMode) {
  // The waits and the chooser search end early while the stop flag is up,
  // and it is up whenever no upload runs. The test is a run of its own.
  const bool stopBefore = StopRequested;
  StopRequested = false;
  try {
    pageRunSteps(testMode);
  } catch (const std::exception &e) {
    showMessage(this, QStringLiteral("0:") + QString::fromLocal8Bit(e.what()));
  } catch (...) {
    showMessage(this, u("0:不明なエラー"));
  }
  Timer1->stop();
  tmrSansho->stop();
  unloadBrowser();
  StopRequested = stopBefore;
}

void TitleDialog::pageRunSteps(bool testMode) {
  WebBrowser *browser = frmBrowser()->WebBrowser1;
  browser->Navigate(QUrl::fromLocalFile(titleTestPage()).toString());
  const QString net = u(kNetworkMessage);
  if (waitBrowser(net, 0) != 0) {
    showMessage(this, u("確認ページを開くのに失敗。m(_ _)mゴメン"));
    return;
  }
  if (waitBrowser(net, 1) != 0) {
    showMessage(this, u("確認ページの読込に失敗。m(_ _)mゴメン"));
    return;
  }
  pauseSec(3.0);

  int input = -1;
  const QVector<QStringList> all =
      browser->snapshot({QStringLiteral("Name")}, {QStringLiteral("input")});
  for (int i = 0; i < all.size(); ++i)
    if (all[i][0] == QLatin1String("input") &&
        all[i][1].trimmed() == QLatin1String("test")) {
      input = i;
      break;
    }
  if (input < 0) {
    showMessage(this, u("参照ボタンの検索に失敗。\n"
                        "もう一度試してダメならご報告ください m(_ _)m"));
    return;
  }

  if (!testMode) {
    Timer1->start();
    browser->Click(input);
    Timer1->stop();
    return;
  }

  // The test page itself is the file chosen: nothing outside the
  // program's folder is touched.
  UploadPath = titleTestPage();
  DlgRequest = 1;
  tmrSansho->start();
  browser->Click(input);
  while (DlgRequest == 1)
    timerWait(50);
  tmrSansho->stop();
  if (DlgRequest == 0)
    showMessage(this, u("ファイルダイアログが見つかりました。\n"
                        "正しく設定されています。"));
  else
    showMessage(this, u("ファイルダイアログが見つかりませんでした。\n"
                        "ファイルダイアログ画面左上のタイトルと\n"
                        "同じ文字列を選択するか、入力してください。m(__)m"));
}

void TitleDialog::forgottenChooser() {
  Timer1->stop();
  if (browserLoaded())
    forceForeground(windowHandleOf(frmBrowser()));
  timerWait(500);
  endActiveModal();
}

void TitleDialog::sanshoTick() {
  tmrSansho->stop();
  fillFileDialog(false);
  // Only while the page run still waits for the outcome.
  if (running_ && DlgRequest == 1)
    tmrSansho->start();
}

void TitleDialog::closeEvent(QCloseEvent *event) {
  // A page run in progress owns the browser; it ends by itself.
  if (running_) {
    event->ignore();
    return;
  }
  // Closing ends the caller's wait as well: it would wait forever
  // otherwise. DlgTitle keeps what was last chosen.
  TitleTestDone = true;
  event->accept();
}

void runTitleTest(QWidget *parent) {
  TitleTestDone = false;
  // A window of its own rather than a child of the caller, which disables
  // itself (and with it every child window) while it waits.
  TitleDialog dlg;
  if (parent) {
    dlg.adjustSize();
    dlg.move(parent->frameGeometry().center() - dlg.rect().center());
  }
  dlg.show();
  dlg.raise();
  dlg.activateWindow();
  while (!TitleTestDone)
    timerWait(50);
  dlg.hide();
}
