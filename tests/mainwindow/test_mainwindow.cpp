// The main window on the offscreen platform, each test with a data folder
// of its own.
#include "../dialogs/modalscript.h"
#include "testsupport.h"

#include "core/additems.h"
#include "core/itemlist.h"
#include "core/paths.h"
#include "core/runlog.h"
#include "core/runstate.h"
#include "core/settings.h"
#include "core/textfile.h"
#include "mainwindow/appsetup.h"
#include "mainwindow/itemdialog.h"
#include "mainwindow/mainwindow.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include <memory>

#include <unistd.h>

namespace {

QStringList paths(const ItemListModel &m) {
  QStringList out;
  for (const ItemRow &r : m.items())
    out << r.path();
  return out;
}

class MainWindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    clearSettings();
    setting(SaveWindowPos) = "0";
    setting(SaveColWidth) = "0";
    StopRequested = true;
  }
  void TearDown() override {
    window.reset();
    StopRequested = true;
  }
  MainWindow *open() {
    window = std::make_unique<MainWindow>();
    window->loadWindow();
    return window.get();
  }
  QAction *action(const char *name) {
    auto *a = window->findChild<QAction *>(QString::fromLatin1(name));
    EXPECT_TRUE(a) << name;
    return a;
  }
  TempDataFolder data;
  QTemporaryDir files;
  std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, MenusHooksAndRunLockedCommands) {
  open();
  EXPECT_FALSE(action("tb_del")->icon().isNull());

  // The end-of-run actions carry at most one mark.
  EXPECT_FALSE(window->suspendAfterRun() || window->shutdownAfterRun());
  action("menu_suspend")->trigger();
  EXPECT_TRUE(window->suspendAfterRun());
  action("menu_shutdown")->trigger();
  EXPECT_TRUE(window->shutdownAfterRun());
  EXPECT_FALSE(window->suspendAfterRun());
  action("menu_shutdown")->trigger();
  EXPECT_FALSE(window->suspendAfterRun() || window->shutdownAfterRun());

  int kihon = 0;
  window->onKihon = [&]() { ++kihon; };
  action("menu_kihon")->trigger();
  window->runToolbarKey("main");
  window->runToolbarKey("option"); // no hook yet: nothing happens
  EXPECT_EQ(kihon, 2);

  window->setRunMenusEnabled(false);
  for (const char *name : {"menu_up", "menu_down", "menu_delete", "menu_new",
                           "menu_uploaded", "tb_del"})
    EXPECT_FALSE(action(name)->isEnabled()) << name;
  EXPECT_TRUE(action("menu_save")->isEnabled());
  window->setRunMenusEnabled(true);
  // After a run as at the start: entries kept only for their handlers stay
  // out of reach, the others are back.
  for (const char *name : {"menu_saveas", "menu_add", "menu_sort", "menu_yusen",
                           "menu_1st", "menu_3rd", "menu_non"})
    EXPECT_FALSE(action(name)->isVisible()) << name; // and so disabled
  for (const char *name : {"menu_new", "menu_delete", "menu_uploaded",
                           "menu_up", "menu_kihon", "menu_version"})
    EXPECT_TRUE(action(name)->isVisible() && action(name)->isEnabled()) << name;

  // The file-dialog service runs with its timer stopped, then restarts it.
  EXPECT_FALSE(window->tmrSansho->isActive());
  int ticks = 0;
  bool activeInside = true;
  window->onSansho = [&]() {
    ++ticks;
    activeInside = window->tmrSansho->isActive();
  };
  window->tmrSansho->start();
  QTRY_COMPARE_WITH_TIMEOUT(ticks, 1, 2000);
  EXPECT_FALSE(activeInside);
  EXPECT_TRUE(window->tmrSansho->isActive());
  window->tmrSansho->stop();
}

