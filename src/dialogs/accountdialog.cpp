#include "accountdialog.h"

#include "dialogs.h"

#include "core/paths.h"
#include "core/services.h"
#include "core/textfile.h"
#include "mainwindow/appsetup.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

QString AccountBlog;
QString AccountUser;
QString AccountPass;
bool AccountCancel = false;

namespace {
QString u(const char *s) { return QString::fromUtf8(s); }
const QChar kComma = QLatin1Char(',');
} // namespace

QString accountsPath() { return dataFile(QStringLiteral("Account.txt")); }

QVector<AccountRow> readAccounts(const QString &path) {
  return accountsFromLines(readTextLines(path));
}

QVector<AccountRow> accountsFromLines(const QStringList &lines) {
  QVector<AccountRow> rows;
  for (const QString &line : lines) {
    if (line.isEmpty())
      continue;
    const QStringList p = line.split(kComma);
    rows.push_back({p.value(0), p.value(1), p.value(2)});
  }
  return rows;
}

bool writeAccounts(const QString &path, const QVector<AccountRow> &rows) {
  QStringList lines;
  for (const AccountRow &a : rows)
    lines << a.blog + kComma + a.user + kComma + a.password;
  return writeTextLines(path, lines, true);
}

AccountDialog::AccountDialog(QWidget *parent) : QDialog(parent) {
  build();
  load();
}

void AccountDialog::build() {
  setObjectName(QStringLiteral("frmAccount"));
  setWindowTitle(u("アカウント管理"));

  mfgList = new QTableWidget(0, 3, this);
  mfgList->setObjectName(QStringLiteral("mfgList"));
  mfgList->setHorizontalHeaderLabels(
      {u("ﾌﾞﾛｸﾞ名"), u("ﾕｰｻﾞｰ名"), u("ﾊﾟｽﾜｰﾄﾞ")});
  mfgList->verticalHeader()->hide();
  mfgList->setSelectionBehavior(QAbstractItemView::SelectRows);
  mfgList->setSelectionMode(QAbstractItemView::SingleSelection);
  mfgList->setEditTriggers(QAbstractItemView::NoEditTriggers);
  const int widths[3] = {1248, 2688, 960};
  int total = 0;
  for (int c = 0; c < 3; ++c) {
    mfgList->setColumnWidth(c, twipsToPixelsX(widths[c]));
    total += mfgList->columnWidth(c);
  }
  mfgList->horizontalHeader()->setStretchLastSection(true);
  mfgList->setMinimumWidth(total + 2 * mfgList->frameWidth() + 4);

  Combo1 = new QComboBox(this);
  Combo1->setObjectName(QStringLiteral("Combo1"));
  Combo1->setEditable(true);
  Combo1->setInsertPolicy(QComboBox::NoInsert);
  Combo1->setMaxVisibleItems(ServiceCount + 1);
  txtUser = new QLineEdit(this);
  txtUser->setObjectName(QStringLiteral("txtUser"));
  txtPass = new QLineEdit(this);
  txtPass->setObjectName(QStringLiteral("txtPass"));
  selectAllText(txtUser);
  selectAllText(txtPass);

  cmdAdd = new QPushButton(u("追加"), this);
  cmdUpd = new QPushButton(u("更新"), this);
  cmdDel = new QPushButton(u("削除"), this);
  cmdOK = new QPushButton(QStringLiteral("OK"), this);
  cmdCancel = new QPushButton(u("ｷｬﾝｾﾙ"), this);
  cmdAdd->setObjectName(QStringLiteral("cmdAdd"));
  cmdUpd->setObjectName(QStringLiteral("cmdUpd"));
  cmdDel->setObjectName(QStringLiteral("cmdDel"));
  cmdOK->setObjectName(QStringLiteral("cmdOK"));
  cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
  // Enter in a box must not close the list behind the user's back.
  for (QPushButton *b : {cmdAdd, cmdUpd, cmdDel, cmdOK, cmdCancel})
    b->setAutoDefault(false);

  auto *boxes = new QGridLayout;
  boxes->addWidget(new QLabel(u("ﾌﾞﾛｸﾞ名"), this), 0, 0);
  boxes->addWidget(Combo1, 0, 1);
  boxes->addWidget(new QLabel(u("ﾕｰｻﾞｰ名"), this), 1, 0);
  boxes->addWidget(txtUser, 1, 1);
  boxes->addWidget(new QLabel(u("ﾊﾟｽﾜｰﾄﾞ"), this), 2, 0);
  boxes->addWidget(txtPass, 2, 1);
  boxes->setColumnStretch(1, 1);

  auto *edit = new QHBoxLayout;
  edit->addWidget(cmdAdd);
  edit->addWidget(cmdUpd);
  edit->addWidget(cmdDel);
  edit->addStretch();
  edit->addWidget(cmdOK);
  edit->addWidget(cmdCancel);

  auto *layout = new QVBoxLayout(this);
  layout->addWidget(mfgList, 1);
  layout->addLayout(boxes);
  layout->addLayout(edit);

  connect(mfgList, &QTableWidget::currentCellChanged, this,
          [this](int row) { rowToBoxes(row); });
  connect(mfgList, &QTableWidget::cellClicked, this,
          [this](int row) { rowToBoxes(row); });
  connect(mfgList, &QTableWidget::cellDoubleClicked, this, [this] { ok(); });
  connect(cmdAdd, &QPushButton::clicked, this, [this] { add(); });
  connect(cmdUpd, &QPushButton::clicked, this, [this] { update(); });
  connect(cmdDel, &QPushButton::clicked, this, [this] { remove(); });
  connect(cmdOK, &QPushButton::clicked, this, [this] { ok(); });
  connect(cmdCancel, &QPushButton::clicked, this, [this] { reject(); });
}

