// ｵﾌﾟｼｮﾝ設定: the timing, retry and behaviour options of a run, and the
// two window captions the automation has to recognise.
#pragma once
#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

class OptionDialog : public QDialog {
  Q_OBJECT
public:
  explicit OptionDialog(QWidget *parent = nullptr);

  QLineEdit *txtLogin;
  QLineEdit *txtUpPage;
  QLineEdit *txtUpLoad;
  QLineEdit *txtRetry;
  QLineEdit *txtTOut;
  QCheckBox *chkAuto;
  QCheckBox *chkCpu;
  QCheckBox *chkView;
  QCheckBox *chkComplete;
  QCheckBox *chkLogin;
  QCheckBox *chkSaveWidth;
  QCheckBox *chkConfirmPress;
  QLineEdit *txtDlgTtl1;
  QLineEdit *txtSecTtl1;
  QPushButton *Command1;
  QPushButton *cmdOK;
  QPushButton *cmdCancel;

private:
  void build();
  void load();
  void runTest();
  void ok();
};
