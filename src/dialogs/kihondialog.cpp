#include "kihondialog.h"

#include "accountdialog.h"
#include "dialogs.h"

#include "browser/webbrowser.h"
#include "core/services.h"
#include "core/settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
QString u(const char *s) { return QString::fromUtf8(s); }

const char *const kToolCaption = "ﾂｰﾙの名前：";
const char *const kToolTip = "完全に一致するﾂｰﾙ名を入力。";
const char *const kDirCaption = "ﾃﾞｨﾚｸﾄﾘ：";
const char *const kGooOn = "gooﾌﾞﾛｸﾞ標準(320X240まで)";
const char *const kGooOff = "ｵﾘｼﾞﾅﾙｻｲｽﾞ(変更なし)";
const char *const kGooGaz = "動画ﾌｧｲﾙ(拡張子:AMC,3GP,3GP2のみ)";
const char *const kMyPhoto = "ﾏｲﾌｫﾄにUp";
const char *const kControlPanel = "ｺﾝﾊﾟﾈにUp";

// The password box shows "*" for every character, whatever the style's
// own mask character is.
class StarMaskStyle : public QProxyStyle {
public:
  int styleHint(StyleHint hint, const QStyleOption *option,
                const QWidget *widget,
                QStyleHintReturn *returnData) const override {
    if (hint == SH_LineEdit_PasswordCharacter)
      return '*';
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
};

void enable(std::initializer_list<QWidget *> widgets, bool on = true) {
  for (QWidget *w : widgets)
    w->setEnabled(on);
}
} // namespace

KihonDialog::KihonDialog(QWidget *parent) : QDialog(parent) {
  onCustomDesigner = [this] {
    if (customDesignerHook())
      customDesignerHook()(this);
  };
  build();
  load();
}

