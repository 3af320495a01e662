#include "customdialog.h"

#include "recorder.h"

#include "core/paths.h"
#include "core/settings.h"
#include "core/textfile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValidator>

#include <iterator>

namespace {
// The file cannot hold a TAB or a line break inside a field, so the boxes
// refuse them; a paste that carries one is refused whole.
class FieldValidator : public QValidator {
public:
  using QValidator::QValidator;
  State validate(QString &input, int &) const override {
    return cleanCustomField(input) == input ? Acceptable : Invalid;
  }
};

const char *const kRowLabels[kCustomRowCount] = {
    "ｻｲﾝｲﾝ：", "ﾕｰｻﾞｰID：", "ﾊﾟｽﾜｰﾄﾞ：",  "ﾛｸﾞｲﾝﾎﾞﾀﾝ：", "ﾛｸﾞｲﾝ済：", "ﾘﾝｸ1：",
    "ﾘﾝｸ2：",  "ｻﾑﾈｲﾙ：",   "参照ﾎﾞﾀﾝ：", "ﾌｧｲﾙ名：",    "項目1：",   "項目2：",
    "項目3：", "項目4：",   "項目5：",    "ｱｯﾌﾟﾛｰﾄﾞ："};

// The page groups: first row and label.
struct Group {
  int firstRow;
  const char *label;
};
const Group kGroups[] = {{RowSignIn, "ﾄｯﾌﾟﾍﾟｰｼﾞ"},
                         {RowUserId, "ﾛｸﾞｲﾝﾍﾟｰｼﾞ"},
                         {RowLink1, "経由ﾍﾟｰｼﾞ1"},
                         {RowLink2, "経由ﾍﾟｰｼﾞ2"},
                         {RowThumbnail, "ﾒｲﾝﾍﾟｰｼﾞ"}};

const QStringList &methodList() {
  static const QStringList l{
      QStringLiteral("指定なし"), QStringLiteral("Name"),
      QStringLiteral("Value"),    QStringLiteral("innerText"),
      QStringLiteral("Alt"),      QStringLiteral("Type")};
  return l;
}

const QStringList &actionList() {
  static const QStringList l{QStringLiteral("指定なし"),
                             QStringLiteral("Click"), QStringLiteral("Value")};
  return l;
}

// Codes as the file writes them.
enum { None = 0, Name = 1, Value = 2, InnerText = 3, Alt = 4 };
enum { Nothing = 0, Click = 1, SetValue = 2, Browse = 3 };

// One preset row. In the value, "\x01U" and "\x01P" stand for the user id
// and password; in the search text "\x01T" stands for the tool name, all
// taken from the settings when the button is pressed.
struct PresetRow {
  int row;
  const char *tag;
  int method;
  const char *search;
  int action;
  const char *value;
};
const char *const kUser = "\x01U";
const char *const kPass = "\x01P";
const char *const kTool = "\x01T";

struct PresetTable {
  QVector<PresetRow> rows;
  bool back;
};

const PresetTable &presetTable(frmCustom::Preset p) {
  static const PresetTable fc2{
      {{RowUserId, "input", Name, "id", SetValue, kUser},
       {RowPassword, "input", Name, "pass", SetValue, kPass},
       {RowLoginButton, "input", Alt, "ログイン", Click, ""},
       {RowLoggedIn, "a", InnerText, "・ブログ管理画面へ", Click, ""},
       {RowLink1, "a", InnerText, "ファイルアップロード", Click, ""},
       {RowThumbnail, "input", Name, "upload[sumb]", Click, ""},
       {RowBrowse, "input", Name, "upfile", Browse, ""},
       {RowSubmit, "input", Value, "アップロード", Click, ""}},
      false};
  static const PresetTable seesaa{
      {{RowSignIn, "a", InnerText, "ブログを書く", Click, ""},
       {RowUserId, "input", Name, "member__email", SetValue, kUser},
       {RowPassword, "input", Name, "member__password", SetValue, kPass},
       {RowLoginButton, "input", Value, "サインイン", Click, ""},
       {RowLoggedIn, "a", InnerText, "サインアウト", Nothing, ""},
       {RowLink1, "a", InnerText, kTool, Click, ""},
       {RowLink2, "a", InnerText, "ファイルマネージャ", Click, ""},
       {RowBrowse, "input", Name, "upload__file", Browse, ""},
       {RowSubmit, "input", Value, "アップロードする", Click, ""}},
      false};
  static const PresetTable dti{
      {{RowUserId, "input", Name, "id", SetValue, kUser},
       {RowPassword, "input", Name, "pass", SetValue, kPass},
       {RowLoginButton, "input", Value, "管理画面へログイン", Click, ""},
       {RowLink1, "a", InnerText, "ファイルアップロード", Click, ""},
       {RowThumbnail, "input", Name, "thumb", Click, ""},
       {RowBrowse, "input", Name, "upfile", Browse, ""},
       {RowSubmit, "input", Value, "アップロード", Click, ""}},
      false};
  static const PresetTable ninja{
      {{RowUserId, "input", Name, "id", SetValue, kUser},
       {RowPassword, "input", Name, "ps", SetValue, kPass},
       {RowLoginButton, "input", Value, "管理ページへログイン", Click, ""},
       {RowLoggedIn, "a", Name, "サインアウト", Nothing, ""},
       {RowLink1, "a", InnerText, kTool, Click, ""},
       {RowLink2, "a", InnerText, "ファイルアップロード", Click, ""},
       {RowThumbnail, "input", Name, "overwrite", Click, ""},
       {RowBrowse, "input", Name, "file", Browse, ""},
       {RowSubmit, "input", Value, "アップロード", Click, ""}},
      true};
  switch (p) {
  case frmCustom::PresetFc2:
    return fc2;
  case frmCustom::PresetSeeSaa:
    return seesaa;
  case frmCustom::PresetDti:
    return dti;
  case frmCustom::PresetNinja:
    break;
  }
  return ninja;
}

QString presetText(const char *text) {
  const QString t = QString::fromUtf8(text);
  if (t == QLatin1String(kUser))
    return setting(UserId);
  if (t == QLatin1String(kPass))
    return setting(Password);
  if (t == QLatin1String(kTool))
    return setting(ToolName);
  return t;
}

// A selection from a file written by hand: anything that is not an index
// of the list selects "指定なし".
void selectIndex(QComboBox *box, const QString &text) {
  bool ok = false;
  const int i = text.trimmed().toInt(&ok);
  box->setCurrentIndex(ok && i >= 0 && i < box->count() ? i : 0);
}

QFrame *separator(QWidget *parent) {
  auto *line = new QFrame(parent);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  return line;
}
} // namespace

