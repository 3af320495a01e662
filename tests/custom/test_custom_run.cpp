// The user-defined script end to end: the real main window, browser and
// file chooser against a blog that no built-in script knows; and the
// support visit against a fake support blog.
#include "servicerun.h"

#include "browser/browserwindow.h"
#include "core/itemlist.h"
#include "core/runstate.h"
#include "core/settings.h"
#include "core/textfile.h"
#include "dialogs/customdialog.h"
#include "dialogs/customwiring.h"
#include "dialogs/supportvisit.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/rundriver.h"
#include "scripts/customscript.h"
#include "scripts/skeleton.h"
#include "sites.h"

#include <QPushButton>

#include <algorithm>

#include <gtest/gtest.h>

namespace {
const QString kUnused = QStringLiteral("\t0\t\t0\t");

// Rows for the generic blog, all in use.
QStringList genericRows() {
  return {
      "a\t3\tサインイン\t1\t",
      "input\t1\tuser_id\t2\ttaro",
      "input\t1\tuser_pw\t2\thimitsu",
      "input\t2\tログイン\t1\t",
      "a\t3\t管理画面へ\t1\t",
      "a\t3\tファイル管理\t1\t",
      "a\t3\t 新規アップロード \t1\t", // blanks around the search text
      "input\t1\tmake_thumb\t1\t",
      "input\t1\tupload_file\t3\t",
      "input\t1\tfile_title\t2\t(*FileName*)",
      "input\t1\tcomment\t2\tコメント　です",
      "input\t1\ttags\t2\t旅行",
      "input\t1\tpublic\t1\t",
      "input\t1\tnot_on_the_page\t2\tx",
      kUnused,
      "input\t2\t送信する\t1\t",
  };
}

QStringList withFlag(QStringList rows, bool back) {
  rows << QStringLiteral("\t%1\t\t\t").arg(back ? 1 : 0);
  return rows;
}

class CustomRun : public ServiceRunTest {
protected:
  void SetUp() override {
    ServiceRunTest::SetUp();
    ASSERT_TRUE(site.start());
    ASSERT_TRUE(support.start());
    useAccount(QString::fromStdString(site.topUrl()), "taro", "himitsu");
    setting(UseCustom) = "1";
    setting(Thumbnail) = "0";
    site.logOutAll();
    savedHooks = runHooks();
    savedEnds = supportEndpoints();
    installCustomAndVersion(window());
    supportEndpoints() = SupportEndpoints{};
  }
  void TearDown() override {
    if (browserLoaded())
      unloadBrowser();
    runHooks() = savedHooks;
    supportEndpoints() = savedEnds;
    ServiceRunTest::TearDown();
    site.stop();
    support.stop();
  }
  // The support visit goes to the fake support blog and stays no time.
  void useSupportBlog() {
    supportEndpoints().topPage = QString::fromStdString(support.url("/"));
    supportEndpoints().entryPage =
        QString::fromStdString(support.url("/entry"));
    supportEndpoints().staySeconds = 0;
    setting(ShowAd) = "1";
  }
  void writeScript(const QStringList &lines) {
    writeTextLines(data.file("Custom.sdr"), lines);
  }
  // One pass of the runner alone, with the browser window open as the
  // driver would have it.
  bool runOnce() {
    frmBrowser();
    StopRequested = false;
    const bool ok = runCustomScript(scriptHostOf(window()));
    StopRequested = true;
    return ok;
  }

  const QStringList settle = {"ページ読込開始", "ページ切替待ち開始",
                              "ページ読込開始2"};
  fake::FakeGeneric site;
  fake::FakeSupport support;
  RunHooks savedHooks;
  SupportEndpoints savedEnds;
};
} // namespace

