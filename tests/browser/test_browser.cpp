// The browser engine against real pages in the real embedded browser.
#include "testsupport.h"

#include "browser/browserwindow.h"
#include "browser/filedialog.h"
#include "browser/manuallogin.h"
#include "browser/pagewait.h"
#include "browser/webbrowser.h"
#include "browser/winsys.h"
#include "core/runstate.h"
#include "core/settings.h"
#include "fakesite.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <gtest/gtest.h>

namespace {
const QString kNet = QString::fromUtf8(kNetworkMessage);

// Pages with the kinds of elements a script reads and sets.
class TestSite : public fake::FakeSite {
public:
  TestSite() : FakeSite("pages.localhost") {
    loadPages("browser", {{"POST /upload",
                           [this](fake::Visit &v) { recordUploads(v.req); }}});
  }
  ~TestSite() override { stop(); }
  QString q(const std::string &path) {
    return QString::fromStdString(url(path));
  }
};

// Clicks the page's file input with the file-dialog service running, the
// way a script does it.
int handOff(WebBrowser *b, int input, const QString &path, bool logging) {
  QTimer sansho;
  sansho.setInterval(250);
  QObject::connect(&sansho, &QTimer::timeout, [&] {
    sansho.stop();
    fillFileDialog(logging);
    if (DlgRequest == 1)
      sansho.start();
  });
  return requestFileChoice(path, &sansho, [&] { b->Click(input); });
}

class BrowserTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    site = new TestSite;
    ASSERT_TRUE(site->start());
  }
  static void TearDownTestSuite() {
    unloadBrowser();
    unloadBrowser2();
    delete site;
  }
  void SetUp() override {
    setFastSettings(3);
    StopRequested = false;
  }
  void TearDown() override { StopRequested = true; }

  WebBrowser *browser() { return frmBrowser()->WebBrowser1; }
  void open(const std::string &path) {
    browser()->Navigate(site->q(path));
    ASSERT_EQ(waitBrowser(kNet, 1), 0);
  }
  int indexOf(const QString &tag, const QString &prop, const QString &text) {
    const auto rows = browser()->snapshot({prop}, {tag});
    for (int i = 0; i < rows.size(); ++i)
      if (rows[i][0] == tag && rows[i][1].trimmed() == text)
        return i;
    return 0;
  }
  // The form page with the browser in front, as when a run opens the
  // chooser; returns the file input.
  int openForm() {
    open("/form");
    forceForeground(windowHandleOf(frmBrowser()));
    EXPECT_TRUE(QTest::qWaitForWindowActive(frmBrowser()));
    return indexOf("input", "Name", "upfile");
  }

  static TestSite *site;
  TempDataFolder data;
};
TestSite *BrowserTest::site = nullptr;
} // namespace

TEST_F(BrowserTest, WaitsForACompletePageReadsAndSetsItsElements) {
  LogCapture log;
  open("/");
  EXPECT_EQ(browser()->ReadyState(), 4);
  EXPECT_FALSE(browser()->Busy());
  EXPECT_EQ(browser()->documentTitle(), "Top");
  EXPECT_TRUE(log.lines().isEmpty());

  const QStringList props{"Name", "Value", "innerText", "alt", "Checked"};
  const auto rows = browser()->snapshot(props);
  ASSERT_EQ(rows.size(), browser()->elementCount());
  int plain = indexOf("input", "Name", "plain");
  ASSERT_GT(plain, 0);
  EXPECT_EQ(rows[plain][2], " x ");
  EXPECT_EQ(browser()->getProperty(plain, "Value"), " x ");

  int box = indexOf("input", "Name", "box");
  EXPECT_EQ(browser()->getProperty(box, "Checked"), "false");
  browser()->Click(box);
  EXPECT_EQ(browser()->getProperty(box, "Checked"), "true");

  // options read by their text; alt keeps its tabs for the matcher
  EXPECT_GT(indexOf("option", "innerText", "二"), 0);
  EXPECT_EQ(rows[indexOf("img", "alt", "ロ\tグ イン")][4], "\tロ\tグ イン\t");

  // Narrowed per tag: each tag reads only its own columns, with the values
  // the full snapshot has; other elements keep just their name.
  const auto narrow = browser()->snapshot(props, {"input", "option"},
                                          {{"Name"}, {"innerText"}});
  ASSERT_EQ(narrow.size(), rows.size());
  for (int i = 0; i < rows.size(); ++i) {
    ASSERT_EQ(narrow[i].size(), props.size() + 1);
    EXPECT_EQ(narrow[i][0], rows[i][0]);
    const int keep = rows[i][0] == "input" ? 1 : rows[i][0] == "option" ? 3 : 0;
    for (int c = 1; c <= props.size(); ++c)
      EXPECT_EQ(narrow[i][c], c == keep ? rows[i][c] : QString()) << i << c;
  }

  // Guarded actions set what is still in place and refuse an element that
  // changed place.
  const ElementGuard guard{"input", "Name", "plain"};
  ASSERT_TRUE(browser()->setProperty(plain, "Value", "入力", &guard));
  EXPECT_EQ(browser()->getProperty(plain, "Value"), "入力");

  // A script puts a password field where the text field was.
  browser()->evaluate("var p=document.createElement('input');p.type="
                      "'password';p.name='pw';document.body.insertBefore(p,"
                      "document.body.firstChild);");
  EXPECT_FALSE(browser()->setProperty(plain, "Value", "secret", &guard));
  EXPECT_TRUE(browser()->elementChanged());
  EXPECT_EQ(browser()->getProperty(plain, "Value"), "");
  EXPECT_EQ(browser()->getProperty(plain + 1, "Value"), "入力");

  // A refused click fails the page wait that follows it, once.
  log.clear();
  EXPECT_FALSE(browser()->Click(plain, &guard));
  EXPECT_EQ(waitBrowser(kNet, 0), -1);
  EXPECT_TRUE(log.contains("ページが変わったため押下しませんでした"));
  EXPECT_EQ(waitBrowser(kNet, 0), 0);

  // A click on a link is waited for, and so is going back.
  const int link = indexOf("a", "innerText", "次へ");
  ASSERT_GT(link, 0);
  browser()->Click(link);
  EXPECT_EQ(waitBrowser(kNet, 0), 0);
  EXPECT_EQ(waitBrowser(kNet, 1), 0);
  EXPECT_EQ(browser()->documentTitle(), "Form");
  browser()->GoBack();
  EXPECT_EQ(waitBrowser(kNet, 1), 0);
  EXPECT_EQ(browser()->documentTitle(), "Top");
}