frmCustom::frmCustom(QWidget *parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("ｶｽﾀﾑ設定"));

  auto *grid = new QGridLayout;
  grid->setVerticalSpacing(2);
  const QStringList headers{
      QStringLiteral("検索ﾀｸﾞ"), QStringLiteral("検索対象"),
      QStringLiteral("検索文字列"), QStringLiteral("動作"),
      QStringLiteral("セットする文字")};
  for (int c = 0; c < headers.size(); ++c)
    grid->addWidget(new QLabel(headers[c], this), 0, 2 + c);

  int line = 1;
  int group = 0;
  for (int r = 0; r < kCustomRowCount; ++r) {
    if (group < int(std::size(kGroups)) && kGroups[group].firstRow == r) {
      if (r > 0)
        grid->addWidget(separator(this), line++, 0, 1, 7);
      grid->addWidget(new QLabel(QString::fromUtf8(kGroups[group].label), this),
                      line, 0);
      ++group;
    }
    grid->addWidget(new QLabel(QString::fromUtf8(kRowLabels[r]), this), line, 1,
                    Qt::AlignRight);
    auto edit = [this](int width) {
      auto *e = new QLineEdit(this);
      e->setValidator(new FieldValidator(e));
      e->setMinimumWidth(width);
      return e;
    };
    txtTag << edit(60);
    cmbMeth << new QComboBox(this);
    txtData << edit(160);
    cmbDosa << new QComboBox(this);
    txtValu << edit(160);
    cmbMeth[r]->addItems(methodList());
    cmbDosa[r]->addItems(actionList());
    grid->addWidget(txtTag[r], line, 2);
    grid->addWidget(cmbMeth[r], line, 3);
    grid->addWidget(txtData[r], line, 4);
    grid->addWidget(cmbDosa[r], line, 5);
    grid->addWidget(txtValu[r], line, 6);
    ++line;
  }
  cmbDosa[RowBrowse]->addItem(QStringLiteral("参照"));
  txtValu[RowFileName]->setToolTip(
      QStringLiteral("(*FileName*)と入力すればファイル名がセットされます。"));
  grid->setColumnStretch(4, 1);
  grid->setColumnStretch(6, 1);

  chkBack =
      new QCheckBox(QStringLiteral("ｱｯﾌﾟﾛｰﾄﾞ完了後に前の画面に戻る"), this);

  cmdFc2 = new QPushButton(QStringLiteral("FC2"), this);
  cmdFc2->setToolTip(QStringLiteral("規定値を設定"));
  cmdSeeSaa = new QPushButton(QStringLiteral("SeeSaa"), this);
  CmdDti = new QPushButton(QStringLiteral("DTI"), this);
  cmdNinja = new QPushButton(QStringLiteral("忍者"), this);
  cmdClear = new QPushButton(QStringLiteral("クリア"), this);
  cmdOpen = new QPushButton(QStringLiteral("読込"), this);
  cmdSave = new QPushButton(QStringLiteral("保存"), this);
  cmdRecord = new QPushButton(QStringLiteral("記録"), this);
  cmdRecord->setToolTip(
      QStringLiteral("ブラウザでサイトをクリックして各行を記録します。"));
  cmdOK = new QPushButton(QStringLiteral("OK"), this);
  cmdCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
  for (QPushButton *b : {cmdFc2, cmdSeeSaa, CmdDti, cmdNinja, cmdClear, cmdOpen,
                         cmdSave, cmdRecord, cmdOK, cmdCancel})
    b->setAutoDefault(false);

  connect(cmdFc2, &QPushButton::clicked, this,
          [this] { applyPreset(PresetFc2); });
  connect(cmdSeeSaa, &QPushButton::clicked, this,
          [this] { applyPreset(PresetSeeSaa); });
  connect(CmdDti, &QPushButton::clicked, this,
          [this] { applyPreset(PresetDti); });
  connect(cmdNinja, &QPushButton::clicked, this,
          [this] { applyPreset(PresetNinja); });
  connect(cmdClear, &QPushButton::clicked, this, &frmCustom::clearRows);
  connect(cmdOpen, &QPushButton::clicked, this, &frmCustom::loadFile);
  connect(cmdSave, &QPushButton::clicked, this, [this] { saveFile(); });
  connect(cmdRecord, &QPushButton::clicked, this, &frmCustom::startRecording);
  connect(cmdOK, &QPushButton::clicked, this, [this] {
    if (saveFile())
      accept();
  });
  connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

  auto *presets = new QHBoxLayout;
  presets->addWidget(new QLabel(QStringLiteral("規定値をｾｯﾄ"), this));
  for (QPushButton *b : {cmdFc2, cmdSeeSaa, CmdDti, cmdNinja})
    presets->addWidget(b);
  presets->addStretch();
  presets->addWidget(cmdClear);

  auto *bottom = new QHBoxLayout;
  bottom->addWidget(cmdOpen);
  bottom->addWidget(cmdSave);
  bottom->addWidget(cmdRecord);
  bottom->addStretch();
  bottom->addWidget(cmdOK);
  bottom->addWidget(cmdCancel);

  auto *v = new QVBoxLayout(this);
  v->addLayout(grid);
  v->addWidget(separator(this));
  v->addWidget(chkBack);
  v->addLayout(presets);
  v->addLayout(bottom);

  loadFile();
}

