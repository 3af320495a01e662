#include "mainwindow.h"

#include "browser/filedialog.h"

#include "appsetup.h"
#include "itemdialog.h"
#include "notification.h"
#include "rundriver.h"

#include "core/additems.h"
#include "core/itemlist.h"
#include "core/logfile.h"
#include "core/paths.h"
#include "core/runlog.h"
#include "core/runreport.h"
#include "core/runstate.h"
#include "core/settings.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QTextCursor>
#include <QTime>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {
// How long new log entries may wait before the box shows them.
constexpr int kLogFlushMs = 100;

MainWindow *g_mainWindow = nullptr;

const QString kCaption = QStringLiteral("Sendora");
const int kNewItemPriority = 5;

// Layout of the client area, in twips like the stored geometry: the grid
// at the top, the log box of fixed height at the bottom, a small gap
// around both.
const double kGap = 50;
const double kLogHeight = 1500;
// Room for the grid's frame and vertical scroll bar when the free width is
// shared between the folder and the name column.
const double kScrollRoom = 300;
// The default width of the window when no geometry was restored.
const double kDefaultWidth = 9600;
const double kDefaultHeight = 7200;

const double kDefaultColumnTwips[4] = {288, 2496, 1440, 0};
const SettingId kColumnSetting[4] = {ColWidth0, ColWidth1, ColWidth2,
                                     ColWidth3};

const int kSanshoMs = 250;
const int kCloseRetryMs = 100;
const int kProgressMs = 1000;
// Items named in the notification; the log has them all.
const int kNotifiedItems = 5;

bool askOkCancel(QWidget *parent, const QString &text) {
  QMessageBox box(QMessageBox::Question, kCaption, text,
                  QMessageBox::Ok | QMessageBox::Cancel, parent);
  // These questions guard destructive steps: Return alone must not agree.
  box.setDefaultButton(QMessageBox::Cancel);
  box.setEscapeButton(QMessageBox::Cancel);
  return box.exec() == QMessageBox::Ok;
}

// A saved width or geometry value: usable when it is a number.
bool savedNumber(SettingId id, double &value) {
  const QString &s = setting(id);
  if (s.trimmed().isEmpty() || !isNumeric(s))
    return false;
  bool ok = false;
  value = s.trimmed().toDouble(&ok);
  return ok && std::isfinite(value);
}

struct ToolDef {
  const char *key; // empty: a button without a command
  const char *tip;
  const char *theme;
  QStyle::StandardPixmap fallback;
  bool separatorBefore;
};

const ToolDef kTools[] = {
    {"new", "新規作成", "document-new", QStyle::SP_FileIcon, false},
    {"open", "開く", "document-open", QStyle::SP_DialogOpenButton, false},
    {"save", "上書き保存", "document-save", QStyle::SP_DialogSaveButton, false},
    {"saveas", "名前を付けて保存", "document-save-as", QStyle::SP_DriveFDIcon,
     false},
    {"exit", "終了", "application-exit", QStyle::SP_DialogCloseButton, false},
    {"add", "追加", "list-add", QStyle::SP_FileDialogNewFolder, true},
    {"edit", "編集", "document-properties", QStyle::SP_FileDialogDetailedView,
     false},
    {"del", "選択されているファイルをリストから削除", "edit-delete",
     QStyle::SP_TrashIcon, false},
    {"end", "済のファイルをリストから削除", "edit-clear",
     QStyle::SP_DialogDiscardButton, false},
    {"undo", "済を未処理に戻す", "edit-undo", QStyle::SP_ArrowBack, false},
    {"start", "実行", "media-playback-start", QStyle::SP_MediaPlay, true},
    {"stop", "中止", "media-playback-stop", QStyle::SP_MediaStop, false},
    {"up", "優先度を上げる", "go-up", QStyle::SP_ArrowUp, true},
    {"down", "優先度を下げる", "go-down", QStyle::SP_ArrowDown, false},
    {"", "優先度順に並べ替える", "view-sort-ascending",
     QStyle::SP_FileDialogListView, false},
    {"main", "基本情報設定", "preferences-system",
     QStyle::SP_FileDialogInfoView, true},
    {"option", "ｵﾌﾟｼｮﾝ設定", "preferences-other",
     QStyle::SP_FileDialogContentsView, false},
    {"version", "", "help-about", QStyle::SP_MessageBoxInformation, false},
};

