#include "optiondialog.h"

#include "dialogs.h"
#include "titledialog.h"

#include "browser/pagewait.h"
#include "core/runstate.h"
#include "core/settings.h"
#include "mainwindow/mainwindow.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QString u(const char *s) { return QString::fromUtf8(s); }
QString flag(const QCheckBox *c) {
  return c->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}
} // namespace

OptionDialog::OptionDialog(QWidget *parent) : QDialog(parent) {
  build();
  load();
}

void OptionDialog::build() {
  setObjectName(QStringLiteral("frmOption"));
  setWindowTitle(u("ｵﾌﾟｼｮﾝ設定"));

  auto box = [this](const char *name) {
    auto *b = new QLineEdit(this);
    b->setObjectName(QLatin1String(name));
    selectAllText(b);
    return b;
  };
  auto check = [this](const char *name, const char *caption) {
    auto *c = new QCheckBox(u(caption), this);
    c->setObjectName(QLatin1String(name));
    return c;
  };
  txtLogin = box("txtLogin");
  txtUpPage = box("txtUpPage");
  txtUpLoad = box("txtUpLoad");
  txtRetry = box("txtRetry");
  txtTOut = box("txtTOut");
  txtDlgTtl1 = box("txtDlgTtl1");
  txtSecTtl1 = box("txtSecTtl1");
  chkAuto = check("chkAuto", "全てのｱｲﾃﾑが済になるまでﾘﾄﾗｲし続ける "
                             "(中止ﾎﾞﾀﾝ押下で中止されます)");
  chkCpu = check("chkCpu", "CPUの使用率を軽減させてみる");
  chkView = check("chkView", "画面の表示位置・ｻｲｽﾞを保存する");
  chkComplete = check("chkComplete",
                      "ﾍﾟｰｼﾞ移動後、描画完了まで待たないで次の処理を行なう");
  chkLogin = check("chkLogin", "ﾛｸﾞｲﾝ後、正しくﾛｸﾞｲﾝされているかﾁｪｯｸする");
  chkSaveWidth = check("chkSaveWidth", "リストの列幅を保存する");
  chkConfirmPress = check("chkConfirmPress", "ｾｷｭﾘﾃｨの警告画面を自動で閉じる");
  const QString captionTip =
      u("参照ﾎﾞﾀﾝ押下後に表示されるﾌｧｲﾙﾀﾞｲｱﾛｸﾞ画面左上のﾀｲﾄﾙと同じ文字を"
        "入力(大文字/小文字/全角/半角に注意)");
  txtDlgTtl1->setToolTip(captionTip);
  txtSecTtl1->setToolTip(captionTip);
  Command1 = new QPushButton(u("動作確認"), this);
  Command1->setObjectName(QStringLiteral("Command1"));
  Command1->setAutoDefault(false);
  cmdOK = new QPushButton(QStringLiteral("OK"), this);
  cmdOK->setObjectName(QStringLiteral("cmdOK"));
  cmdOK->setDefault(true);
  cmdCancel = new QPushButton(u("ｷｬﾝｾﾙ"), this);
  cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
  cmdCancel->setAutoDefault(false);

  auto *numbers = new QGridLayout;
  const struct {
    const char *label;
    QLineEdit *box;
    const char *unit;
  } rows[] = {{"ﾛｸﾞｲﾝ後の待ち時間：", txtLogin, "秒"},
              {"ｱｯﾌﾟﾛｰﾄﾞのﾍﾟｰｼ移動後の待ち時間：", txtUpPage, "秒"},
              {"ﾌｧｲﾙｱｯﾌﾟﾛｰﾄﾞ後の待ち時間：", txtUpLoad, "秒"},
              {"ﾘﾄﾗｲ回数：", txtRetry, "回"},
              {"読み込みﾀｲﾑｱｳﾄ時間：", txtTOut, "秒"}};
  int r = 0;
  for (const auto &row : rows) {
    numbers->addWidget(new QLabel(u(row.label), this), r, 0);
    row.box->setMaximumWidth(80);
    numbers->addWidget(row.box, r, 1);
    numbers->addWidget(new QLabel(u(row.unit), this), r, 2);
    ++r;
  }
  numbers->setColumnStretch(3, 1);

  auto *captions = new QGridLayout;
  captions->addWidget(new QLabel(u("ﾌｧｲﾙﾀﾞｲｱﾛｸﾞ画面の左上ﾀｲﾄﾙ："), this), 0, 0);
  captions->addWidget(txtDlgTtl1, 0, 1);
  captions->addWidget(Command1, 0, 2);
  captions->addWidget(new QLabel(u("ｾｷｭﾘﾃｨの警告ﾞ画面の左上ﾀｲﾄﾙ："), this), 1,
                      0);
  captions->addWidget(txtSecTtl1, 1, 1);
  captions->setColumnStretch(1, 1);

  auto *buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmdOK);
  buttons->addWidget(cmdCancel);

  auto *layout = new QVBoxLayout(this);
  layout->addLayout(numbers);
  for (QCheckBox *c : {chkAuto, chkCpu, chkView, chkComplete, chkLogin,
                       chkSaveWidth, chkConfirmPress})
    layout->addWidget(c);
  layout->addLayout(captions);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetMinimumSize);

  connect(Command1, &QPushButton::clicked, this, [this] { runTest(); });
  connect(cmdOK, &QPushButton::clicked, this, [this] { ok(); });
  connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void OptionDialog::load() {
  txtLogin->setText(setting(LoginWait));
  txtUpPage->setText(setting(UpPageWait));
  txtUpLoad->setText(setting(UpLoadWait));
  txtRetry->setText(setting(RetryCount));
  txtTOut->setText(setting(TimeOut));
  chkAuto->setChecked(isOn(AutoRetry));
  chkCpu->setChecked(isOn(LowCpu));
  chkView->setChecked(isOn(SaveWindowPos));
  chkComplete->setChecked(isOn(NoWaitComplete));
  chkLogin->setChecked(isOn(CheckLogin));
  chkSaveWidth->setChecked(isOn(SaveColWidth));
  if (!setting(UseConfirmPress).isEmpty())
    chkConfirmPress->setChecked(isOn(UseConfirmPress));
  chkConfirmPress->setToolTip(
      u("IEで「ツール」→「インターネットオプション」→「詳細設定」タブの"
        "「フォームの送信がリダイレクトされた場合に警告する」のチェックを"
        "外して「OK」してIEを再起動すれば、セキュリティの警告画面は表示"
        "されません。"));
  txtDlgTtl1->setText(setting(DlgTitle));
  txtSecTtl1->setText(setting(SecTitle));
  // The test drives the browser window an upload run is using.
  if (MainWindow *w = frmMain())
    Command1->setEnabled(w->Idle);
}

