// The item dialog ("ｱｲﾃﾑ【追加】"): files are dropped into its list and go
// into the queue together when the user presses OK.
#pragma once
#include <QDialog>
#include <QStringList>
#include <functional>

struct AddOutcome;
class QComboBox;
class QLabel;
class QEvent;
class QListWidget;
class QMimeData;
class QPushButton;

// Local file and folder paths of a drop from a file manager.
QStringList droppedLocalPaths(const QMimeData *data);

// Drag and drop of files onto a widget: file drops are accepted unless
// `busy`, and the dropped paths go to `take` just after the drop event
// returns, so the file manager learns at once that the drop was taken
// while the expansion of large folders follows. False for other events.
bool handleFileDrop(QObject *context, QEvent *event, bool busy,
                    const std::function<void(const QStringList &)> &take);

// Tells the user why not everything dropped went in: the item limit and
// the paths that the list file cannot hold.
void reportAddProblems(QWidget *parent, const AddOutcome &outcome);

class ItemDialog : public QDialog {
  Q_OBJECT
public:
  // itemsInGrid counts against the queue's item limit.
  explicit ItemDialog(int itemsInGrid, QWidget *parent = nullptr);

  // Adds dropped files and folders to the list, as a drop does.
  void addPaths(const QStringList &paths);

  // After OK: the listed paths in list order and the chosen priority.
  QStringList paths() const;
  int priority() const;

  QListWidget *fileList() const { return lstFile; }

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void deleteSelected();

  int itemsInGrid_;
  int dropped_ = 0; // running number shown in lblItemCnt
  bool adding_ = false;
  QListWidget *lstFile;
  QLabel *lblItemCnt;
  QLabel *lblYusn;
  QComboBox *cmbYusn;
  QPushButton *cmdDelete;
  QPushButton *cmdClear;
  QPushButton *cmdOK;
  QPushButton *cmdCancel;
};