// Buttons that have no command yet; shown greyed so that a click does not
// seem to be lost.
bool toolWithoutCommand(const QString &key) {
  return key.isEmpty() || key == QLatin1String("saveas") ||
         key == QLatin1String("edit") || key == QLatin1String("up") ||
         key == QLatin1String("down");
}
} // namespace

MainWindow *frmMain() { return g_mainWindow; }

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(kCaption);

  model_ = new ItemListModel(this);

  centre_ = new QWidget(this);
  centre_->setObjectName(QStringLiteral("centre"));
  setCentralWidget(centre_);

  grid_ = new QTableView(centre_);
  grid_->setObjectName(QStringLiteral("mfgList"));
  grid_->setModel(model_);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  // The list commands act on one block of rows, as moving does.
  grid_->setSelectionMode(QAbstractItemView::ContiguousSelection);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setWordWrap(false);
  grid_->verticalHeader()->hide();
  grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() +
                                                 6);
  grid_->horizontalHeader()->setSectionsClickable(true);
  grid_->horizontalHeader()->setHighlightSections(false);
  grid_->horizontalHeader()->setStretchLastSection(false);
  grid_->setAcceptDrops(true);
  grid_->viewport()->setAcceptDrops(true);
  grid_->viewport()->installEventFilter(this);
  grid_->installEventFilter(this);
  connect(grid_->horizontalHeader(), &QHeaderView::sectionClicked, this,
          &MainWindow::headerClicked);

  log_ = new QPlainTextEdit(centre_);
  log_->setObjectName(QStringLiteral("txtLog"));
  log_->setReadOnly(true);
  log_->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                Qt::TextSelectableByKeyboard);
  // The log only grows; an undo history would double its memory.
  log_->setUndoRedoEnabled(false);
  log_->installEventFilter(this);

  buildMenus();
  buildToolbar();
  // The children exist now; lay them out on every size change.
  centre_->installEventFilter(this);

  tmrSansho = new QTimer(this);
  tmrSansho->setObjectName(QStringLiteral("tmrSansho"));
  tmrSansho->setInterval(kSanshoMs);
  // Every upload waits for its first tick: a coarse timer may fire it up to
  // 5% late.
  tmrSansho->setTimerType(Qt::PreciseTimer);
  tmrSansho->setSingleShot(false);
  connect(tmrSansho, &QTimer::timeout, this, &MainWindow::sanshoTick);
  onSansho = [] { fillFileDialog(true); };

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(kCloseRetryMs);
  connect(Timer1, &QTimer::timeout, this, &MainWindow::closeTick);

  progress_ = new QLabel(this);
  progress_->setObjectName(QStringLiteral("lblProgress"));
  statusBar()->setObjectName(QStringLiteral("StatusBar1"));
  statusBar()->addWidget(progress_, 1);
  progressTimer_ = new QTimer(this);
  progressTimer_->setInterval(kProgressMs);
  connect(progressTimer_, &QTimer::timeout, this, &MainWindow::showProgress);
  // A mark, an added or a removed item changes the counts at once.
  connect(model_, &QAbstractItemModel::dataChanged, this,
          &MainWindow::scheduleProgress);
  connect(model_, &QAbstractItemModel::rowsInserted, this,
          &MainWindow::scheduleProgress);
  connect(model_, &QAbstractItemModel::rowsRemoved, this,
          &MainWindow::scheduleProgress);
  connect(model_, &QAbstractItemModel::modelReset, this,
          &MainWindow::scheduleProgress);

  resize(twipsToPixelsX(kDefaultWidth), twipsToPixelsY(kDefaultHeight));

  setLogSink([this](const QString &msg) { appendLog(msg); });
  runHooks().onRunEnd = [this](bool good) { runEnded(good); };
  g_mainWindow = this;
}

MainWindow::~MainWindow() {
  if (g_mainWindow == this) {
    g_mainWindow = nullptr;
    setLogSink({});
    runHooks().onRunEnd = nullptr;
  }
}