void OptionDialog::runTest() {
  setting(DlgTitle) = txtDlgTtl1->text();
  cmdOK->setEnabled(false);
  cmdCancel->setEnabled(false);
  setEnabled(false);
  runTitleTest(this);
  cmdOK->setEnabled(true);
  cmdCancel->setEnabled(true);
  setEnabled(true);
  txtDlgTtl1->setText(setting(DlgTitle));
}

void OptionDialog::ok() {
  // A count below one would make no attempt, a time-out of zero or less
  // would end or never end every page wait.
  const struct {
    QLineEdit *box;
    bool (*valid)(const QString &);
  } numbers[] = {{txtLogin, isNumeric},
                 {txtUpPage, isNumeric},
                 {txtUpLoad, isNumeric},
                 {txtRetry, isRetryCount},
                 {txtTOut, isTimeOut}};
  for (const auto &[b, valid] : numbers)
    if (!valid(b->text())) {
      showMessage(this, u("数値を入力"));
      b->setFocus();
      return;
    }
  for (QLineEdit *b : {txtDlgTtl1, txtSecTtl1})
    if (b->text().trimmed().isEmpty()) {
      showMessage(this, u("文字を入力"));
      b->setFocus();
      return;
    }

  setting(LoginWait) = txtLogin->text();
  setting(UpPageWait) = txtUpPage->text();
  setting(UpLoadWait) = txtUpLoad->text();
  setting(RetryCount) = txtRetry->text();
  setting(TimeOut) = txtTOut->text();
  setting(AutoRetry) = flag(chkAuto);
  setting(LowCpu) = flag(chkCpu);
  setting(SaveWindowPos) = flag(chkView);
  setting(NoWaitComplete) = flag(chkComplete);
  setting(CheckLogin) = flag(chkLogin);
  setting(SaveColWidth) = flag(chkSaveWidth);
  setting(UseConfirmPress) = flag(chkConfirmPress);
  if (!chkView->isChecked())
    for (SettingId id : {MainTop, MainLeft, MainWidth, MainHeight, BrowserTop,
                         BrowserLeft, BrowserWidth, BrowserHeight})
      setting(id) = QStringLiteral("0");
  setting(DlgTitle) = txtDlgTtl1->text();
  setting(SecTitle) = txtSecTtl1->text();
  saveSettings(settingsPath());
  accept();
}
