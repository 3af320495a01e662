// Recording the user-defined script, on snapshots and then with real clicks
// and key presses on a blog full of decoys, saved and run end to end.
#include "servicerun.h"

#include "browser/browserwindow.h"
#include "browser/webbrowser.h"
#include "core/runstate.h"
#include "core/settings.h"
#include "dialogs/customdialog.h"
#include "dialogs/recorder.h"
#include "mainwindow/rundriver.h"
#include "scripts/skeleton.h"
#include "sites.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

namespace {
QString rowText(const CustomRow &r) {
  return QStringList{r.tag, r.attribute, r.search, r.action, r.value}.join("|");
}

TEST(ChooseLocator, FindsExactlyTheClickedElementByTheRunnersRules) {
  // Per element: nodename, Name, Value, innerText, alt, Type; then what
  // a click on it records ("-": no code finds it alone).
  const std::vector<std::pair<QStringList, QString>> elements = {
      {{"html"}, "-"},
      {{"input", "user_id", "", "", "", "text"}, "input/5/text"}, // by type
      {{"input", "", "ログイン", "", "", "submit"}, "input/2/ログイン"},
      {{"input", "user_id", "x", "", "", "text"}, "input/1/user_id"}, // last
      {{"input", "do_login", "ログイン", "", "", "submit"}, "input/1/do_login"},
      {{"a", "", "", "サインインの方法", "", ""}, "a/3/サインインの方法"},
      {{"a", "", "", " サインイン ", "", ""}, "a/3/サインイン"},
      {{"a", "", "", "", "", ""}, "-"},
      {{"img", "", "", "", "ファイル管理", ""}, "img/4/ファイル管理"},
      {{"a", "", "", "UPLOAD", "", ""}, "a/3/UPLOAD"},
      {{"a", "", "", "upload", "", ""}, "-"},        // case does not count
      {{"input", "title", "", "", "", "text"}, "-"}, // a later Name twin
      {{"input", "title", "", "", "", "hidden"}, "input/1/title"},
      {{"a", "", "", "二行の\nリンク", "", ""}, "-"}, // not in a file line
      {{"input", "", "", "", "送信", "image"}, "input/4/送信"},
      {{"button", "go", "", "送信する", "", "submit"}, "button/3/送信する"},
      {{"input", "agree", "yes", "", "", "checkbox"}, "input/2/yes"},
      {{"input", "agree", "no", "", "", "checkbox"}, "input/1/agree"},
  };
  Snapshot page;
  for (const auto &e : elements)
    page << e.first;
  for (int i = 0; i <= page.size(); ++i) {
    const Locator l = chooseLocator(page, i);
    EXPECT_EQ(l.found() ? l.tag + "/" + l.attribute + "/" + l.search : "-",
              i < page.size() ? elements[i].second : "-")
        << i;
  }

  // What the walk through the rows makes of the clicks.
  CustomRecording rec;
  rec.skip();
  EXPECT_EQ(rec.click(page, 3, 7), CustomRecording::Stored); // the field
  for (int r = RowPassword; r < RowBrowse; ++r)
    rec.skip();
  EXPECT_EQ(rec.click(page, 4), CustomRecording::Stored); // no file input
  rec.skip();
  EXPECT_EQ(rec.click(page, 11), CustomRecording::NotUnique);
  EXPECT_EQ(rec.click(page, 3), CustomRecording::Stored);
  rec.edit(3, "前");
  rec.pageChanged(); // indexes of the old page mean nothing now
  rec.edit(3, "後");
  CustomScript before;
  before.rows[RowSubmit] = CustomRow{"input", "2", "keep", "1", ""};
  const CustomScript s = rec.applyTo(before, "taro", "pw");
  EXPECT_EQ(rowText(s.rows[RowSignIn]), "|0||0|");
  EXPECT_EQ(rowText(s.rows[RowUserId]), "input|1|user_id|2|taro");
  EXPECT_EQ(rowText(s.rows[RowBrowse]), "input|1|do_login|1|");
  EXPECT_EQ(rowText(s.rows[RowField1]), "input|1|user_id|2|前");
  EXPECT_EQ(rowText(s.rows[RowSubmit]), "input|2|keep|1|"); // not reached
}

// --- a user in the recorder's browser ----------------------------------

void shoot(QWidget *w, const QString &name) {
  ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
  QTest::qWait(200);
  const QString dir = testOutputFolder("screenshots");
  ASSERT_TRUE(w->grab().save(dir + "/" + name + ".png"));
}

class Recording : public ServiceRunTest {
protected:
  void SetUp() override {
    ServiceRunTest::SetUp();
    site.set("formAfterUpload", false);
    // Pages with decoys around the elements the recording wants, beside the
    // generic blog's own; the upload goes to its handler.
    site.loadPages("decoys");
    ASSERT_TRUE(site.start());
    useAccount(QString::fromStdString(site.url("/d/top")), "taro", "himitsu");
    setting(Thumbnail) = "0";
  }
  void TearDown() override {
    if (browserLoaded())
      unloadBrowser();
    ServiceRunTest::TearDown();
  }