// --- building ---------------------------------------------------------------

void MainWindow::buildMenus() {
  auto entry = [this](QMenu *menu, const char *name, const char *caption,
                      const QKeySequence &key = {}) {
    QAction *a = menu->addAction(QString::fromUtf8(caption));
    a->setObjectName(QString::fromLatin1(name));
    if (!key.isEmpty())
      a->setShortcut(key);
    return a;
  };
  auto separator = [](QMenu *menu, const char *name) {
    QAction *a = menu->addSeparator();
    a->setObjectName(QString::fromLatin1(name));
    return a;
  };
  auto submenu = [](QMenu *parent, QMenuBar *bar, const char *name,
                    const char *caption) {
    QMenu *m = parent ? parent->addMenu(QString::fromUtf8(caption))
                      : bar->addMenu(QString::fromUtf8(caption));
    m->setObjectName(QString::fromLatin1(name));
    m->menuAction()->setObjectName(QString::fromLatin1(name));
    return m;
  };
  // Entries kept for later features: neither shown nor usable.
  auto hide = [](QAction *a) {
    a->setVisible(false);
    a->setEnabled(false);
  };

  QMenuBar *bar = menuBar();

  QMenu *file = submenu(nullptr, bar, "menu_file", "ﾌｧｲﾙ");
  runLocked_ << entry(file, "menu_new", "新規作成");
  connect(runLocked_.last(), &QAction::triggered, this, &MainWindow::clearList);
  runLocked_ << entry(file, "menu_open", "開く");
  connect(runLocked_.last(), &QAction::triggered, this, &MainWindow::loadList);
  connect(entry(file, "menu_save", "上書き保存", QKeySequence("Ctrl+S")),
          &QAction::triggered, this, &MainWindow::saveList);
  hide(entry(file, "menu_saveas", "名前を付けて保存"));
  separator(file, "menu_bar1");
  connect(entry(file, "menu_close", "終了", QKeySequence("Ctrl+W")),
          &QAction::triggered, this, &QWidget::close);

  QMenu *item = submenu(nullptr, bar, "menu_item", "ｱｲﾃﾑ");
  hide(entry(item, "menu_add", "追加"));
  hide(entry(item, "menu_edit", "編集"));
  runLocked_ << entry(item, "menu_delete", "削除");
  connect(runLocked_.last(), &QAction::triggered, this,
          &MainWindow::deleteSelectedItems);
  separator(item, "menu_bar2");
  connect(entry(item, "menu_all", "すべて選択", QKeySequence("Ctrl+A")),
          &QAction::triggered, this, &MainWindow::selectAllItems);
  separator(item, "menu_bar5");
  runLocked_ << entry(item, "menu_uploaded", "済を削除");
  connect(runLocked_.last(), &QAction::triggered, this,
          [this]() { purgeDone(true); });
  connect(entry(item, "menu_undo", "済を解除"), &QAction::triggered, this,
          [this]() { purgeDone(false); });
  separator(item, "menu_bar3");
  connect(entry(item, "menu_start", "実行", QKeySequence(Qt::Key_F5)),
          &QAction::triggered, this,
          [this]() { runToolbarKey(QStringLiteral("start")); });
  connect(entry(item, "menu_stop", "中止", QKeySequence(Qt::Key_F9)),
          &QAction::triggered, this, []() { stopRun(); });

  QMenu *order = submenu(nullptr, bar, "menu_order", "順序");
  hide(entry(order, "menu_sort", "並べ替える"));
  hide(separator(order, "menu_bar6"));
  runLocked_ << entry(order, "menu_up", "上へ");
  connect(runLocked_.last(), &QAction::triggered, this,
          [this]() { moveItems(true); });
  runLocked_ << entry(order, "menu_down", "下へ");
  connect(runLocked_.last(), &QAction::triggered, this,
          [this]() { moveItems(false); });
  hide(separator(order, "menu_bar4"));
  QMenu *yusen = submenu(order, nullptr, "menu_yusen", "優先度設定");
  hide(yusen->menuAction());
  const char *const priorities[][2] = {
      {"menu_1st", "高い(1)"},   {"menu_2nd", "　　　(2)"},
      {"menu_3rd", "　　　(3)"}, {"menu_4th", "　　　(4)"},
      {"menu_5th", "普通(5)"},   {"menu_6th", "　　　(6)"},
      {"menu_7th", "　　　(7)"}, {"menu_8th", "　　　(8)"},
      {"menu_9th", "低い(9)"},   {"menu_non", "ｱｯﾌﾟﾛｰﾄﾞしない(0)"}};
  for (const auto &p : priorities)
    hide(entry(yusen, p[0], p[1]));

  QMenu *tool = submenu(nullptr, bar, "menu_tool", "ﾂｰﾙ");
  connect(entry(tool, "menu_kihon", "基本情報設定"), &QAction::triggered, this,
          [this]() { runToolbarKey(QStringLiteral("main")); });
  connect(entry(tool, "menu_option", "ｵﾌﾟｼｮﾝ設定"), &QAction::triggered, this,
          [this]() { runToolbarKey(QStringLiteral("option")); });
  separator(tool, "menu_bar7");
  connect(entry(tool, "menu_LogCopy", "ﾛｸﾞをｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰ"),
          &QAction::triggered, this, &MainWindow::copyLogToClipboard);
  connect(entry(tool, "menu_LogFolder", "ﾛｸﾞﾌｫﾙﾀﾞを開く"), &QAction::triggered,
          this, &MainWindow::openLogFolder);
  separator(tool, "menu_bar8");
  suspend_ = entry(tool, "menu_suspend", "終了後にｻｽﾍﾟﾝﾄﾞ");
  shutdown_ = entry(tool, "menu_shutdown", "終了後にｼｬｯﾄﾀﾞｳﾝ");
  suspend_->setCheckable(true);
  shutdown_->setCheckable(true);
  // At most one of the two end-of-run actions is marked.
  connect(suspend_, &QAction::toggled, this, [this](bool on) {
    if (on)
      shutdown_->setChecked(false);
  });
  connect(shutdown_, &QAction::toggled, this, [this](bool on) {
    if (on)
      suspend_->setChecked(false);
  });

  QMenu *help = submenu(nullptr, bar, "menu_help", "ﾍﾙﾌﾟ");
  connect(entry(help, "menu_version", "ﾊﾞｰｼﾞｮﾝ情報"), &QAction::triggered, this,
          [this]() { runToolbarKey(QStringLiteral("version")); });
}

