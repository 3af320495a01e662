// 基本情報設定: the target blog, the account and the options that the
// chosen service's script understands. Choosing a blog disables every
// option and then enables, relabels and re-explains only those the service
// uses, so the same few controls serve every service.
#pragma once
#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class KihonDialog : public QDialog {
  Q_OBJECT
public:
  explicit KihonDialog(QWidget *parent = nullptr);

  // Opens the custom-script designer when chkCustom is ticked by the user.
  // Defaults to the designer plugged in through customDesignerHook().
  std::function<void()> onCustomDesigner;

  // Selects a blog-list entry the way a click in the list does.
  void selectEntry(int index);

  QLabel *lblAUrl;
  QComboBox *Combo1;
  QLabel *lblUser;
  QLineEdit *txtUser;
  QLabel *lblPass;
  QLineEdit *txtPass;
  QPushButton *Command1;
  QLabel *lblTool;
  QLineEdit *txtTool;
  QLabel *lblDir;
  QLineEdit *txtDir;
  QCheckBox *chkThumbnail;
  QCheckBox *chkOver;
  QCheckBox *chkCheck;
  QCheckBox *chkList;
  QCheckBox *chkLogOut;
  QGroupBox *Frame1;
  QRadioButton *optGooOn;
  QRadioButton *optGooOff;
  QRadioButton *optGooGaz;
  QRadioButton *optCocolog[2];
  QCheckBox *chkFc2OverWrt;
  QLineEdit *txtFc2OverTtl;
  QCheckBox *chkFilter;
  QCheckBox *chkManual;
  QCheckBox *chkCustom;
  QPushButton *cmdOK;
  QPushButton *cmdCancel;

private:
  void build();
  void load();
  QString listText() const;
  bool listIs(int service) const;
  void blogSelected();
  void optionStep();
  void cocologStep();
  void overwriteStep();
  void manualStep();
  void maskStep();
  void customStep(bool ticked);
  void proposeOverwriteCaption(bool ticked);
  void exchangeAccount();
  bool needsToolName() const;
  void ok();

  QString heldUser_;
  QString heldPass_;
  bool loading_ = false;
};