void KihonDialog::build() {
  setObjectName(QStringLiteral("frmKihon"));
  setWindowTitle(u("基本情報設定"));

  auto named = [](QWidget *w, const char *name) {
    w->setObjectName(QLatin1String(name));
    return w;
  };
  lblAUrl = new QLabel(u("ﾌﾞﾛｸﾞ選択："), this);
  Combo1 = new QComboBox(this);
  Combo1->setEditable(true);
  Combo1->setInsertPolicy(QComboBox::NoInsert);
  Combo1->setMaxVisibleItems(ServiceCount + 1);
  Combo1->setMinimumContentsLength(28);
  Combo1->setToolTip(
      u("画像をアップロードする先のブログをリストから選択してください。"));
  lblUser = new QLabel(u("ﾕｰｻﾞｰID："), this);
  txtUser = new QLineEdit(this);
  lblPass = new QLabel(u("ﾊﾟｽﾜｰﾄﾞ："), this);
  txtPass = new QLineEdit(this);
  auto *mask = new StarMaskStyle;
  mask->setParent(txtPass);
  txtPass->setStyle(mask);
  Command1 = new QPushButton(QStringLiteral("ID"), this);
  lblTool = new QLabel(u(kToolCaption), this);
  txtTool = new QLineEdit(this);
  lblDir = new QLabel(u(kDirCaption), this);
  txtDir = new QLineEdit(this);
  chkThumbnail = new QCheckBox(u("標準ｻｲｽﾞ画像(ｻﾑﾈｲﾙ)を作る"), this);
  chkOver = new QCheckBox(u("同名のﾌｧｲﾙを上書きする"), this);
  chkCheck = new QCheckBox(u("ｱｯﾌﾟされているかﾁｪｯｸ"), this);
  chkList = new QCheckBox(u("URLﾘｽﾄ作成"), this);
  chkLogOut = new QCheckBox(u("完了後にﾛｸﾞｱｳﾄする"), this);
  Frame1 = new QGroupBox(this);
  optGooOn = new QRadioButton(u("goo ブログ標準(320X240まで)"), Frame1);
  optGooOff = new QRadioButton(u("オリジナルサイズ(変更なし)"), Frame1);
  optGooGaz = new QRadioButton(u(kGooGaz), Frame1);
  const QString gooTip = u("アップロードするファイルの拡張子が動画の場合は"
                           "ツールの方で自動で選択します。");
  for (QRadioButton *b : {optGooOn, optGooOff, optGooGaz})
    b->setToolTip(gooTip);
  auto *cocologBox = new QWidget(this);
  optCocolog[0] = new QRadioButton(u(kMyPhoto), cocologBox);
  optCocolog[1] = new QRadioButton(u(kControlPanel), cocologBox);
  chkFc2OverWrt = new QCheckBox(u("上書き確認画面を閉じる"), this);
  txtFc2OverTtl =
      new QLineEdit(QStringLiteral("Microsoft Internet Explorer"), this);
  txtFc2OverTtl->setToolTip(u("確認メッセージの左上の画面タイトルを入力"));
  chkFilter = new QCheckBox(u("ﾊﾟｽﾜｰﾄﾞを隠す"), this);
  chkManual = new QCheckBox(u("ﾕｰｻﾞｰID、ﾊﾟｽﾜｰﾄﾞは実行時に手入力する"), this);
  chkCustom = new QCheckBox(u("ｶｽﾀﾑ設定を利用"), this);
  chkCustom->setToolTip(u("ﾕｰｻﾞｰ側で検索する文字列等を設定します。"));
  cmdOK = new QPushButton(QStringLiteral("OK"), this);
  cmdOK->setDefault(true);
  cmdCancel = new QPushButton(u("ｷｬﾝｾﾙ"), this);

  named(lblAUrl, "lblAUrl");
  named(Combo1, "Combo1");
  named(lblUser, "lblUser");
  named(txtUser, "txtUser");
  named(lblPass, "lblPass");
  named(txtPass, "txtPass");
  named(Command1, "Command1");
  named(lblTool, "lblTool");
  named(txtTool, "txtTool");
  named(lblDir, "lblDir");
  named(txtDir, "txtDir");
  named(chkThumbnail, "chkThumbnail");
  named(chkOver, "chkOver");
  named(chkCheck, "chkCheck");
  named(chkList, "chkList");
  named(chkLogOut, "chkLogOut");
  named(Frame1, "Frame1");
  named(optGooOn, "optGooOn");
  named(optGooOff, "optGooOff");
  named(optGooGaz, "optGooGaz");
  named(optCocolog[0], "optCocolog0");
  named(optCocolog[1], "optCocolog1");
  named(chkFc2OverWrt, "chkFc2OverWrt");
  named(txtFc2OverTtl, "txtFc2OverTtl");
  named(chkFilter, "chkFilter");
  named(chkManual, "chkManual");
  named(chkCustom, "chkCustom");
  named(cmdOK, "cmdOK");
  named(cmdCancel, "cmdCancel");

  for (QLineEdit *box : {txtUser, txtPass, txtTool, txtDir})
    selectAllText(box);

  auto *account = new QGridLayout;
  account->addWidget(lblAUrl, 0, 0);
  account->addWidget(Combo1, 0, 1, 1, 2);
  account->addWidget(lblUser, 1, 0);
  account->addWidget(txtUser, 1, 1);
  account->addWidget(Command1, 1, 2);
  account->addWidget(lblPass, 2, 0);
  account->addWidget(txtPass, 2, 1);
  account->addWidget(lblTool, 3, 0);
  account->addWidget(txtTool, 3, 1);
  account->addWidget(lblDir, 4, 0);
  account->addWidget(txtDir, 4, 1);
  account->setColumnStretch(1, 1);

  auto *checks = new QGridLayout;
  checks->addWidget(chkThumbnail, 0, 0);
  checks->addWidget(chkOver, 0, 1);
  checks->addWidget(chkCheck, 1, 0);
  checks->addWidget(chkList, 1, 1);
  checks->addWidget(chkLogOut, 2, 0);

  auto *goo = new QVBoxLayout(Frame1);
  goo->addWidget(optGooOn);
  goo->addWidget(optGooOff);
  goo->addWidget(optGooGaz);

  auto *cocolog = new QHBoxLayout(cocologBox);
  cocolog->setContentsMargins(0, 0, 0, 0);
  cocolog->addWidget(optCocolog[0]);
  cocolog->addWidget(optCocolog[1]);
  cocolog->addStretch();

  auto *overwrite = new QHBoxLayout;
  overwrite->addWidget(chkFc2OverWrt);
  overwrite->addWidget(txtFc2OverTtl, 1);

  auto *buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmdOK);
  buttons->addWidget(cmdCancel);

  auto *layout = new QVBoxLayout(this);
  layout->addLayout(account);
  layout->addLayout(checks);
  layout->addWidget(Frame1);
  layout->addWidget(cocologBox);
  layout->addLayout(overwrite);
  layout->addWidget(chkFilter);
  layout->addWidget(chkManual);
  layout->addWidget(chkCustom);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetMinimumSize);

  connect(Combo1, qOverload<int>(&QComboBox::activated), this,
          [this] { blogSelected(); });
  for (QRadioButton *b : optCocolog)
    connect(b, &QRadioButton::toggled, this, [this](bool on) {
      if (on)
        optionStep();
    });
  connect(chkOver, &QCheckBox::toggled, this, [this] { overwriteStep(); });
  connect(chkManual, &QCheckBox::toggled, this, [this] { manualStep(); });
  connect(chkFilter, &QCheckBox::toggled, this, [this] { maskStep(); });
  connect(chkCustom, &QCheckBox::toggled, this,
          [this](bool on) { customStep(on); });
  connect(chkFc2OverWrt, &QCheckBox::toggled, this,
          [this](bool on) { proposeOverwriteCaption(on); });
  connect(Command1, &QPushButton::clicked, this, [this] { exchangeAccount(); });
  connect(cmdOK, &QPushButton::clicked, this, [this] { ok(); });
  connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void KihonDialog::load() {
  loading_ = true;
  txtUser->setText(setting(UserId));
  txtPass->setText(setting(Password));
  if (!setting(Thumbnail).isEmpty())
    chkThumbnail->setChecked(isOn(Thumbnail));
  if (!setting(OverWrite).isEmpty())
    chkOver->setChecked(isOn(OverWrite));
  txtTool->setText(setting(ToolName));

  const QString stored = setting(BlogUrl);
  Combo1->addItem(stored);
  for (const BlogService &s : serviceTable())
    Combo1->addItem(s.displayName);
  selectEntry(0);
  for (int k = 0; k < serviceTable().size(); ++k)
    if (!stored.isEmpty() && stored == serviceTable()[k].loginUrl) {
      selectEntry(k + 1);
      break;
    }

  chkCustom->setChecked(isOn(UseCustom));
  chkCheck->setChecked(isOn(CheckUpload));
  const QString goo = setting(GooSize);
  (goo == QLatin1String("0")   ? optGooOn
   : goo == QLatin1String("1") ? optGooOff
                               : optGooGaz)
      ->setChecked(true);
  chkList->setChecked(isOn(MakeUrlList));
  optCocolog[setting(CocologTarget) == QLatin1String("0") ? 0 : 1]->setChecked(
      true);
  optionStep();
  chkLogOut->setChecked(isOn(LogOut));
  txtDir->setText(setting(DirName));
  chkFilter->setChecked(isOn(HidePassword));
  chkFc2OverWrt->setChecked(isOn(Fc2OverWrt));
  txtFc2OverTtl->setText(setting(Fc2OverTitle));
  chkManual->setChecked(isOn(ManualLogin));

  manualStep();
  maskStep();
  loading_ = false;
}