TEST_F(MainWindowTest, ClosingDuringARunWaitsForTheRunToWindUp) {
  open();
  window->items()->appendItems({"/p/a.jpg", "/p/b.jpg"}, 5);
  window->Idle = false;
  StopRequested = false;
  {
    BoxAnswerer cancel(QMessageBox::Cancel);
    EXPECT_FALSE(window->close());
    ASSERT_EQ(cancel.texts, QStringList({"実行中です。中止しますか？"}));
    EXPECT_EQ(cancel.defaults.value(0), QMessageBox::Cancel);
  }
  EXPECT_FALSE(StopRequested);
  EXPECT_TRUE(window->isVisible());
  {
    BoxAnswerer ok(QMessageBox::Ok);
    EXPECT_FALSE(window->close());
    EXPECT_EQ(ok.texts.size(), 1);
  }
  EXPECT_TRUE(StopRequested);
  QTest::qWait(250);
  EXPECT_TRUE(window->isVisible()); // the run has not wound up yet
  EXPECT_FALSE(QFile::exists(dataFile("Default.sdr")));

  window->Idle = true;
  QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 1000);
  EXPECT_EQ(readTextLines(dataFile("Default.sdr")),
            QStringList({",/p/a.jpg,5", ",/p/b.jpg,5"}));
  const QStringList ini = readTextLines(dataFile("Sendora.ini"));
  ASSERT_EQ(ini.size(), 45);
  EXPECT_GT(ini[MainWidth].toInt(), 0);
  EXPECT_EQ(ini[ColWidth1], ""); // widths are not kept
}

TEST_F(MainWindowTest, GeometryAndColumnWidthsRoundTrip) {
  // Stored in twips; a hidden column comes back as width 0.
  const std::pair<SettingId, const char *> stored[] = {
      {MainLeft, "1500"},   {MainTop, "3000"},  {MainWidth, "9000"},
      {MainHeight, "6000"}, {ColWidth0, "600"}, {ColWidth1, "3000"},
      {ColWidth2, "1500"},  {ColWidth3, ""}};
  setting(SaveWindowPos) = "1";
  setting(SaveColWidth) = "1";
  for (const auto &[id, value] : stored)
    setting(id) = value;
  open();
  EXPECT_EQ(window->geometry(), QRect(100, 200, 600, 400));
  EXPECT_EQ(window->grid()->columnWidth(ColFolder), 200);
  EXPECT_TRUE(window->grid()->isColumnHidden(ColPriority));
  ASSERT_TRUE(window->close());
  for (const auto &[id, value] : stored)
    EXPECT_EQ(setting(id), QString(id == ColWidth3 ? "0" : value)) << id;

  // Both position values negative: the window was minimised.
  setting(MainLeft) = "-1";
  setting(MainTop) = "-1";
  open();
  EXPECT_TRUE(window->isMinimized());
}

TEST_F(MainWindowTest, LogEntriesKeysAndCopy) {
  open();
  setLog("開始");
  const QRegularExpression entry("^\\r\\n\\d\\d:\\d\\d:\\d\\d 開始$");
  EXPECT_TRUE(entry.match(window->logText()).hasMatch())
      << qPrintable(window->logText());
  setLog("一行目\r\n二行目");
  EXPECT_TRUE(window->logText().endsWith(" 一行目\r\n二行目"));
  QPlainTextEdit *log = window->log();
  // A long log shows its last line once the box has been updated, which
  // happens on its own a moment later.
  log->moveCursor(QTextCursor::Start);
  for (int i = 0; i < 200; ++i)
    setLog(QString::number(i));
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return log->toPlainText().endsWith(" 199"); }, 2000));
  EXPECT_EQ(log->textCursor().position(),
            log->document()->characterCount() - 1);
  EXPECT_TRUE(log->viewport()->rect().contains(log->cursorRect()));

  // Ctrl+A in the log selects the log, not the items.
  window->items()->appendItems({"/p/a.jpg"}, 5);
  QClipboard *clipboard = QGuiApplication::clipboard();
  clipboard->setText("sentinel");
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  log->setFocus();
  QTest::keyClick(log, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(clipboard->text(), "sentinel"); // nothing selected
  QTest::keyClick(log, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(log->textCursor().selectedText().size(),
            log->document()->characterCount() - 1);
  EXPECT_FALSE(window->grid()->selectionModel()->hasSelection());
  QTest::keyClick(log, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(clipboard->text(), window->logText());

  clipboard->setText("sentinel");
  action("menu_LogCopy")->trigger();
  EXPECT_EQ(clipboard->text(), window->logText());
}

TEST_F(MainWindowTest, GridColumnsShareTheWidthAndSortWithoutARun) {
  writeTextLines(dataFile("Default.sdr"), {",/b/2.jpg,5", "済,/a/1.jpg,5"});
  open(); // loads the list
  // The folder and name columns share the free width 70 to 30.
  window->resize(800, 500);
  QCoreApplication::processEvents();
  const QTableView *grid = window->grid();
  const double free = grid->width() * 15.0 - grid->columnWidth(0) * 15.0 - 300;
  EXPECT_NEAR(grid->columnWidth(ColFolder), free * 0.7 / 15, 1.0);
  EXPECT_NEAR(grid->columnWidth(ColName), free * 0.3 / 15, 1.0);
  // The log keeps its height at the bottom, under the grid.
  EXPECT_GT(window->log()->y(), grid->y() + grid->height());

  QHeaderView *header = window->grid()->horizontalHeader();
  const QPoint folderHeader(header->sectionViewportPosition(ColFolder) + 5,
                            header->height() / 2);

  StopRequested = false;
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, folderHeader);
  EXPECT_EQ(paths(*window->items()), QStringList({"/b/2.jpg", "/a/1.jpg"}));
  StopRequested = true;
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, folderHeader);
  EXPECT_EQ(paths(*window->items()), QStringList({"/a/1.jpg", "/b/2.jpg"}));
}