void frmCustom::setRow(int r, const CustomRow &row) {
  txtTag[r]->setText(row.tag);
  selectIndex(cmbMeth[r], row.attribute);
  txtData[r]->setText(row.search);
  selectIndex(cmbDosa[r], row.action);
  txtValu[r]->setText(row.value);
}

void frmCustom::loadFile() {
  const QString path = dataFile(QString::fromUtf8(kCustomFileName));
  const TextFile file = readTextFile(path);
  if (file.status == ReadStatus::Unreadable)
    QMessageBox::warning(this, windowTitle(),
                         unreadableMessage(path, file.error));
  const QStringList &lines = file.lines;
  for (int i = 0; i < lines.size() && i <= kCustomRowCount; ++i) {
    QStringList f = lines[i].split(QLatin1Char('\t'));
    // A hand-edited line may lack fields; the missing ones count as empty.
    while (f.size() < 5)
      f << QString();
    if (i == kCustomRowCount) {
      chkBack->setChecked(f[1].trimmed() == QLatin1String("1"));
      break;
    }
    setRow(i, CustomRow{f[0], f[1], f[2], f[3], f[4]});
  }
}

CustomScript frmCustom::script() const {
  CustomScript s;
  for (int r = 0; r < kCustomRowCount; ++r)
    s.rows[r] = CustomRow{
        txtTag[r]->text(), QString::number(cmbMeth[r]->currentIndex()),
        txtData[r]->text(), QString::number(cmbDosa[r]->currentIndex()),
        txtValu[r]->text()};
  s.backAfterUpload = chkBack->isChecked();
  return s;
}

bool frmCustom::saveFile() {
  const QString path = dataFile(QString::fromUtf8(kCustomFileName));
  if (saveCustomScript(path, script()))
    return true;
  QMessageBox::warning(this, windowTitle(),
                       QStringLiteral("%1 を保存できませんでした。").arg(path));
  return false;
}

void frmCustom::clearRows() {
  for (int r = 0; r < kCustomRowCount; ++r)
    setRow(r, CustomRow{});
}

void frmCustom::applyPreset(Preset preset) {
  const PresetTable &t = presetTable(preset);
  clearRows();
  for (const PresetRow &p : t.rows)
    setRow(p.row, CustomRow{QString::fromUtf8(p.tag), QString::number(p.method),
                            presetText(p.search), QString::number(p.action),
                            presetText(p.value)});
  chkBack->setChecked(t.back);
}

void frmCustom::startRecording() {
  if (recorder_ && recorder_->isVisible()) {
    recorder_->raise();
    recorder_->activateWindow();
    return;
  }
  recorder_ = new RecorderWindow(setting(BlogUrl), this);
  connect(recorder_, &RecorderWindow::finished, this, [this] {
    const CustomScript s = recorder_->recording().applyTo(
        script(), setting(UserId), setting(Password));
    for (int r = 0; r < kCustomRowCount; ++r)
      setRow(r, s.rows[r]);
    recorder_ = nullptr; // it closes itself
  });
  recorder_->show();
}

RecorderWindow *frmCustom::recorder() const { return recorder_; }

QString customRowLabel(int row) {
  return row >= 0 && row < kCustomRowCount ? QString::fromUtf8(kRowLabels[row])
                                           : QString();
}

void openCustomDesigner(QWidget *parent) {
  frmCustom dialog(parent);
  dialog.exec();
}