void AccountDialog::load() {
  Combo1->addItem(QString());
  for (const BlogService &s : serviceTable())
    Combo1->addItem(s.displayName);
  Combo1->setCurrentIndex(-1);
  Combo1->setEditText(QString());

  const TextFile file = readTextFile(accountsPath());
  if (file.status == ReadStatus::Unreadable) {
    fileUnreadable_ = true;
    showMessage(this, unreadableMessage(accountsPath(), file.error));
  }
  const QVector<AccountRow> stored = accountsFromLines(file.lines);
  mfgList->blockSignals(true);
  mfgList->setRowCount(stored.size());
  for (int r = 0; r < stored.size(); ++r)
    setRow(r, stored[r]);
  mfgList->setCurrentCell(-1, -1);
  mfgList->blockSignals(false);

  for (int r = 0; r < stored.size(); ++r) {
    const AccountRow &a = stored[r];
    if (a.blog == AccountBlog && a.user == AccountUser &&
        a.password == AccountPass) {
      // The boxes show the row too, so that OK hands back this very
      // account rather than empty fields.
      mfgList->setCurrentCell(r, 0);
      mfgList->selectRow(r);
      rowToBoxes(r);
      return;
    }
  }
  // Like a grid that always has a current row: OK hands back the boxes
  // whenever there is an account at all, without the row being selected.
  if (!stored.isEmpty()) {
    mfgList->blockSignals(true);
    mfgList->selectionModel()->setCurrentIndex(mfgList->model()->index(0, 0),
                                               QItemSelectionModel::NoUpdate);
    mfgList->blockSignals(false);
  }
  setListText(AccountBlog);
  txtUser->setText(AccountUser);
  txtPass->setText(AccountPass);
}

void AccountDialog::setListText(const QString &text) {
  const int i = text.isEmpty() ? -1 : Combo1->findText(text);
  if (i >= 1) {
    Combo1->setCurrentIndex(i);
  } else {
    Combo1->setCurrentIndex(0);
    Combo1->setEditText(text);
  }
}

void AccountDialog::setRow(int row, const AccountRow &a) {
  const QString cells[3] = {a.blog, a.user, a.password};
  for (int c = 0; c < 3; ++c)
    mfgList->setItem(row, c, new QTableWidgetItem(cells[c]));
}

QVector<AccountRow> AccountDialog::rows() const {
  QVector<AccountRow> out;
  auto cell = [this](int r, int c) {
    const QTableWidgetItem *i = mfgList->item(r, c);
    return i ? i->text() : QString();
  };
  for (int r = 0; r < mfgList->rowCount(); ++r)
    out.push_back({cell(r, 0), cell(r, 1), cell(r, 2)});
  return out;
}

void AccountDialog::rowToBoxes(int row) {
  if (row < 0 || row >= mfgList->rowCount())
    return;
  const AccountRow a = rows()[row];
  setListText(a.blog);
  txtUser->setText(a.user);
  txtPass->setText(a.password);
}

// The file keeps one account per line with commas between the fields and
// no quoting, so a comma inside a field would shift every field after it.
bool AccountDialog::boxesStorable() {
  QWidget *offender = nullptr;
  if (Combo1->currentText().contains(kComma))
    offender = Combo1;
  else if (txtUser->text().contains(kComma))
    offender = txtUser;
  else if (txtPass->text().contains(kComma))
    offender = txtPass;
  if (!offender)
    return true;
  showMessage(this, u("ブログ名・ユーザー名・パスワードに「,」(カンマ)は"
                      "使えません。"));
  offender->setFocus();
  return false;
}

void AccountDialog::add() {
  if (!boxesStorable())
    return;
  const int r = mfgList->rowCount();
  mfgList->blockSignals(true);
  mfgList->insertRow(r);
  setRow(r, {Combo1->currentText(), txtUser->text(), txtPass->text()});
  mfgList->blockSignals(false);
}

int AccountDialog::selectedRow() const {
  const int r = mfgList->currentRow();
  return r >= 0 && mfgList->selectionModel()->isRowSelected(r, QModelIndex())
             ? r
             : -1;
}

// Update and delete act on the row the user sees selected. The grid can
// have a current row nobody selected (after loading without a matching
// account, for one), and that row is not the user's choice.
void AccountDialog::update() {
  const int r = selectedRow();
  if (r < 0 || !boxesStorable())
    return;
  setRow(r, {Combo1->currentText(), txtUser->text(), txtPass->text()});
}

void AccountDialog::remove() {
  const int r = selectedRow();
  if (r >= 0)
    mfgList->removeRow(r);
}

void AccountDialog::ok() {
  if (mfgList->currentRow() >= 0 && mfgList->rowCount() > 0) {
    AccountBlog = Combo1->currentText();
    AccountUser = txtUser->text();
    AccountPass = txtPass->text();
    AccountCancel = false;
  } else {
    AccountCancel = true;
  }
  if (!fileUnreadable_ && !writeAccounts(accountsPath(), rows())) {
    showMessage(this, u("Account.txtを保存できませんでした。"));
    return;
  }
  accept();
}

void AccountDialog::reject() {
  AccountCancel = true;
  QDialog::reject();
}