void KihonDialog::selectEntry(int index) {
  Combo1->setCurrentIndex(index);
  blogSelected();
}

QString KihonDialog::listText() const { return Combo1->currentText(); }

bool KihonDialog::listIs(int service) const {
  const BlogService &s = serviceTable()[service];
  const QString text = listText();
  return text == s.displayName || text.toLower().contains(s.fragment);
}

void KihonDialog::blogSelected() {
  enable({chkThumbnail, lblTool, txtTool, lblDir, txtDir, chkOver, chkCheck,
          chkList, optGooOn, optGooOff, optGooGaz, optCocolog[0], optCocolog[1],
          chkFc2OverWrt, txtFc2OverTtl},
         false);
  lblTool->setText(u(kToolCaption));
  txtTool->setToolTip(u(kToolTip));
  // The folder label and the pair's captions go back to their neutral
  // form too, so a disabled box never carries the previous service's name.
  lblDir->setText(u(kDirCaption));
  txtDir->setToolTip(QString());
  optCocolog[0]->setText(u(kMyPhoto));
  optCocolog[1]->setText(u(kControlPanel));
  optGooOn->setText(u(kGooOn));
  optGooOff->setText(u(kGooOff));
  optGooGaz->setText(u(kGooGaz));

  auto tool = [this](const char *caption, const char *tip) {
    lblTool->setText(u(caption));
    txtTool->setToolTip(u(tip));
  };
  auto dir = [this](const char *caption, const char *tip) {
    lblDir->setText(u(caption));
    txtDir->setToolTip(u(tip));
  };

  for (int svc = 0; svc < serviceTable().size(); ++svc) {
    if (!listIs(svc))
      continue;
    switch (svc) {
    case SvcFc2:
      chkThumbnail->setChecked(setting(Thumbnail).isEmpty() || isOn(Thumbnail));
      enable({chkThumbnail, chkOver, chkCheck, chkList, chkFc2OverWrt,
              txtFc2OverTtl});
      break;
    case SvcAmeba:
      enable({optGooOn, optGooOff, optGooGaz});
      optGooOn->setText(u("全員に公開"));
      optGooOff->setText(u("ｱﾒﾝﾊﾞｰのみ公開"));
      optGooGaz->setText(u("公開しない"));
      break;
    case SvcLivedoor:
      enable({chkCheck, chkList});
      chkThumbnail->setChecked(isOn(Thumbnail));
      chkThumbnail->setEnabled(true);
      tool("ﾌｫﾙﾀﾞ：", "完全に一致するﾌｫﾙﾀﾞ名を入力。");
      enable({lblTool, txtTool});
      dir("ﾌﾞﾛｸﾞﾀｲﾄﾙ：", "完全に一致するﾌﾞﾛｸﾞのﾀｲﾄﾙを入力。");
      enable({lblDir, txtDir});
      break;
    case SvcSeesaa:
      tool("ﾌﾞﾛｸﾞ名：", "完全に一致するﾌﾞﾛｸﾞ名を入力。");
      enable({lblTool, txtTool});
      dir("ﾃﾞｨﾚｸﾄﾘ：", "完全に一致するﾃﾞｨﾚｸﾄﾘ名を入力。");
      enable({lblDir, txtDir});
      break;
    case SvcRakuten:
      tool("ｱﾙﾊﾞﾑ名：", "完全に一致するｱﾙﾊﾞﾑ名を入力。");
      enable({lblTool, txtTool, chkList});
      break;
    case SvcNinja:
      tool("ﾌﾞﾛｸﾞ名：", "完全に一致するﾌﾞﾛｸﾞ名を入力。");
      enable({lblTool, txtTool, chkOver, chkCheck, chkList});
      if (!chkOver->isChecked())
        chkCheck->setEnabled(false);
      else
        chkList->setEnabled(false);
      break;
    case SvcDti:
      enable({chkThumbnail, chkCheck});
      break;
    case SvcCsc:
      break;
    case SvcGoo:
      // Video is chosen by the script from the file's extension.
      enable({optGooOn, optGooOff});
      if (setting(GooSize) == QLatin1String("2"))
        optGooOn->setChecked(true);
      break;
    case SvcCocolog:
      tool("ｱﾙﾊﾞﾑ名：", "完全に一致するｱﾙﾊﾞﾑ名を入力。");
      dir("ﾌｫﾙﾀﾞ名：", "完全に一致するﾌｫﾙﾀﾞ名を入力。");
      enable({optCocolog[0], optCocolog[1]});
      optCocolog[0]->setText(u(kMyPhoto));
      optCocolog[1]->setText(u(kControlPanel));
      cocologStep();
      break;
    case SvcJugem:
      enable({chkList, chkThumbnail});
      break;
    case SvcWebry:
      dir("ﾌｫﾙﾀﾞ：", "完全に一致するﾌｫﾙﾀﾞ名を入力。");
      enable({lblDir, txtDir, chkOver, chkList});
      break;
    case SvcSonet:
      optCocolog[0]->setText(u("So-net会員 ﾛｸﾞｲﾝ"));
      optCocolog[1]->setText(u("ﾒｰﾙｱﾄﾞﾚｽID ﾛｸﾞｲﾝ"));
      enable({optCocolog[0], optCocolog[1]});
      tool("ﾌﾞﾛｸﾞの名前：", "完全に一致するﾌﾞﾛｸﾞの名前を入力。");
      enable({lblTool, txtTool});
      break;
    }
  }
  chkCustom->setChecked(false);
}