// A page busy past the time-out, one that never completes (unless the
// settings say not to wait for it), a server that refuses: each wait logs
// why, and the next page loads again.
TEST_F(BrowserTest, FailedPageWaitsLogWhy) {
  const auto stall = [](bool on) { site->stallPath("/form", on ? 4000 : 0); };
  const auto never = [](bool on) { site->neverCompletePath("/form", on); };
  const struct {
    std::function<void(bool)> fault;
    const char *path, *noWaitComplete;
    int result;
    QStringList log;
  } cases[] = {
      {stall, "/form", "0", -1, {"ﾀｲﾑｱｳﾄ時間を超えました。(Busy)"}},
      {never, "/form", "0", 0, {"ﾀｲﾑｱｳﾄ時間を超えました。(3)"}},
      {never, "/form", "1", 0, {}},
      {[](bool on) { ASSERT_TRUE(site->refuse(on)); }, "/", "0", -1, {kNet}},
  };
  setting(TimeOut) = "1";
  for (const auto &c : cases) {
    setting(NoWaitComplete) = c.noWaitComplete;
    c.fault(true);
    LogCapture log;
    browser()->Navigate(site->q(c.path));
    EXPECT_EQ(waitBrowser(kNet, 1), c.result) << c.path << c.noWaitComplete;
    c.fault(false);
    EXPECT_EQ(log.lines(), c.log);
  }
  EXPECT_EQ(browser()->documentTitle(), "サーバーが見つかりません。");
  open("/");
  EXPECT_EQ(browser()->documentTitle(), "Top");
}

TEST_F(BrowserTest, StopEndsWaitsAndPausesWithinAPollOtherwiseTheyLast) {
  site->stallPath("/form", 3000);
  browser()->Navigate(site->q("/form"));
  QTimer::singleShot(200, [] { StopRequested = true; });
  QElapsedTimer t;
  t.start();
  EXPECT_EQ(waitBrowser(kNet, 1), 0);
  EXPECT_LT(t.elapsed(), 1000);
  site->stallPath("/form", 0);

  StopRequested = false;
  QTimer::singleShot(100, [] { StopRequested = true; });
  t.restart();
  pauseSec(5);
  EXPECT_LT(t.elapsed(), 500);
  StopRequested = false;
  EXPECT_EQ(waitBrowser(kNet, 1), 0);

  // Without a stop, pauses last their time and keep events flowing.
  t.restart();
  pauseSec(0);
  EXPECT_GE(t.elapsed(), 45);
  EXPECT_LT(t.elapsed(), 400);

  int fired = 0;
  QTimer::singleShot(0, [&] { ++fired; });
  t.restart();
  timerWait(50);
  EXPECT_GE(t.nsecsElapsed(), 4'000'000);
  EXPECT_LT(t.elapsed(), 100);
  EXPECT_EQ(fired, 1);

  // A chooser-service tick nobody asked for only pauses a second.
  LogCapture log;
  DlgRequest = 0;
  t.restart();
  fillFileDialog(true);
  EXPECT_GE(t.elapsed(), 950);
  EXPECT_EQ(DlgRequest, 0);
  EXPECT_TRUE(log.lines().isEmpty());
}