TEST_F(MainWindowTest, DeleteAsksFirstAndCancelKeepsEverything) {
  open();
  window->items()->appendItems({"/p/a", "/p/b", "/p/c"}, 5);
  window->grid()->selectRow(0);
  QTest::keyClick(window->grid(), Qt::Key_Down, Qt::ShiftModifier);
  {
    BoxAnswerer cancel(QMessageBox::Cancel);
    QTest::keyClick(window->grid(), Qt::Key_Delete);
    ASSERT_EQ(cancel.texts.size(), 1);
    EXPECT_EQ(cancel.texts[0],
              "選択されているﾌｧｲﾙをﾘｽﾄから削除します。\nよろしいですか？");
    EXPECT_EQ(cancel.defaults[0], QMessageBox::Cancel);
  }
  EXPECT_EQ(window->items()->itemCount(), 3);
  {
    BoxAnswerer ok(QMessageBox::Ok);
    window->Idle = false; // no rows disappear under a running script
    QTest::keyClick(window->grid(), Qt::Key_Delete);
    window->Idle = true;
    EXPECT_TRUE(ok.texts.isEmpty());
  }
  EXPECT_EQ(window->items()->itemCount(), 3);
  {
    BoxAnswerer ok(QMessageBox::Ok);
    action("menu_delete")->trigger();
  }
  EXPECT_EQ(paths(*window->items()), QStringList({"/p/c"}));
  EXPECT_FALSE(QFile::exists(dataFile("Default.sdr"))); // not saved

  // Moving a block and purging done items, which saves.
  window->items()->appendItems({"/p/d", "/p/e"}, 5);
  window->items()->setStatus(1, kDoneMark);
  window->grid()->selectRow(0);
  action("menu_down")->trigger();
  EXPECT_EQ(paths(*window->items()), QStringList({"/p/d", "/p/c", "/p/e"}));
  EXPECT_EQ(window->grid()->selectionModel()->selectedRows().value(0).row(), 1);
  action("menu_uploaded")->trigger();
  EXPECT_EQ(readTextLines(dataFile("Default.sdr")),
            QStringList({",/p/c,5", ",/p/e,5"}));
}

// The window's part of adding: a drop reaches it, new rows get the middle
// priority after the old ones, the sort mark goes.
TEST_F(MainWindowTest, DroppedPathsAreAddedAfterTheList) {
  const QString root = files.filePath("root");
  for (const char *f : {"root/a.jpg", "root/sub/c.jpg", "bad,name.jpg"})
    writeFile(files.filePath(f), {});
  open();
  window->items()->appendItems({"/old/z.jpg"}, 5);
  window->items()->sortByHeader(ColName);

  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(root),
                QUrl::fromLocalFile(files.filePath("bad,name.jpg"))});
  QWidget *target = window->grid()->viewport();
  const QPoint at = target->rect().center();
  QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
  QCoreApplication::sendEvent(target, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, {});
  BoxAnswerer ok(QMessageBox::Ok);
  QCoreApplication::sendEvent(target, &drop);
  EXPECT_TRUE(drop.isAccepted());

  QTRY_COMPARE_WITH_TIMEOUT(window->items()->itemCount(), 3, 2000);
  EXPECT_EQ(paths(*window->items()),
            QStringList({"/old/z.jpg", root + "/a.jpg", root + "/sub/c.jpg"}));
  EXPECT_EQ(window->items()->item(2).priority, "5");
  EXPECT_EQ(window->items()->headerText(ColName), "ﾌｧｲﾙ名");
  QTRY_COMPARE_WITH_TIMEOUT(ok.texts.size(), 1, 2000);
  EXPECT_TRUE(ok.texts[0].contains(files.filePath("bad,name.jpg")));
}