void MainWindow::buildToolbar() {
  toolbar_ = addToolBar(QStringLiteral("Toolbar1"));
  toolbar_->setObjectName(QStringLiteral("Toolbar1"));
  toolbar_->setMovable(false);
  toolbar_->setFloatable(false);
  toolbar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
  toolbar_->setContextMenuPolicy(Qt::PreventContextMenu);

  int unnamed = 0;
  for (const ToolDef &t : kTools) {
    if (t.separatorBefore)
      toolbar_->addSeparator();
    const QString key = QString::fromLatin1(t.key);
    const QIcon icon = QIcon::fromTheme(QString::fromLatin1(t.theme),
                                        style()->standardIcon(t.fallback));
    QAction *a = toolbar_->addAction(icon, QString::fromUtf8(t.tip));
    a->setToolTip(QString::fromUtf8(t.tip));
    a->setData(key);
    a->setObjectName(key.isEmpty() ? QStringLiteral("tb_nokey%1").arg(++unnamed)
                                   : QStringLiteral("tb_") + key);
    if (toolWithoutCommand(key)) {
      a->setEnabled(false);
      continue;
    }
    if (key == QLatin1String("new") || key == QLatin1String("open") ||
        key == QLatin1String("del") || key == QLatin1String("end"))
      runLocked_ << a;
    connect(a, &QAction::triggered, this,
            [this, a]() { runToolbarKey(a->data().toString()); });
  }
}

// --- load and close ---------------------------------------------------------

void MainWindow::loadWindow() {
  clearLog();
  prepareGrid();
  loadItemList(*model_, dataFile(QString::fromLatin1(kListFileName)));
  StopRequested = true;
  Idle = true;
  show();
  applySavedGeometry();
}

