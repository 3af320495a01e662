// The program's one long-lived window: toolbar, the item grid that is the
// upload queue, the run log, the menus, and the rules for closing while a
// run is going on.
#pragma once
#include <QMainWindow>
#include <QStringList>

#include <functional>

class ItemListModel;
class QAction;
class QKeyEvent;
class QMenu;
class QPlainTextEdit;
class QTableView;
class QTimer;
class QToolBar;

class MainWindow : public QMainWindow {
  Q_OBJECT
public:
  explicit MainWindow(QWidget *parent = nullptr);
  ~MainWindow() override;

  // The start-up steps: empty log, grid prepared, list loaded, run flags
  // reset, window shown, saved geometry and column widths restored.
  void loadWindow();

  ItemListModel *items() const { return model_; }
  QTableView *grid() const { return grid_; }
  QPlainTextEdit *log() const { return log_; }
  QToolBar *toolbar() const { return toolbar_; }

  // --- the run log --------------------------------------------------------
  // One entry: a line break, "hh:mm:ss", a blank, the message; the caret
  // ends up at the end. Installed as the run log's sink.
  void appendLog(const QString &msg);
  void clearLog();
  // The whole log with CR LF line ends, as the clipboard receives it.
  QString logText() const;
  void copyLogToClipboard();

  // --- the list commands --------------------------------------------------
  void prepareGrid();
  void loadList();
  void saveList();
  void clearList();
  void deleteSelectedItems();
  void selectAllItems();
  void moveItems(bool up);
  void purgeDone(bool remove);
  // Header click on column `column`; refused while a run is in progress.
  void headerClicked(int column);
  // Files and folders dropped onto the grid (or handed over as if they
  // had been).
  void dropPaths(const QStringList &paths);
  // The item dialog ("add").
  void addItemsDialog();

  // The run driver switches off the commands that would reorder or remove
  // rows under a running script, and switches them on again at the end.
  void setRunMenusEnabled(bool enabled);

  // Toolbar buttons carry a key; a click runs the command for that key.
  void runToolbarKey(const QString &key);

  bool suspendAfterRun() const;
  bool shutdownAfterRun() const;

  // True when no run is in progress; the run driver keeps it.
  bool Idle = true;
  // File-dialog service during uploads: while enabled, each tick calls
  // onSansho with the timer stopped.
  QTimer *tmrSansho = nullptr;
  // Closes the window once a run stopped on closing has wound up.
  QTimer *Timer1 = nullptr;

  // Windows and services that other parts of the program provide.
  std::function<void()> onKihon;   // blog settings dialog
  std::function<void()> onOption;  // options dialog
  std::function<void()> onVersion; // version dialog
  std::function<void()> onSansho;  // file-dialog automation

signals:
  // The close went through: the program ends.
  void windowClosed();

protected:
  void closeEvent(QCloseEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void buildMenus();
  void buildToolbar();
  void layoutChildren();
  bool logKey(QKeyEvent *key);
  void storeGeometry();
  void applySavedGeometry();
  void applySavedColumnWidths();
  void setColumnTwips(int column, double twips);
  int columnTwips(int column) const;
  // The block of selected rows (first > last when nothing is selected).
  void selectedBlock(int &first, int &last) const;
  void selectBlock(int first, int last);
  void sanshoTick();
  void closeTick();

  ItemListModel *model_ = nullptr;
  QTableView *grid_ = nullptr;
  QPlainTextEdit *log_ = nullptr;
  QToolBar *toolbar_ = nullptr;
  QWidget *centre_ = nullptr;
  QAction *suspend_ = nullptr;
  QAction *shutdown_ = nullptr;
  QList<QAction *> runLocked_;
  bool dropping_ = false;
  bool closeAfterDrop_ = false;
  bool scrollPending_ = false;
};

// The main window once it exists, nullptr before.
MainWindow *frmMain();