// Twenty thousand files in one folder: the drop stops at the limit with a
// message, the window stays alive meanwhile, and later adds are refused.
TEST_F(MainWindowTest, ItemLimitStopsAddsWithAMessage) {
  open();
  const QString folder = files.filePath("many");
  QDir().mkpath(folder);
  for (int i = 0; i < 20000; ++i)
    QFile(QStringLiteral("%1/%2.jpg").arg(folder).arg(i))
        .open(QIODevice::WriteOnly);
  for (const char *f : {"two/1.jpg", "two/2.jpg", "single.jpg"})
    writeFile(files.filePath(f), {});
  int ticks = 0;
  QTimer alive;
  alive.setInterval(10);
  // Only ticks before the limit box count: the box's own loop would keep
  // events flowing even through a drop that blocked them.
  QObject::connect(&alive, &QTimer::timeout, [&] {
    if (!QApplication::activeModalWidget())
      ++ticks;
  });
  alive.start();
  BoxAnswerer ok(QMessageBox::Ok);
  window->dropPaths({folder});
  EXPECT_EQ(window->items()->itemCount(), kItemLimit);
  EXPECT_EQ(ok.texts, QStringList({itemLimitMessage(kItemLimit)}));
  EXPECT_GE(ticks, 1) << "events kept flowing while the files went in";
  window->dropPaths({files.filePath("single.jpg")});
  EXPECT_EQ(window->items()->itemCount(), kItemLimit);
  EXPECT_EQ(ok.texts.size(), 2);

  // The item dialog counts the grid's items too.
  window->items()->removeItems(0, 1);
  ItemDialog dialog(window->items()->itemCount());
  dialog.addPaths({files.filePath("two"), files.filePath("single.jpg")});
  EXPECT_EQ(dialog.fileList()->count(), 2);
  EXPECT_EQ(ok.texts.size(), 3);
}

TEST_F(MainWindowTest, ItemDialogAddsOnOkAndNothingOnCancel) {
  for (const char *f : {"b.jpg", "a.jpg", "c.jpg"})
    writeFile(files.filePath(f), {});
  open();

  ModalScript modal;
  modal.onWindowOf<ItemDialog>([this](ItemDialog *d) {
    // the priority is not offered: new items take the middle one
    EXPECT_FALSE(d->findChild<QComboBox *>("cmbYusn")->isEnabled());
    d->addPaths({files.filePath("c.jpg"), files.filePath("b.jpg"),
                 files.filePath("a.jpg")});
    EXPECT_EQ(d->findChild<QLabel *>("lblItemCnt")->text(), "3");
    d->fileList()->clearSelection();
    d->fileList()->item(1)->setSelected(true);
    d->findChild<QPushButton *>("cmdDelete")->click();
    EXPECT_EQ(d->findChild<QLabel *>("lblItemCnt")->text(), "3");
    d->findChild<QPushButton *>("cmdOK")->click();
  });
  window->runToolbarKey("add");
  EXPECT_EQ(paths(*window->items()),
            QStringList({files.filePath("a.jpg"), files.filePath("c.jpg")}));
  EXPECT_EQ(window->items()->item(0).priority, "5");

  modal.onWindowOf<ItemDialog>([this](ItemDialog *d) {
    d->addPaths({files.filePath("b.jpg")});
    d->findChild<QPushButton *>("cmdCancel")->click();
  });
  action("tb_add")->trigger();
  EXPECT_EQ(window->items()->itemCount(), 2);
}

TEST(AppSetup, EnvironmentForTheBrowserEngine) {
  const QByteArray display = qgetenv("DISPLAY");
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
  qputenv("DISPLAY", ":99");
  qunsetenv("QT_QPA_PLATFORM");
  qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--lang=ja");

  prepareEnvironment();
  prepareEnvironment(); // a second call adds nothing twice
  EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), "xcb");
  const QList<QByteArray> got =
      qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").split(' ');
  for (const char *f :
       {"--lang=ja", "--disable-background-networking",
        "--disable-component-update", "--disable-sync", "--no-first-run"})
    EXPECT_EQ(got.count(f), 1) << f;
  EXPECT_EQ(got.count("--no-sandbox"), ::geteuid() == 0 ? 1 : 0);

  qputenv("QT_QPA_PLATFORM", "offscreen");
  prepareEnvironment(); // a chosen platform stays
  EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), "offscreen");

  display.isNull() ? qunsetenv("DISPLAY") : qputenv("DISPLAY", display);
  qputenv("QT_QPA_PLATFORM", platform);
  qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
}

} // namespace

int main(int argc, char **argv) { return runTestsWithApp(argc, argv); }