void MainWindow::applySavedGeometry() {
  if (!isOn(SaveWindowPos))
    return;
  double top = 0, left = 0, width = 0, height = 0;
  const bool hasTop = savedNumber(MainTop, top);
  const bool hasLeft = savedNumber(MainLeft, left);
  savedNumber(MainWidth, width);
  savedNumber(MainHeight, height);
  if (hasTop && hasLeft && top < 0 && left < 0) {
    // It was closed minimised: its position means nothing.
    showMinimized();
  } else {
    QRect g = geometry();
    if (left != 0)
      g.moveLeft(twipsToPixelsX(left));
    if (top != 0)
      g.moveTop(twipsToPixelsY(top));
    if (width > 0)
      g.setWidth(twipsToPixelsX(width));
    if (height > 0)
      g.setHeight(twipsToPixelsY(height));
    setGeometry(g);
  }
  if (isOn(SaveColWidth))
    applySavedColumnWidths();
}

void MainWindow::applySavedColumnWidths() {
  for (int c = 0; c < 4; ++c) {
    double w = 0;
    if (savedNumber(kColumnSetting[c], w) && w >= 0)
      setColumnTwips(c, w);
  }
}

void MainWindow::storeGeometry() {
  storeWindowGeometry(this, MainTop, MainLeft, MainWidth, MainHeight);
  const bool keepWidths = isOn(SaveColWidth);
  for (int c = 0; c < 4; ++c)
    setting(kColumnSetting[c]) =
        keepWidths ? QString::number(columnTwips(c)) : QString();
}

void MainWindow::closeEvent(QCloseEvent *event) {
  if (dropping_) {
    // Items are still going in; close once they all are, so that the
    // saved list is complete.
    closeAfterDrop_ = true;
    event->ignore();
    return;
  }
  if (StopRequested && Idle) {
    saveList();
    storeGeometry();
    saveSettings(dataFile(QString::fromLatin1(kSettingsFileName)));
    event->accept();
    emit windowClosed();
    return;
  }
  // A run is in progress: the window must outlive it, because the script
  // still works with the grid and the log.
  event->ignore();
  if (!StopRequested &&
      !askOkCancel(this, QStringLiteral("実行中です。中止しますか？")))
    return;
  StopRequested = true;
  Timer1->start(kCloseRetryMs);
}

void MainWindow::closeTick() {
  if (!Idle)
    return;
  Timer1->stop();
  close();
}

void MainWindow::sanshoTick() {
  // The automation pumps messages while it works: it must not be entered
  // again by the next tick.
  tmrSansho->stop();
  if (onSansho)
    onSansho();
  tmrSansho->start();
}

// --- layout -----------------------------------------------------------------

void MainWindow::layoutChildren() {
  const double innerWidth = centre_->width() * twipsPerPixel(Qt::Horizontal);
  const double innerHeight = centre_->height() * twipsPerPixel(Qt::Vertical);

  const double logLeft = kGap;
  const double logWidth = std::max(0.0, innerWidth - logLeft - kGap);
  const double logTop = std::max(0.0, innerHeight - kLogHeight - kGap);
  log_->setGeometry(twipsToPixelsX(logLeft), twipsToPixelsY(logTop),
                    twipsToPixelsX(logWidth), twipsToPixelsY(kLogHeight));

  const double gridLeft = kGap;
  const double gridTop = kGap;
  const double gridWidth = std::max(0.0, innerWidth - gridLeft - kGap);
  const double gridHeight = std::max(0.0, logTop - gridTop - kGap);
  grid_->setGeometry(twipsToPixelsX(gridLeft), twipsToPixelsY(gridTop),
                     twipsToPixelsX(gridWidth), twipsToPixelsY(gridHeight));

  const double free = gridWidth - columnTwips(ColStatus) - kScrollRoom;
  if (free < 0)
    return;
  const bool keepWidths = isOn(SaveColWidth);
  double w = 0;
  setColumnTwips(ColFolder, keepWidths && savedNumber(ColWidth1, w)
                                ? w
                                : std::round(free * 0.7));
  setColumnTwips(ColName, keepWidths && savedNumber(ColWidth2, w)
                              ? w
                              : std::round(free * 0.3));
}