  WebBrowser *web() { return rec->browser(); }
  QWidget *input() { return web()->focusProxy(); }
  bool loaded(const QString &path) {
    return waitFor([&] {
      return web()->url().path() == path && web()->ReadyState() == 4;
    });
  }
  // A real mouse click on the centre of the element. The engine drops
  // input that comes before a fresh page's first paint, so, like a user,
  // the test clicks again while nothing happens.
  bool clickUntil(const QString &selector, const std::function<bool()> &done) {
    for (int n = 0; n < 8; ++n) {
      const QVariantList r =
          web()
              ->evaluate("(function(){var e=document.querySelector('" +
                         selector +
                         "');if(!e)return null;var r=e.getBoundingClientRect();"
                         "return [r.left+r.width/2,r.top+r.height/2];})()")
              .toList();
      if (r.size() != 2)
        return false;
      const QPoint at(r[0].toInt(), r[1].toInt());
      QTest::mouseClick(input(), Qt::LeftButton, Qt::NoModifier, at);
      if (waitFor(done, 1000))
        return true;
    }
    return false;
  }
  void click(const QString &selector, const QString &nextPage = {}) {
    const int row = rec->recording().current();
    ASSERT_TRUE(
        clickUntil(selector, [&] { return rec->recording().current() > row; }))
        << selector.toStdString() << ": " << rec->lblNote->text().toStdString();
    if (!nextPage.isEmpty())
      ASSERT_TRUE(loaded(nextPage)) << nextPage.toStdString();
  }

  fake::FakeGeneric site;
  RecorderWindow *rec = nullptr;
};

TEST_F(Recording, ClicksThroughADecoySiteThenTheScriptUploads) {
  frmCustom designer;
  designer.setWindowModality(Qt::ApplicationModal); // as it is opened
  designer.show();
  designer.cmdRecord->click();
  rec = designer.recorder();
  ASSERT_TRUE(rec && loaded("/d/top"));
  EXPECT_EQ(rec->txtUrl->text(), setting(BlogUrl));

  click("a[href=\"/d/login\"]", "/d/login");
  click("form[method=post] input[name=user_id]");
  QTest::keyClicks(input(), "taro");
  click("input[name=user_pw]");
  QTest::keyClicks(input(), "himitsu");
  shoot(rec, "frmRecorder");
  click("input[name=do_login]", "/d/home");
  EXPECT_TRUE(rec->lblRow->text().contains("ﾛｸﾞｲﾝ済："));
  // The designer is modal; the recorder, its child, still takes input
  // from the window system.
  QTest::mouseClick(rec->windowHandle(), Qt::LeftButton, {},
                    rec->cmdSkip->mapTo(rec, rec->cmdSkip->rect().center()));
  ASSERT_TRUE(waitFor([&] { return rec->recording().current() == RowLink1; }));
  // A button whose twin comes first cannot be found: the row waits.
  ASSERT_TRUE(clickUntil(
      "#twin", [&] { return rec->lblNote->text().contains("絞れません"); }));
  EXPECT_EQ(rec->recording().current(), RowLink1);
  click("img", "/d/page1");
  click("a[href=\"/d/upload\"]", "/d/upload");
  click("input[name=make_thumb]");
  // The file input opens no chooser while recording.
  click("input[name=upload_file]");
  EXPECT_FALSE(web()->chooserOpen());
  click("input[name=file_title]");
  QTest::keyClicks(input(), "photo.png");
  click("input[name=comment]");
  QTest::keyClicks(input(), "memo ");
  QInputMethodEvent japanese;
  japanese.setCommitString("旅行");
  QApplication::sendEvent(input(), &japanese);
  ASSERT_TRUE(waitFor(
      [&] { return rec->recording().row(RowField1).value == "memo 旅行"; }));
  click("input[name=public]");
  rec->cmdBack->click();
  EXPECT_TRUE(rec->lblNote->text().startsWith("記録済み"));
  rec->cmdSkip->click();
  rec->cmdBack->click();
  EXPECT_EQ(rec->lblNote->text(), "スキップ済み");
  click("input[name=public]");
  for (int r = RowField1 + 2; r <= RowField5; ++r)
    rec->cmdSkip->click();
  click("input[type=submit]");
  EXPECT_TRUE(rec->recording().finished());

  rec->cmdEnd->click();
  EXPECT_EQ(designer.recorder(), nullptr);
  const QStringList expected = {"a|3|サインイン|1|",
                                "input|1|user_id|2|taro",
                                "input|1|user_pw|2|himitsu",
                                "input|1|do_login|1|",
                                "|0||0|",
                                "img|4|ファイル管理|1|",
                                "a|3|アップロード|1|",
                                "input|1|make_thumb|1|",
                                "input|1|upload_file|3|",
                                "input|1|file_title|2|(*FileName*)",
                                "input|1|comment|2|memo 旅行",
                                "input|1|public|1|",
                                "|0||0|",
                                "|0||0|",
                                "|0||0|",
                                "input|2|送信する|1|"};
  for (int r = 0; r < kCustomRowCount; ++r)
    EXPECT_EQ(rowText(designer.script().rows[r]), expected[r]) << r;
  EXPECT_FALSE(QFile::exists(data.file("Custom.sdr")));
  EXPECT_TRUE(site.uploads().empty());
  shoot(&designer, "frmCustom_recorded");

  designer.chkBack->setChecked(true);
  designer.cmdSave->click();
  site.logOutAll();
  queueTwoFiles();
  frmBrowser();
  StopRequested = false;
  EXPECT_TRUE(runCustomScript(scriptHostOf(window())));
  StopRequested = true;
  expectAllReceivedAndMarked(site.uploads());
}
} // namespace

int main(int argc, char **argv) { return runTestsWithApp(argc, argv); }