TEST_F(CustomRun, UploadsThroughEveryPageWithTheRowsOfTheFile) {
  useSupportBlog();
  writeScript(withFlag(genericRows(), false));
  queueTwoFiles();
  LogCapture log;
  startRun();

  expectAllReceivedAndMarked(site.uploads());
  for (const QString &l : listFileLines())
    EXPECT_TRUE(l.startsWith("済,")) << l.toStdString();

  // The form as the runner left it: the file's own name, the extra
  // fields, the thumbnail box unticked, the check box ticked.
  const auto all = site.uploads();
  EXPECT_EQ(all[1].fields.at("file_title"), "日本語の写真.png");
  EXPECT_EQ(all[0].fields.at("comment"), "コメント　です");
  EXPECT_EQ(all[0].fields.at("tags"), "旅行");
  EXPECT_EQ(all[0].fields.count("make_thumb"), 0u);
  EXPECT_EQ(all[0].fields.at("public"), "1");

  const QStringList l = log.lines();
  EXPECT_EQ(l.mid(0, 2), QStringList({"ブラウザを開く", "カスタム設定で動作"}));
  // In this order (the file chooser's own lines come in between).
  const QStringList steps = {"サインイン検索",
                             "サインイン押下",
                             "サインインへ移動完了",
                             "ログイン検索",
                             "ユーザー名入力",
                             "パスワード入力",
                             "ログイン押下",
                             "ログイン完了",
                             "経由ページ1移動完了",
                             "経由ページ2移動完了",
                             "アップロードページ検索",
                             "サムネイルのチェックを外す",
                             "参照ボタン押下",
                             "参照ボタン押下",
                             "ファイル名をセット",
                             "項目1をセット",
                             "項目2をセット",
                             "項目3をセット",
                             "項目4が見つかりませんでした",
                             "アップロード開始",
                             "ページ読込開始",
                             "ページ切替待ち開始",
                             "ページ読込開始2",
                             "アップロード完了"};
  int at = 0;
  for (const QString &step : steps) {
    const int next = l.indexOf(step, at);
    EXPECT_GE(next, at) << step.toStdString();
    at = std::max(at, next) + 1;
  }
  EXPECT_EQ(log.count("アップロード完了"), 2);
  EXPECT_FALSE(log.contains("戻る開始"));

  // A pass that ended normally is followed by the support visit.
  const int visit = l.indexOf("トップページの表示開始");
  EXPECT_GT(visit, l.lastIndexOf("アップロード完了"));
  EXPECT_TRUE(log.contains("広告リンクの押下完了"));
  EXPECT_EQ(support.adVisits(), 1);
  EXPECT_EQ(l.last(), "ブラウザを閉じる");
  EXPECT_TRUE(window()->Idle);
}

TEST_F(CustomRun, GoesBackBeforeEveryItemButTheFirstAndKnowsAnExistingLogin) {
  // The result page has no form: back is needed.
  site.set("formAfterUpload", false);
  QStringList rows = genericRows();
  rows[9] = "input\t1\tfile_title\t2\t (*FileName*)";
  writeScript(withFlag(rows, true));
  queueFiles({{"a.jpg", bytesFor(1, 3000)},
              {"b.jpg", bytesFor(2, 4000)},
              {"c.jpg", bytesFor(3, 5000)}});
  LogCapture log;
  EXPECT_TRUE(runOnce());
  ASSERT_EQ(site.uploads().size(), 3u);
  EXPECT_EQ(statuses(), QStringList({"済", "済", "済"}));
  // A blank before the placeholder makes it plain text.
  EXPECT_EQ(site.uploads()[0].fields.at("file_title"), " (*FileName*)");

  const QStringList l = log.lines();
  EXPECT_EQ(log.count("戻る開始"), 2);
  EXPECT_EQ(log.count("戻る完了"), 2);
  const int firstDone = l.indexOf("アップロード完了");
  EXPECT_LT(l.indexOf("アップロードページ検索"), firstDone);
  EXPECT_GT(l.indexOf("戻る開始"), firstDone);

  // The browser is still logged in: the "already logged in" row leads on,
  // and the form rows are not touched.
  log.clear();
  window()->items()->purgeDone(false);
  EXPECT_TRUE(runOnce());
  EXPECT_TRUE(log.contains("既にログインされている?"));
  EXPECT_TRUE(log.contains("ログイン済み押下"));
  EXPECT_TRUE(log.contains("ログイン済み移動完了"));
  EXPECT_FALSE(log.contains("ユーザー名入力"));
  EXPECT_EQ(site.uploads().size(), 6u);
  EXPECT_EQ(log.count("戻る開始"), 2);
}

TEST_F(CustomRun, TheDesignersFc2PresetRunsUnchanged) {
  for (const auto &o : std::map<std::string, std::string>{
           {"signInText", ""},
           {"userField", "id"},
           {"passwordField", "pass"},
           {"loginImageButton", "1"},
           {"loggedInText", "・ブログ管理画面へ"},
           {"link1Text", "ファイルアップロード"},
           {"link2Text", ""},
           {"thumbField", "upload[sumb]"},
           {"fileField", "upfile"},
           {"nameField", ""},
           {"textFields", ""},
           {"checkField", ""},
           {"submitText", "アップロード"}})
    site.set(o.first, o.second);
  setting(BlogUrl) = QString::fromStdString(site.loginUrl());
  {
    frmCustom designer;
    designer.cmdFc2->click();
    designer.cmdSave->click();
  }
  queueTwoFiles();
  LogCapture log;
  startRun();
  expectAllReceivedAndMarked(site.uploads());
  EXPECT_TRUE(log.contains("ログイン完了"));
  EXPECT_TRUE(log.contains("経由ページ1移動完了"));
  EXPECT_EQ(site.uploads()[0].fields.count("upload[sumb]"), 0u);
}

