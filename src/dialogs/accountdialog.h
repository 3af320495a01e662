// アカウント管理: the saved accounts, one "blog,user,password" line each in
// Account.txt, and the choice handed back to the blog settings dialog.
#pragma once
#include <QDialog>
#include <QString>
#include <QStringList>
#include <QVector>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

// The account exchanged with the blog settings dialog: set before the
// list opens, read back after it closed.
extern QString AccountBlog;
extern QString AccountUser;
extern QString AccountPass;
// True when the list was left without choosing an account.
extern bool AccountCancel;

struct AccountRow {
  QString blog, user, password;
};

// Account.txt: a missing file is an empty list, empty lines are skipped,
// missing cells of a short line are empty and pieces past the third are
// ignored.
QVector<AccountRow> readAccounts(const QString &path);
QVector<AccountRow> accountsFromLines(const QStringList &lines);
// Replaces the file whole, readable by the user alone (it holds
// passwords).
bool writeAccounts(const QString &path, const QVector<AccountRow> &rows);
QString accountsPath();

class AccountDialog : public QDialog {
  Q_OBJECT
public:
  explicit AccountDialog(QWidget *parent = nullptr);

  QTableWidget *mfgList;
  QComboBox *Combo1;
  QLineEdit *txtUser;
  QLineEdit *txtPass;
  QPushButton *cmdAdd;
  QPushButton *cmdUpd;
  QPushButton *cmdDel;
  QPushButton *cmdOK;
  QPushButton *cmdCancel;

  // Rows of the grid, top to bottom.
  QVector<AccountRow> rows() const;

  void reject() override;

private:
  void build();
  void load();
  void setListText(const QString &text);
  void rowToBoxes(int row);
  bool boxesStorable();
  void setRow(int row, const AccountRow &a);
  // The row the user sees selected, -1 when none is.
  int selectedRow() const;
  void add();
  void update();
  void remove();
  void ok();

  // The file was there but could not be read: it is left as it is.
  bool fileUnreadable_ = false;
};
