// The designer of the user-defined script: sixteen rows of five controls
// (tag, attribute, search text, action, value), the go-back flag, four
// sets of preset values, and loading and saving "Custom.sdr".
#pragma once
#include "scripts/customscript.h"

#include <QDialog>
#include <QPointer>
#include <QVector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class RecorderWindow;

// The designer's label of a row ("ｻｲﾝｲﾝ：", ...).
QString customRowLabel(int row);

class frmCustom : public QDialog {
  Q_OBJECT
public:
  explicit frmCustom(QWidget *parent = nullptr);

  QVector<QLineEdit *> txtTag;
  QVector<QComboBox *> cmbMeth;
  QVector<QLineEdit *> txtData;
  QVector<QComboBox *> cmbDosa;
  QVector<QLineEdit *> txtValu;
  QCheckBox *chkBack;
  QPushButton *cmdFc2;
  QPushButton *cmdSeeSaa;
  QPushButton *CmdDti;
  QPushButton *cmdNinja;
  QPushButton *cmdClear;
  QPushButton *cmdOpen;
  QPushButton *cmdSave;
  QPushButton *cmdRecord;
  QPushButton *cmdOK;
  QPushButton *cmdCancel;

  // The file again over what the rows show; rows the file lacks keep
  // their contents. A missing file changes nothing.
  void loadFile();
  // Writes what the rows show; false (after telling the user) when the
  // file could not be written.
  bool saveFile();
  void clearRows();

  enum Preset { PresetFc2, PresetSeeSaa, PresetDti, PresetNinja };
  void applyPreset(Preset preset);

  // What the controls hold, as the file would have it.
  CustomScript script() const;

  // Opens the recorder at the blog's address (or brings it forward); its
  // 終了 fills the rows, which are saved only by 保存 or OK.
  void startRecording();
  RecorderWindow *recorder() const;

private:
  void setRow(int r, const CustomRow &row);
  QPointer<RecorderWindow> recorder_;
};

// Opens the designer as a modal dialog over `parent`.
void openCustomDesigner(QWidget *parent);