// A missing file ends the pass with its description before any page
// loads (a broken file takes the same branch; its descriptions are checked
// without a browser); a file with no row in use is no error; rows that
// cannot finish an upload or a login fail the pass. Nothing is marked.
TEST_F(CustomRun, MissingEmptyOrUnfinishableScriptsUploadNothing) {
  queueTwoFiles();
  LogCapture log;
  EXPECT_FALSE(runOnce());
  EXPECT_TRUE(log.containsStart("53:Custom.sdr が見つかりません"));
  EXPECT_TRUE(log.contains("エラーが発生しました。m(__)m"));
  EXPECT_TRUE(site.requests().empty());

  // A script with no row in use only opens the start page.
  writeScript(withFlag(QStringList(16, kUnused), false));
  log.clear();
  EXPECT_TRUE(runOnce());
  EXPECT_EQ(log.lines(),
            QStringList({"ブログ表示開始", "ブログ表示完了", "ページ読込開始",
                         "ページ切替待ち開始", "ページ読込開始2"}));

  // A submit row that only sets a value never completes an upload.
  QStringList rows = genericRows();
  rows[15] = "input\t5\tsubmit\t2\tx";
  writeScript(withFlag(rows, false));
  setting(RetryCount) = "2";
  log.clear();
  EXPECT_FALSE(runOnce());
  EXPECT_EQ(log.count("アップロード開始"), 2);
  EXPECT_TRUE(log.contains("リトライします(2)"));
  EXPECT_TRUE(log.contains("リトライしたが失敗"));
  EXPECT_TRUE(
      log.contains("エラーが発生しました。ログを確認してください。m(__)m"));
  EXPECT_TRUE(site.uploads().empty());
  EXPECT_EQ(statuses(), QStringList({"", ""}));

  // Without a login button row the login can never go through.
  log.clear();
  rows = genericRows();
  rows[0] = kUnused;
  rows[3] = kUnused;
  rows[4] = "a\t3\tnowhere\t1\t";
  writeScript(withFlag(rows, false));
  setting(BlogUrl) = QString::fromStdString(site.loginUrl());
  site.logOutAll();
  EXPECT_FALSE(runOnce());
  EXPECT_EQ(log.count("ユーザー名入力"), 2);
  EXPECT_FALSE(log.contains("ログイン押下"));
  EXPECT_TRUE(log.contains("リトライしたが失敗"));
}

// --- the support visit ------------------------------------------------------

// Without endpoints the visit does nothing at all. With them it opens the
// top and the entry page and clicks one anchor strictly between the
// markers, never a marker and never a link outside them; opted out, with
// nothing to click between the markers or markers side by side it clicks
// nothing, and missing markers are tried again.
TEST_F(CustomRun, SupportVisitClicksOnlyAnchorsBetweenTheMarkers) {
  LogCapture quiet;
  StopRequested = false;
  visitSupportAd();
  StopRequested = true;
  EXPECT_TRUE(quiet.lines().isEmpty());
  EXPECT_FALSE(browserLoaded());
  EXPECT_TRUE(support.requests().empty());

  useSupportBlog();
  setting(RetryCount) = "2";
  const QStringList opened =
      QStringList{"トップページの表示開始", "トップページの表示完了"}
      << settle << "エントリページの表示開始"
      << "エントリページの表示完了" << settle;
  const QStringList links = {"広告の開始･終了検索", "広告リンクの検索開始"};
  const QStringList missed =
      links + QStringList{"広告リンクが見つかりませんでした。"} << settle;
  const QStringList clicked =
      links + QStringList{"広告リンクの押下開始", "広告リンクの押下完了",
                          "ありがとうございました。m(__)m"}
      << settle;
  const QStringList noMarkers = {
      "広告の開始･終了検索", "広告の開始･終了が見つかりませんでした",
      "リトライします(2)", "広告の開始･終了が見つかりませんでした",
      "リトライしたが失敗"};
  const std::string ads = support.opt("between"); // three ad links
  const struct {
    std::string between;
    bool markers;
    bool optIn;
    QStringList after;
  } cases[] = {
      {ads,
       true,
       false,
       {"広告を表示してあげるがチェックされていません。",
        "気が向いたらチェックお願いします。m(__)m"}},
      {"<span>お知らせ</span><img src=\"/x.png\"><b>太字</b>", true, true,
       missed},
      {"", true, true, missed},
      {ads, true, true, clicked},
      {"<a href=\"/ad/1\">広告</a>", false, true, noMarkers},
  };
  for (const auto &c : cases) {
    support.set("between", c.between);
    support.set("markers", c.markers);
    support.clearRequests();
    setting(ShowAd) = c.optIn ? "1" : "0";
    LogCapture log;
    frmBrowser();
    StopRequested = false;
    visitSupportAd();
    StopRequested = true;
    EXPECT_EQ(log.lines(), opened + c.after);
    EXPECT_EQ(support.adVisits(), c.after == clicked ? 1 : 0);
    for (const auto &r : support.requests())
      EXPECT_NE(r.path, "/ad/outside");
  }
}

int main(int argc, char **argv) { return runTestsWithApp(argc, argv); }
