// Recording the user-defined script: the choice of tag, attribute and
// search text on hand-made snapshots, the row walk with skip and back, and
// a recording made with real clicks on a blog full of decoys that is then
// saved and run end to end.
#include "servicerun.h"
#include "usersteps.h"

#include "browser/browserwindow.h"
#include "core/runstate.h"
#include "core/settings.h"
#include "dialogs/customdialog.h"
#include "dialogs/recorder.h"
#include "fakegeneric.h"
#include "mainwindow/rundriver.h"
#include "scripts/skeleton.h"

#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

void PrintTo(const QString &s, std::ostream *os) { *os << s.toStdString(); }

namespace {
// A snapshot row: nodename, then Name, Value, innerText, alt, Type.
QStringList el(const QString &tag, const QString &name = {},
               const QString &value = {}, const QString &text = {},
               const QString &alt = {}, const QString &type = {}) {
  return {tag, name, value, text, alt, type};
}

QString located(const Snapshot &s, int i) {
  const Locator l = chooseLocator(s, i);
  return l.found() ? l.tag + "/" + l.attribute + "/" + l.search : "-";
}

QString rowText(const CustomRow &r) {
  return QStringList{r.tag, r.attribute, r.search, r.action, r.value}.join(
      "|");
}

TEST(ChooseLocator, FindsExactlyTheClickedElementByTheRunnersRules) {
  const Snapshot page = {
      el("html"),
      el("input", "user_id", "", "", "", "text"),      // 1 earlier decoy
      el("input", "", "ログイン", "", "", "submit"),   // 2 earlier decoy
      el("input", "user_id", "taro", "", "", "text"),  // 3
      el("input", "user_pw", "", "", "", "password"),  // 4
      el("input", "do_login", "ログイン", "", "", "submit"), // 5
      el("a", "", "", "サインインの方法"),             // 6
      el("a", "", "", " サインイン "),                 // 7
      el("a"),                                         // 8 wraps the image
      el("img", "", "", "", "ファイル管理"),           // 9
      el("a", "", "", "ファイル管理の説明"),           // 10
      el("a", "", "", "UPLOAD"),                       // 11
      el("a", "", "", "upload"),                       // 12 same, other case
      el("input", "title", "", "", "", "text"),        // 13
      el("input", "title", "", "", "", "hidden"),      // 14 later decoy
      el("a", "", "", "二行の\nリンク"),               // 15
      el("input", "", "", "", "送信", "image"),        // 16
      el("button", "go", "", "送信する", "", "submit"), // 17
      el("input", "agree", "yes", "", "", "checkbox"), // 18
      el("input", "agree", "no", "", "", "checkbox"),  // 19
  };
  const std::vector<std::pair<int, QString>> cases = {
      {3, "input/1/user_id"},  // the later of two Names wins
      {1, "input/5/text"},     // the earlier only by its type
      {4, "input/1/user_pw"},
      {5, "input/1/do_login"}, // its caption is taken by a decoy
      {2, "input/2/ログイン"},
      {7, "a/3/サインイン"},   // trimmed; the longer text is no match
      {10, "a/3/ファイル管理の説明"},
      {9, "img/4/ファイル管理"},
      {8, "-"},  // no text, no name
      {11, "a/3/UPLOAD"},
      {12, "-"}, // the earlier one matches without regard to case
      {13, "-"}, // its Name finds the later field, its type the first
      {14, "input/1/title"},
      {15, "-"}, // the file cannot hold a line break
      {16, "input/4/送信"},
      {17, "button/3/送信する"},
      {18, "input/2/yes"}, // the Name finds the second box
      {0, "-"},
      {99, "-"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(located(page, c.first), c.second) << c.first;
}

// A page with one element per row, for walking through the rows.
const Snapshot kForm = {
    el("html"),
    el("a", "", "", "サインイン"),                      // 1
    el("input", "uid", "typed", "", "", "text"),       // 2
    el("input", "pw", "", "", "", "password"),         // 3
    el("input", "", "入る", "", "", "submit"),         // 4
    el("a"),                                           // 5 wraps 6
    el("img", "", "", "", "管理"),                     // 6
    el("input", "thumb", "1", "", "", "checkbox"),     // 7
    el("input", "up", "", "", "", "file"),             // 8
    el("input", "fname", "", "", "", "text"),          // 9
    el("select", "cat", "日記", "日記 旅行", "", "select-one"), // 10
    el("input", "pub", "1", "", "", "checkbox"),       // 11
    el("button", "", "", "ファイルを選ぶ", "", "button"), // 12
    el("input", "", "送信", "", "", "submit"),          // 13
    el("span", "", "", "同じ"),                          // 14
    el("span", "", "", "同じ"),                          // 15
};

TEST(CustomRecording, WalksTheRowsWithSkipAndBackAndFillsTheDesignerRows) {
  CustomRecording rec;
  EXPECT_EQ(rec.click(kForm, 1), CustomRecording::Stored);
  // The user id row wants the field itself, not a link around it.
  EXPECT_EQ(rec.click(kForm, 2, 1), CustomRecording::Stored);
  EXPECT_EQ(rec.click(kForm, 3), CustomRecording::Stored);
  // Back to the password row, then a click stores it again.
  rec.back();
  EXPECT_EQ(rec.current(), RowPassword);
  EXPECT_EQ(rec.state(RowPassword), CustomRecording::Recorded);
  EXPECT_EQ(rec.click(kForm, 3), CustomRecording::Stored);
  EXPECT_EQ(rec.click(kForm, 4), CustomRecording::Stored);
  rec.skip(); // logged-in marker
  // A second element of the same text is not unique: the row waits.
  EXPECT_EQ(rec.click(kForm, 15), CustomRecording::NotUnique);
  EXPECT_EQ(rec.current(), RowLink1);
  // The picture's link has no text; the picture has an alt.
  EXPECT_EQ(rec.click(kForm, 6, 5), CustomRecording::Stored);
  rec.skip(); // link 2
  EXPECT_EQ(rec.click(kForm, 7), CustomRecording::Stored);
  EXPECT_EQ(rec.click(kForm, 8), CustomRecording::Stored);
  EXPECT_EQ(rec.click(kForm, 9), CustomRecording::Stored);
  EXPECT_EQ(rec.click(kForm, 10), CustomRecording::Stored);
  rec.edit(10, QStringLiteral("旅行"));
  rec.edit(9, QStringLiteral("not a field row"));
  EXPECT_EQ(rec.click(kForm, 11), CustomRecording::Stored);
  EXPECT_EQ(rec.click(kForm, 12), CustomRecording::Stored);
  rec.skip();
  rec.skip();
  // Back over a skipped row and skip it again; then the submit button.
  rec.back();
  EXPECT_EQ(rec.state(RowField5), CustomRecording::Skipped);
  rec.skip();
  EXPECT_EQ(rec.click(kForm, 13), CustomRecording::Stored);
  EXPECT_TRUE(rec.finished());
  EXPECT_EQ(rec.click(kForm, 1), CustomRecording::Ignored);
  // A new page forgets the fields of the old one.
  rec.pageChanged();
  rec.edit(10, QStringLiteral("後から"));

  CustomScript before;
  before.rows[RowLoggedIn] = CustomRow{"a", "3", "old", "1", ""};
  before.rows[RowField1 + 3] = CustomRow{"input", "1", "keep", "2", "x"};
  before.backAfterUpload = true;
  CustomRecording partial;
  partial.skip();
  partial.click(kForm, 2);
  const CustomScript kept = partial.applyTo(before, "taro", "pw");
  EXPECT_EQ(rowText(kept.rows[RowSignIn]), "|0||0|");
  EXPECT_EQ(rowText(kept.rows[RowUserId]), "input|1|uid|2|taro");
  EXPECT_EQ(rowText(kept.rows[RowLoggedIn]), "a|3|old|1|");

  const CustomScript s = rec.applyTo(before, "taro", "secret");
  const QStringList expected = {
      "a|3|サインイン|1|",
      "input|1|uid|2|taro",
      "input|1|pw|2|secret", // the page's value is never taken
      "input|2|入る|1|",
      "|0||0|",                // skipped, though the designer had it
      "img|4|管理|1|",
      "|0||0|",
      "input|1|thumb|1|",
      "input|1|up|3|",
      "input|1|fname|2|(*FileName*)",
      "select|1|cat|2|旅行",
      "input|1|pub|1|",
      "button|3|ファイルを選ぶ|1|",
      "|0||0|",
      "|0||0|",
      "input|2|送信|1|",
  };
  for (int r = 0; r < kCustomRowCount; ++r)
    EXPECT_EQ(rowText(s.rows[r]), expected[r]) << r;
  EXPECT_TRUE(s.backAfterUpload);

  // A browse row that is no file input is clicked.
  CustomRecording browse;
  for (int r = 0; r < RowBrowse; ++r)
    browse.skip();
  browse.click(kForm, 12);
  EXPECT_EQ(browse.row(RowBrowse).action, "1");
}

// --- recording on a real page ------------------------------------------

// Pages with decoys around the elements the recording wants, served by the
// generic fake blog beside its own pages; the login posts here, the upload
// goes to the blog's own handler, which records the bytes.
const std::map<std::string, std::string> kDecoyPages = {
    {"/d/top", "<p><a href=\"/d/help\">サインインの方法</a></p>\n"
               "<p><a href=\"/d/login\">サインイン</a></p>"},
    {"/d/login",
     "<form action=\"/d/help\"><input type=\"text\" name=\"user_id\">"
     "<input type=\"submit\" value=\"ログイン\"></form>\n"
     "<form method=\"post\" action=\"/d/login\">\n"
     "<p>ID <input type=\"text\" name=\"user_id\"></p>\n"
     "<p>パスワード <input type=\"password\" name=\"user_pw\"></p>\n"
     "<p><input type=\"submit\" name=\"do_login\" value=\"ログイン\"></p>"
     "</form>"},
    {"/d/home",
     "<p><a href=\"/d/help\">ファイル管理の説明</a></p>\n"
     "<p><button type=\"button\">詳細</button> "
     "<button type=\"button\" id=\"second\">詳細</button></p>\n"
     "<p><a href=\"/d/page1\"><img src=\"/img/login.png\" alt=\"ファイル管理\""
     " width=\"80\" height=\"24\"></a></p>"},
    {"/d/page1", "<p><a href=\"/d/help\">アップロード履歴</a></p>\n"
                 "<p><a href=\"/d/upload\">アップロード</a></p>"},
    {"/d/upload",
     "<form method=\"post\" action=\"/upload\" "
     "enctype=\"multipart/form-data\">\n"
     "<p><label><input type=\"checkbox\" name=\"make_thumb\" value=\"1\" "
     "checked> サムネイル</label></p>\n"
     "<p><input type=\"file\" name=\"upload_file\"></p>\n"
     "<p>タイトル <input type=\"text\" name=\"file_title\"></p>\n"
     "<p>コメント <input type=\"text\" name=\"comment\"></p>\n"
     "<p><label><input type=\"checkbox\" name=\"public\" value=\"1\"> 公開"
     "</label></p>\n"
     "<p><button type=\"button\">送信する</button> "
     "<input type=\"submit\" value=\"送信する\"></p></form>"},
    {"/d/help", "<p>ヘルプ</p>"},
};

class Recording : public ServiceRunTest {
protected:
  void SetUp() override {
    ServiceRunTest::SetUp();
    auto o = site.options();
    o.formAfterUpload = false;
    site.setOptions(o);
    site.server().Get(R"(/d/\w+)", [this](const httplib::Request &req,
                                          httplib::Response &res) {
      const std::string id = site.ensureSession(req, res);
      const auto page = kDecoyPages.find(req.path);
      if (page == kDecoyPages.end())
        return fake::FakeSite::html(res, "404", "", 404);
      const bool in = req.path == "/d/login" && site.isLoggedIn(id);
      fake::FakeSite::html(
          res, "decoy",
          in ? "<p><a href=\"/d/home\">管理画面へ</a></p>" : page->second);
    });
    site.server().Post("/d/login", [this](const httplib::Request &req,
                                          httplib::Response &res) {
      const std::string id = site.ensureSession(req, res);
      if (fake::FakeSite::field(req, "user_id") != "taro" ||
          fake::FakeSite::field(req, "user_pw") != "himitsu")
        return fake::FakeSite::html(res, "decoy", "<p>違います</p>");
      site.setLoggedIn(id, true);
      fake::FakeSite::redirect(res, "/d/home");
    });
    ASSERT_TRUE(site.start());
    setting(BlogUrl) = QString::fromStdString(site.url("/d/top"));
    setting(UserId) = "taro";
    setting(Password) = "himitsu";
    setting(Thumbnail) = "0";
  }
  void TearDown() override {
    if (browserLoaded())
      unloadBrowser();
    ServiceRunTest::TearDown();
    site.stop();
  }

  // A user's click on the page, and what the recorder made of it.
  // The engine drops input that comes before a fresh page's first paint;
  // like a user, the test clicks again when nothing happened.
  bool clickUntil(const QString &selector, const std::function<bool()> &done) {
    for (int n = 0; n < 8; ++n)
      if (userClick(web(), selector) && waitFor(done, 1000))
        return true;
    return false;
  }
  void click(const QString &selector, const QString &nextPage = {}) {
    const int before = rec->recording().current();
    ASSERT_TRUE(clickUntil(
        selector, [&] { return rec->recording().current() != before; }))
        << selector.toStdString() << ": " << rec->lblNote->text().toStdString();
    if (!nextPage.isEmpty())
      ASSERT_TRUE(waitForPage(web(), nextPage)) << nextPage.toStdString();
  }
  WebBrowser *web() { return rec->browser(); }

  fake::FakeGeneric site;
  RecorderWindow *rec = nullptr;
};

TEST_F(Recording, ClicksThroughADecoySiteThenTheScriptUploads) {
  frmCustom designer;
  designer.show();
  designer.cmdRecord->click();
  rec = designer.recorder();
  ASSERT_NE(rec, nullptr);
  ASSERT_TRUE(waitForPage(web(), "/d/top"));
  EXPECT_EQ(rec->txtUrl->text(), setting(BlogUrl));
  EXPECT_TRUE(rec->lblRow->text().contains(
      "サインインのリンクをクリックしてください"));

  click("a[href=\"/d/login\"]", "/d/login");
  click("form[method=post] input[name=user_id]");
  userType(web(), "taro");
  click("input[name=user_pw]");
  userType(web(), "himitsu");
  click("input[name=do_login]", "/d/home");
  EXPECT_TRUE(rec->lblRow->text().contains("ﾛｸﾞｲﾝ済："));
  rec->cmdSkip->click();

  // A button whose twin comes first cannot be found: the row waits.
  ASSERT_TRUE(clickUntil(
      "#second", [&] { return rec->lblNote->text().contains("絞れません"); }));
  EXPECT_EQ(rec->recording().current(), RowLink1);
  click("img", "/d/page1");
  click("a[href=\"/d/upload\"]", "/d/upload");
  click("input[name=make_thumb]");
  // The file input opens no chooser while recording.
  click("input[name=upload_file]");
  EXPECT_FALSE(web()->chooserOpen());
  for (QWidget *w : QApplication::topLevelWidgets())
    EXPECT_FALSE(qobject_cast<QFileDialog *>(w) && w->isVisible());
  click("input[name=file_title]");
  userType(web(), "photo.png");
  click("input[name=comment]");
  userType(web(), "memo ", "旅行");
  ASSERT_TRUE(waitFor([&] {
    return rec->recording().row(RowField1).value == "memo 旅行";
  }));
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
  EXPECT_TRUE(site.uploads().empty());

  rec->cmdEnd->click();
  ASSERT_TRUE(waitFor([&] { return designer.recorder() == nullptr; }));
  const QStringList expected = {
      "a|3|サインイン|1|",
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
      "input|2|送信する|1|",
  };
  const CustomScript s = designer.script();
  for (int r = 0; r < kCustomRowCount; ++r)
    EXPECT_EQ(rowText(s.rows[r]), expected[r]) << r;
  EXPECT_FALSE(QFile::exists(data.file("Custom.sdr")));

  designer.chkBack->setChecked(true);
  designer.cmdSave->click();
  ASSERT_TRUE(QFile::exists(data.file("Custom.sdr")));

  site.logOutAll();
  queueTwoFiles();
  LogCapture log;
  frmBrowser();
  StopRequested = false;
  EXPECT_TRUE(runCustomScript(scriptHostOf(window())))
      << log.lines().join("\n").toStdString();
  StopRequested = true;
  const auto got = byName(site.uploads());
  ASSERT_EQ(got.size(), 2u);
  for (const auto &f : files)
    EXPECT_EQ(got.at(f.first), f.second) << f.first.toStdString();
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  for (const auto &u : site.uploads()) {
    EXPECT_EQ(u.fields.at("file_title"), u.filename);
    EXPECT_EQ(u.fields.at("comment"), "memo 旅行");
  }
  // The boxes as the first form had them (a form the browser goes back to
  // keeps what the runner's clicks made of them).
  const auto &first = site.uploads()[0].fields;
  EXPECT_EQ(first.count("make_thumb"), 0u);
  EXPECT_EQ(first.count("public"), 1u);
  EXPECT_EQ(log.count("戻る開始"), 1);
}
} // namespace

int main(int argc, char **argv) { return runTestsWithApp(argc, argv); }