void MainWindow::prepareGrid() {
  model_->clear();
  model_->resetSortHeaders();
  for (int c = 0; c < 4; ++c) {
    double w = 0;
    if (!savedNumber(kColumnSetting[c], w) || w < 0)
      w = kDefaultColumnTwips[c];
    setColumnTwips(c, w);
  }
}

void MainWindow::setColumnTwips(int column, double twips) {
  const int px = twipsToPixelsX(twips);
  // A width of 0 hides the column (the priority column by default).
  grid_->setColumnHidden(column, px <= 0);
  if (px > 0)
    grid_->setColumnWidth(column, px);
}

int MainWindow::columnTwips(int column) const {
  if (grid_->isColumnHidden(column))
    return 0;
  return pixelsToTwipsX(grid_->columnWidth(column));
}

// --- the run log ------------------------------------------------------------

void MainWindow::appendLog(const QString &msg) {
  const QDateTime now = QDateTime::currentDateTime();
  // The file first: a line on the screen is a line on the disk.
  appendLogFile(now, msg);
  pendingLog_ += QLatin1Char('\n');
  pendingLog_ += now.time().toString(QStringLiteral("hh:mm:ss"));
  pendingLog_ += QLatin1Char(' ');
  pendingLog_ += msg;
  // Entries reach the box together, at most a tenth of a second late: one
  // insertion lays out only what is shown, where one per entry would lay
  // out and measure every line as it comes, and a run that logs a line per
  // step would repaint the box on nearly every pass of the event loop (a
  // few milliseconds of every item). Whatever reads the box flushes first.
  if (!flushPending_) {
    flushPending_ = true;
    QTimer::singleShot(kLogFlushMs, this, [this]() { flushLog(); });
  }
}

void MainWindow::flushLog() const {
  flushPending_ = false;
  if (pendingLog_.isEmpty())
    return;
  QTextCursor cursor(log_->document());
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(pendingLog_);
  pendingLog_.clear();
  // The box's own caret moves along with text inserted where it stands;
  // it is set again only when the user had put it elsewhere.
  const QTextCursor caret = log_->textCursor();
  if (caret.hasSelection() || caret.position() != cursor.position())
    log_->setTextCursor(cursor);
  log_->ensureCursorVisible();
}

void MainWindow::clearLog() {
  pendingLog_.clear();
  log_->clear();
}

QString MainWindow::logText() const {
  flushLog();
  QString text = log_->toPlainText();
  text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return text;
}

void MainWindow::copyLogToClipboard() {
  QClipboard *clipboard = QGuiApplication::clipboard();
  clipboard->clear();
  clipboard->setText(logText());
}

bool MainWindow::logKey(QKeyEvent *key) {
  if (!(key->modifiers() & Qt::ControlModifier))
    return false;
  flushLog();
  if (key->key() == Qt::Key_A) {
    QTextCursor cursor = log_->textCursor();
    cursor.select(QTextCursor::Document);
    log_->setTextCursor(cursor);
    return true;
  }
  if (key->key() == Qt::Key_C) {
    const QTextCursor cursor = log_->textCursor();
    if (cursor.hasSelection()) {
      QString text = cursor.selectedText();
      text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
      QClipboard *clipboard = QGuiApplication::clipboard();
      clipboard->clear();
      clipboard->setText(text);
    }
    return true;
  }
  return false;
}

// --- list commands ----------------------------------------------------------

void MainWindow::loadList() {
  if (!Idle)
    return;
  loadItemList(*model_, dataFile(QString::fromLatin1(kListFileName)));
}

void MainWindow::saveList() {
  saveItemList(*model_, dataFile(QString::fromLatin1(kListFileName)));
}

void MainWindow::clearList() {
  if (!Idle)
    return;
  model_->clear();
}

void MainWindow::selectedBlock(int &first, int &last) const {
  first = INT_MAX;
  last = -1;
  const QItemSelection selection = grid_->selectionModel()->selection();
  for (const QItemSelectionRange &r : selection) {
    first = std::min(first, r.top());
    last = std::max(last, r.bottom());
  }
}