void KihonDialog::optionStep() {
  if (listIs(SvcAmeba)) {
    const bool everyone = optCocolog[0]->isChecked();
    enable({lblTool, txtTool, optGooOn, optGooOff, optGooGaz}, !everyone);
    chkList->setEnabled(everyone);
  } else if (listIs(SvcCocolog)) {
    cocologStep();
  }
}

// Photo album: the album's name; control panel: the folder's name.
void KihonDialog::cocologStep() {
  const bool album = optCocolog[0]->isChecked();
  enable({lblTool, txtTool}, album);
  enable({lblDir, txtDir}, !album);
}

// Ninja can either overwrite or check and list, not both.
void KihonDialog::overwriteStep() {
  if (!listIs(SvcNinja))
    return;
  const bool over = chkOver->isChecked();
  chkCheck->setEnabled(over);
  chkList->setEnabled(!over);
}

void KihonDialog::manualStep() {
  if (chkManual->isChecked()) {
    if (!txtUser->text().isEmpty())
      heldUser_ = txtUser->text();
    if (!txtPass->text().isEmpty())
      heldPass_ = txtPass->text();
    txtUser->clear();
    txtPass->clear();
    enable({txtUser, txtPass}, false);
  } else {
    enable({txtUser, txtPass});
    if (!heldUser_.isEmpty())
      txtUser->setText(heldUser_);
    if (!heldPass_.isEmpty())
      txtPass->setText(heldPass_);
  }
}

