// The program's one long-lived window: toolbar, the item grid that is the
// upload queue, the run log, the menus, and the rules for closing while a
// run is going on.
#pragma once
#include <QElapsedTimer>
#include <QMainWindow>
#include <QStringList>

#include <functional>

class ItemListModel;
class QAction;
class QKeyEvent;
class QLabel;
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
  // ends up at the end. The line goes to the day's log file at once, and
  // into the box by the next pass of the event loop, before it is painted.
  // Installed as the run log's sink.
  void appendLog(const QString &msg);
  void clearLog();
  // Puts the entries not yet in the box there now (they otherwise go at
  // the next pass of the event loop).
  void flushLog() const;
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
  // rows under a running script at the start of each pass, and switches
  // them on again at the end of the run. Meanwhile the status bar and the
  // title show how far the run is.
  void setRunMenusEnabled(bool enabled);

  // The end of a run: its summary goes to the log, the status bar and a
  // desktop notification. Installed as the run driver's end hook.
  void runEnded(bool good);
  // The status bar's text.
  QString progressLine() const;
  // Opens the folder of the day log files in the desktop's file manager.
  void openLogFolder();

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
  void beginProgress();
  void showProgress();
  void scheduleProgress();
  int doneCount() const;

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
  mutable QString pendingLog_;
  mutable bool flushPending_ = false;

  // How far the run in progress is.
  QLabel *progress_ = nullptr;
  QTimer *progressTimer_ = nullptr;
  bool running_ = false;
  bool progressPending_ = false;
  QElapsedTimer runClock_;
  int runPass_ = 0;
  int doneAtStart_ = 0;
};

// The main window once it exists, nullptr before.
MainWindow *frmMain();