void MainWindow::selectBlock(int first, int last) {
  if (first > last || first < 0 || last >= model_->itemCount())
    return;
  const QItemSelection block(model_->index(first, 0),
                             model_->index(last, model_->columnCount() - 1));
  grid_->selectionModel()->setCurrentIndex(model_->index(first, 0),
                                           QItemSelectionModel::NoUpdate);
  grid_->selectionModel()->select(block, QItemSelectionModel::ClearAndSelect |
                                             QItemSelectionModel::Rows);
  grid_->scrollTo(model_->index(first, 0));
}

void MainWindow::deleteSelectedItems() {
  if (!Idle)
    return;
  int first = 0, last = 0;
  selectedBlock(first, last);
  if (first > last)
    return;
  if (!askOkCancel(this,
                   QStringLiteral("選択されているﾌｧｲﾙをﾘｽﾄから削除します。\n"
                                  "よろしいですか？")))
    return;
  model_->removeItems(first, last);
}

void MainWindow::selectAllItems() {
  if (model_->itemCount() > 0)
    selectBlock(0, model_->itemCount() - 1);
}

void MainWindow::moveItems(bool up) {
  if (!Idle)
    return;
  int first = 0, last = 0;
  selectedBlock(first, last);
  if (first > last)
    return;
  const int moved = model_->moveItems(first, last, up);
  selectBlock(moved, moved + (last - first));
}

void MainWindow::purgeDone(bool remove) {
  if (remove && !Idle)
    return;
  model_->purgeDone(remove);
  saveList();
}

void MainWindow::headerClicked(int column) {
  // Sorting moves rows, and a running script finds its items by row.
  if (!StopRequested || !Idle)
    return;
  model_->sortByHeader(column);
}

void MainWindow::setRunMenusEnabled(bool enabled) {
  for (QAction *a : std::as_const(runLocked_))
    a->setEnabled(enabled);
  if (!enabled) {
    if (running_)
      ++runPass_;
    else
      beginProgress();
    showProgress();
  } else if (running_) {
    running_ = false;
    progressTimer_->stop();
    showProgress();
    setWindowTitle(kCaption);
  }
}

// --- progress and summary ---------------------------------------------------

int MainWindow::doneCount() const {
  int done = 0;
  for (const ItemRow &r : model_->items())
    done += r.done() ? 1 : 0;
  return done;
}

void MainWindow::beginProgress() {
  running_ = true;
  runPass_ = 1;
  runClock_.start();
  doneAtStart_ = doneCount();
  progressTimer_->start();
}

QString MainWindow::progressLine() const { return progress_->text(); }

void MainWindow::scheduleProgress() {
  if (!running_ || progressPending_)
    return;
  // One recount per pass of the event loop, however many rows changed.
  progressPending_ = true;
  QTimer::singleShot(0, this, [this]() {
    progressPending_ = false;
    if (running_)
      showProgress();
  });
}

void MainWindow::showProgress() {
  if (!runClock_.isValid())
    return;
  RunProgress p;
  p.pass = runPass_;
  // Marks taken back ("済を解除") and rows removed during the run keep the
  // counts from going below zero.
  p.marked = std::max(0, doneCount() - doneAtStart_);
  p.queued = std::max(p.marked, model_->itemCount() - doneAtStart_);
  p.elapsedMs = runClock_.elapsed();
  progress_->setText(progressText(p));
  if (running_)
    setWindowTitle(kCaption + QStringLiteral(" - ") + progressCount(p));
}

void MainWindow::runEnded(bool good) {
  if (!runClock_.isValid())
    return;
  const int uploaded = std::max(0, doneCount() - doneAtStart_);
  QVector<LeftItem> left;
  const RunReport &report = runReport();
  for (const ItemRow &r : model_->items()) {
    if (r.done())
      continue;
    const QString path = r.path();
    const auto it = report.left.constFind(path);
    left.append({path, it != report.left.cend() ? leftReasonText(it.value())
                                                : notReachedText()});
  }
  const QStringList lines =
      runSummaryLines(uploaded, left, runClock_.elapsed());
  for (const QString &line : lines)
    setLog(line);
  progress_->setText(lines.first());
  syncLogFile();

  QStringList body = lines.mid(0, 1 + kNotifiedItems);
  if (lines.size() > body.size())
    body << QStringLiteral("ほか %1件").arg(lines.size() - body.size());
  const QString title = left.isEmpty() ? QStringLiteral("Sendora: すべて済")
                        : good
                            ? QStringLiteral("Sendora: 未完了があります")
                            : QStringLiteral("Sendora: エラーで終了しました");
  notifyDesktop(title, body.join(QLatin1Char('\n')));
}