TEST_F(BrowserTest, FileChooserFilledAndUploadReceivedByteForByte) {
  LogCapture log;
  QByteArray bytes;
  for (int i = 0; i < 70000; ++i)
    bytes += char(i * 31 % 256);
  const QString path = writeFile(data.file("写真 1.jpg"), bytes);
  const int input = openForm();
  const int submit = indexOf("input", "Value", "送信");
  ASSERT_GT(input, 0);
  ASSERT_GT(submit, 0);

  site->clearUploads();
  EXPECT_EQ(handOff(browser(), input, path, true), 0);
  EXPECT_FALSE(browser()->getProperty(input, "Value").isEmpty());
  browser()->Click(submit);
  ASSERT_EQ(waitBrowser(kNet, 1), 0);
  const auto up = site->uploads();
  ASSERT_EQ(up.size(), 1u);
  EXPECT_EQ(QString::fromStdString(up[0].filename), "写真 1.jpg");
  EXPECT_EQ(QByteArray::fromStdString(up[0].bytes), bytes);

  const QStringList l = log.lines();
  ASSERT_GE(l.size(), 10);
  EXPECT_EQ(l[0], "ファイルダイアログ検索開始");
  EXPECT_TRUE(l[1].startsWith("ファイルダイアログ検索成功("));
  EXPECT_TRUE(l[1].endsWith(")(1回目で取得)"));
  EXPECT_TRUE(log.containsStart("テキストボックスの取得完了1("));
  EXPECT_TRUE(log.contains("ファイル名のセット完了1(1)"));
  EXPECT_TRUE(log.containsStart("開くボタンの取得完了("));
  EXPECT_TRUE(log.contains("開くボタンの押下完了(0)"));
}