void KihonDialog::maskStep() {
  txtPass->setEchoMode(chkFilter->isChecked() ? QLineEdit::Password
                                              : QLineEdit::Normal);
}

void KihonDialog::customStep(bool ticked) {
  if (ticked && !loading_ && onCustomDesigner)
    onCustomDesigner();
}

// The caption of the box a page's confirm() raises, as this browser
// engine draws it; the older engines' captions stay for settings carried
// over from them.
void KihonDialog::proposeOverwriteCaption(bool ticked) {
  if (!ticked || !txtFc2OverTtl->text().isEmpty())
    return;
  const QString v = browserMajorVersion();
  if (v == QLatin1String("6"))
    txtFc2OverTtl->setText(QStringLiteral("Microsoft Internet Explorer"));
  else if (v == QLatin1String("7"))
    txtFc2OverTtl->setText(QStringLiteral("Windows Internet Explorer"));
  else if (v == QLatin1String("8") || v == engineMajorVersion())
    txtFc2OverTtl->setText(u(kScriptDialogCaption));
}

void KihonDialog::exchangeAccount() {
  AccountBlog = listText();
  AccountUser = txtUser->text();
  AccountPass = txtPass->text();
  AccountCancel = false;
  {
    AccountDialog dlg(this);
    dlg.exec();
  }
  if (AccountCancel)
    return;
  int chosen = -1;
  // Every entry holding the account's blog is selected in turn, so the
  // last one stays; an empty blog text would match them all.
  if (!AccountBlog.isEmpty())
    for (int i = 0; i < Combo1->count(); ++i)
      if (Combo1->itemText(i).contains(AccountBlog)) {
        selectEntry(i);
        chosen = i;
      }
  if (chosen < 0) {
    Combo1->setItemText(0, AccountBlog);
    selectEntry(0);
  }
  txtUser->setText(AccountUser);
  txtPass->setText(AccountPass);
  manualStep();
}