void MainWindow::openLogFolder() {
  const QString folder = logFolder();
  QDir().mkpath(folder);
  QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

bool MainWindow::suspendAfterRun() const { return suspend_->isChecked(); }
bool MainWindow::shutdownAfterRun() const { return shutdown_->isChecked(); }

void MainWindow::runToolbarKey(const QString &key) {
  auto call = [](const std::function<void()> &hook) {
    if (hook)
      hook();
  };
  if (key == QLatin1String("new"))
    clearList();
  else if (key == QLatin1String("open"))
    loadList();
  else if (key == QLatin1String("save"))
    saveList();
  else if (key == QLatin1String("exit"))
    close();
  else if (key == QLatin1String("add"))
    addItemsDialog();
  else if (key == QLatin1String("del"))
    deleteSelectedItems();
  else if (key == QLatin1String("end"))
    purgeDone(true);
  else if (key == QLatin1String("undo"))
    purgeDone(false);
  else if (key == QLatin1String("start")) {
    // A run started from inside a drop's message pump would hold the drop
    // until the run ends.
    if (!dropping_)
      startRun();
  } else if (key == QLatin1String("stop"))
    stopRun();
  else if (key == QLatin1String("main"))
    call(onKihon);
  else if (key == QLatin1String("option"))
    call(onOption);
  else if (key == QLatin1String("version"))
    call(onVersion);
}

// --- adding items -----------------------------------------------------------

void MainWindow::dropPaths(const QStringList &paths) {
  if (dropping_ || paths.isEmpty())
    return;
  dropping_ = true;
  QApplication::setOverrideCursor(Qt::WaitCursor);

  int total = model_->itemCount();
  QStringList pending;
  auto flush = [&]() {
    model_->appendItems(pending, kNewItemPriority);
    pending.clear();
  };
  const AddOutcome outcome = addDroppedPaths(
      paths, total, kItemLimit, [&](const QString &p) { pending << p; },
      [&]() {
        flush();
        QCoreApplication::processEvents();
      });
  flush();
  model_->resetSortHeaders();

  QApplication::restoreOverrideCursor();
  dropping_ = false;
  reportAddProblems(this, outcome);
  if (closeAfterDrop_) {
    closeAfterDrop_ = false;
    QTimer::singleShot(0, this, &QWidget::close);
  }
}

void MainWindow::addItemsDialog() {
  if (dropping_)
    return;
  ItemDialog dialog(model_->itemCount(), this);
  if (dialog.exec() != QDialog::Accepted)
    return;
  model_->appendItems(dialog.paths(), dialog.priority());
  model_->resetSortHeaders();
}

// --- events -----------------------------------------------------------------

bool MainWindow::eventFilter(QObject *watched, QEvent *event) {
  if (watched == centre_ && event->type() == QEvent::Resize) {
    layoutChildren();
    return false;
  }
  if (watched == log_) {
    if (event->type() == QEvent::ShortcutOverride ||
        event->type() == QEvent::KeyPress) {
      auto *key = static_cast<QKeyEvent *>(event);
      const bool ours = (key->modifiers() & Qt::ControlModifier) &&
                        (key->key() == Qt::Key_A || key->key() == Qt::Key_C);
      if (event->type() == QEvent::ShortcutOverride) {
        // Keep the window's Ctrl+A (select all items) out of the log box.
        if (ours)
          event->accept();
        return ours;
      }
      return logKey(key);
    }
    return false;
  }
  if (watched == grid_ && event->type() == QEvent::KeyPress) {
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
      deleteSelectedItems();
      return true;
    }
    return false;
  }
  if (grid_ && watched == grid_->viewport() &&
      handleFileDrop(this, event, dropping_,
                     [this](const QStringList &paths) { dropPaths(paths); }))
    return true;
  return QMainWindow::eventFilter(watched, event);
}