// By the whole caption or a part of it, with the desktop in any language;
// a caption no window has still lets the click return.
TEST_F(BrowserTest, ChooserFoundByItsCaptionNeverOneOfOurWindows) {
  LogCapture log;
  const QString path = writeFile(data.file("a.txt"), "abc");
  // A window of ours carrying the caption, created first, with a box the
  // path could be typed into: never taken for the dialog.
  QWidget own;
  own.setWindowTitle("ファイルの選択");
  auto *ownBox = new QLineEdit(&own);
  own.show();
  // a hidden chooser carrying the same part is passed over
  QFileDialog hidden(nullptr, "hidden の選択");
  hidden.setOption(QFileDialog::DontUseNativeDialog);
  const int input = openForm();
  const std::pair<const char *, const char *> cases[] = {
      {"ファイルの選択", "C"}, {"の選択", "ja"}, {"ファイルの選択", "de"}};
  for (const auto &[title, lang] : cases) {
    QTranslator tr;
    if (QByteArray(lang) != "C")
      ASSERT_TRUE(tr.load(QLocale(lang), "qtbase", "_",
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
          << lang;
    QCoreApplication::installTranslator(&tr);
    setting(DlgTitle) = title;
    browser()->setProperty(input, "Value", "");
    EXPECT_EQ(handOff(browser(), input, path, true), 0) << title << lang;
    EXPECT_TRUE(browser()->getProperty(input, "Value").endsWith("a.txt"));
    QCoreApplication::removeTranslator(&tr);
  }
  EXPECT_TRUE(ownBox->text().isEmpty());
  EXPECT_TRUE(log.contains("ファイルダイアログ検索開始(部分一致)"));
  EXPECT_TRUE(log.containsStart("ファイルダイアログ検索成功(部分一致)("));
  EXPECT_EQ(
      log.lines().filter(QRegularExpression("^開くボタンの取得完了\\(")).size(),
      3);

  // A caption no window has: the click still returns, the chooser is
  // closed and the field stays empty; logged only when asked to.
  setting(DlgTitle) = "存在しないダイアログ";
  for (bool logging : {true, false}) {
    log.clear();
    browser()->setProperty(input, "Value", "");
    EXPECT_EQ(handOff(browser(), input, path, logging), -1);
    EXPECT_EQ(log.contains("ファイルダイアログ検索失敗(部分一致)"), logging);
    EXPECT_EQ(
        log.contains("ツール＞オプション設定＞ファイルダイアログのタイトル"
                     "を確認してください。"),
        logging);
    EXPECT_EQ(log.lines().isEmpty(), !logging);
    EXPECT_FALSE(browser()->chooserOpen());
    EXPECT_TRUE(browser()->getProperty(input, "Value").isEmpty());
  }
  setting(DlgTitle) = "ファイルの選択";
  EXPECT_EQ(handOff(browser(), input, path, false), 0);
  EXPECT_TRUE(log.lines().isEmpty());
}

TEST_F(BrowserTest, WindowSystemLayerFindsBoxesAndButtons) {
  QFileDialog dlg(nullptr, "ファイルの選択");
  dlg.setOption(QFileDialog::DontUseNativeDialog);
  dlg.show();
  const WindowHandle h = findWindowByCaption("ファイルの選択");
  ASSERT_NE(h, 0u);
  const WindowHandle edit = findChildWindow(h, "Edit");
  ASSERT_NE(edit, 0u);
  const WindowHandle open = findChildWindow(h, "Button", "&Open");
  EXPECT_NE(open, 0u);
  EXPECT_EQ(findChildWindow(h, "Button", "開かない"), 0u);
  EXPECT_EQ(setWindowText(edit, "/tmp/x"), 1);
  qobject_cast<QWidget *>(widgetOf(edit))->setEnabled(false);
  EXPECT_EQ(setWindowText(edit, "/tmp/x"), 0);
  // Ending the chooser's loop never closes a modal window of ours instead.
  QDialog own;
  own.setModal(true);
  own.show();
  endActiveModal();
  EXPECT_TRUE(own.isVisible());
  EXPECT_FALSE(isWindowVisible(h));
}

TEST_F(BrowserTest, ProgressBoxesNewWindowsAndThePlaceKeptAcrossRuns) {
  BrowserWindow *w = frmBrowser();
  w->showProgress(1, 3);
  EXPECT_EQ(w->picStatus->text(), "   33%");
  EXPECT_NEAR(w->picProgress->filled(), 0.3333, 0.0001);
  w->showProgress(0, 3);
  EXPECT_EQ(w->picStatus->text(), "   ページが表示されました");
  EXPECT_EQ(w->picProgress->filled(), 0.0);
  w->showProgress(3, 3);
  EXPECT_EQ(w->picStatus->text(), "   ページが表示されました");

  // the user cannot close it
  w->close();
  EXPECT_TRUE(browserLoaded());
  EXPECT_TRUE(w->isVisible());

  setting(BlogUrl) = site->q("/");
  open("/");
  const int link = indexOf("a", "innerText", "別窓");
  browser()->Click(link);
  ASSERT_TRUE(waitFor([] { return browser2Loaded(); }, 10000));
  EXPECT_EQ(waitBrowser2(kNet, 1), 0);
  EXPECT_TRUE(waitFor(
      [] { return frmBrowser2()->WebBrowser1->documentTitle() == "Popup"; }));
  unloadBrowser2();

  // Its place is kept across runs.
  unloadBrowser();
  setting(SaveWindowPos) = "1";
  const QStringList place{"1500", "3000", "9000", "6000"};
  const SettingId ids[] = {BrowserTop, BrowserLeft, BrowserWidth,
                           BrowserHeight};
  for (int i = 0; i < 4; ++i)
    setting(ids[i]) = place[i];
  for (int run = 0; run < 3; ++run) {
    EXPECT_EQ(frmBrowser()->geometry().topLeft(), QPoint(200, 100)) << run;
    unloadBrowser();
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(setting(ids[i]), place[i]) << run;
  }
  // closed minimised: comes back minimised
  frmBrowser()->showMinimized();
  unloadBrowser();
  EXPECT_EQ(setting(BrowserTop), "-1");
  EXPECT_TRUE(frmBrowser()->isMinimized());
  unloadBrowser();
  setting(SaveWindowPos) = "0";
}

// OK, Esc (like the close box) and a stop each end the wait; a stop after
// 3 s would end one that did not.
TEST_F(BrowserTest, ManualLoginPromptWaitsForOkEscOrAStop) {
  const std::function<void()> enders[] = {
      [] { frmManual()->Command1->click(); },
      [] { QTest::keyClick(frmManual(), Qt::Key_Escape); },
      [] { StopRequested = true; }};
  for (int i = 0; i < 3; ++i) {
    StopRequested = false;
    QTimer::singleShot(300, [&] {
      ASSERT_NE(frmManual(), nullptr);
      enders[i]();
    });
    QObject noHang; // the stop is dropped with it when the wait ended
    QTimer::singleShot(3000, &noHang, [] { StopRequested = true; });
    QElapsedTimer t;
    t.start();
    waitManualLogin();
    EXPECT_GE(t.elapsed(), 250) << i;
    EXPECT_EQ(StopRequested, i == 2) << i;
    if (i == 0)
      EXPECT_TRUE(ManualDone);
    EXPECT_TRUE(waitFor([] { return frmManual() == nullptr; }));
  }
}

int main(int argc, char **argv) { return runTestsWithApp(argc, argv); }