// The services whose scripts cannot find their target without a name:
// Ninja and So-net look for the blog by name, Cocolog's photo album by the
// album's name.
bool KihonDialog::needsToolName() const {
  QString url = listText();
  for (const BlogService &s : serviceTable())
    if (s.displayName == url) {
      url = s.loginUrl;
      break;
    }
  switch (selectService(url)) {
  case SvcNinja:
  case SvcSonet:
    return true;
  case SvcCocolog:
    return optCocolog[0]->isChecked();
  default:
    return false;
  }
}

void KihonDialog::ok() {
  auto refuse = [this](const char *text, QWidget *focus) {
    showMessage(this, u(text));
    focus->setFocus();
  };
  if (listText().trimmed().isEmpty()) {
    selectEntry(0);
    refuse("ブログを選択してください。", Combo1);
    return;
  }
  if (!chkManual->isChecked()) {
    if (txtUser->text().isEmpty())
      return refuse("ユーザーIDを入力してください。", txtUser);
    if (txtPass->text().isEmpty())
      return refuse("パスワードを入力してください。", txtPass);
  }
  // A box is asked for only while the chosen service uses it: a box that
  // is disabled cannot take the focus, and OK would stay refused.
  if (txtFc2OverTtl->isEnabledTo(this) && chkFc2OverWrt->isChecked() &&
      txtFc2OverTtl->text().trimmed().isEmpty())
    return refuse("確認メッセージの画面タイトルを入力してください。",
                  txtFc2OverTtl);
  if (txtTool->isEnabledTo(this) && needsToolName() &&
      txtTool->text().trimmed().isEmpty())
    return refuse("入力してください。", txtTool);

  QString url = listText();
  for (const BlogService &s : serviceTable())
    if (s.displayName == url) {
      url = s.loginUrl;
      break;
    }
  auto flag = [](const QCheckBox *c) {
    return c->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
  };
  setting(BlogUrl) = url;
  setting(UserId) = txtUser->text();
  setting(Password) = txtPass->text();
  setting(ToolName) = txtTool->text();
  setting(DirName) = txtDir->text();
  setting(Fc2OverTitle) = txtFc2OverTtl->text();
  setting(Thumbnail) = flag(chkThumbnail);
  setting(OverWrite) = flag(chkOver);
  setting(UseCustom) = flag(chkCustom);
  setting(CheckUpload) = flag(chkCheck);
  setting(MakeUrlList) = flag(chkList);
  setting(LogOut) = flag(chkLogOut);
  setting(HidePassword) = flag(chkFilter);
  setting(Fc2OverWrt) = flag(chkFc2OverWrt);
  setting(ManualLogin) = flag(chkManual);
  setting(GooSize) = optGooOn->isChecked()    ? QStringLiteral("0")
                     : optGooOff->isChecked() ? QStringLiteral("1")
                                              : QStringLiteral("2");
  setting(CocologTarget) =
      optCocolog[0]->isChecked() ? QStringLiteral("0") : QStringLiteral("1");
  saveSettings(settingsPath());
  accept();
}
