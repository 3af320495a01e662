// The settings dialogs and the start-up dialogs on the offscreen platform;
// the title test against the real test page and the real file chooser.
#include "modalscript.h"
#include "testsupport.h"

#include "browser/browserwindow.h"
#include "browser/webbrowser.h"
#include "core/itemlist.h"
#include "core/paths.h"
#include "core/runstate.h"
#include "core/services.h"
#include "core/settings.h"
#include "core/textfile.h"
#include "dialogs/accountdialog.h"
#include "dialogs/customdialog.h"
#include "dialogs/dialogs.h"
#include "dialogs/kihondialog.h"
#include "dialogs/optiondialog.h"
#include "dialogs/titledialog.h"
#include "scripts/customscript.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
QString u(const char *s) { return QString::fromUtf8(s); }

class DialogTest : public ::testing::Test {
protected:
  void SetUp() override { setFastSettings(); }
  void TearDown() override {
    overrideBrowserMajorVersion(QString());
    customDesignerHook() = nullptr;
  }
  // Shows the window and makes it the active one so that focus is real.
  static void activate(QWidget *w) {
    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
  }
  // OK refused with one message box; the window stays and the focus goes
  // back to the box that needs mending once the window is active again.
  void expectRefused(QWidget *window, QAbstractButton *ok, const QString &text,
                     QWidget *box) {
    const int before = modal.messages.size();
    ok->click();
    ASSERT_EQ(modal.messages.size(), before + 1) << qPrintable(text);
    EXPECT_EQ(modal.lastMessage(), text);
    const QWidget *f = window->focusWidget();
    EXPECT_TRUE(f &&
                (f == box || box->isAncestorOf(f) || f == box->focusProxy()))
        << qPrintable(box->objectName());
    EXPECT_TRUE(window->isVisible());
  }
  static QStringList savedLines() { return readTextLines(settingsPath()); }
  // The settings file holds every setting and these values among them.
  static void
  expectSaved(std::initializer_list<std::pair<SettingId, QString>> want) {
    const QStringList saved = savedLines();
    ASSERT_EQ(saved.size(), int(SettingCount));
    for (const auto &[id, value] : want)
      EXPECT_EQ(saved[id], value) << id;
  }
  // The account the blog settings and the account list hand each other.
  static void exchange(const QString &blog, const QString &user,
                       const QString &pass) {
    AccountBlog = blog;
    AccountUser = user;
    AccountPass = pass;
  }
  // Plays the user at start-up, keeping the names of the windows shown:
  // the blog settings get an FC2 account, the title test ends as it stands.
  void answerStartup(QStringList &shown) {
    modal.onWindow = [&shown](QWidget *w) {
      shown << w->objectName();
      if (auto *k = qobject_cast<KihonDialog *>(w)) {
        EXPECT_TRUE(k->chkFilter->isChecked()) << "the password starts hidden";
        k->selectEntry(SvcFc2 + 1);
        k->txtUser->setText("taro");
        k->txtPass->setText("pw");
        k->cmdOK->click();
      } else if (auto *t = qobject_cast<TitleDialog *>(w)) {
        t->Command1->click();
      }
      return true;
    };
  }
  static QStringList lines(const QVector<AccountRow> &rows) {
    QStringList out;
    for (const AccountRow &r : rows)
      out << r.blog + "," + r.user + "," + r.password;
    return out;
  }
  TempDataFolder data;
  ModalScript modal;
};

// Names of the service-dependent controls that are enabled.
QStringList enabledOptions(const KihonDialog &d) {
  QStringList on;
  for (QWidget *w : std::initializer_list<QWidget *>{
           d.chkThumbnail, d.lblTool, d.txtTool, d.lblDir, d.txtDir, d.chkOver,
           d.chkCheck, d.chkList, d.optGooOn, d.optGooOff, d.optGooGaz,
           d.optCocolog[0], d.optCocolog[1], d.chkFc2OverWrt, d.txtFc2OverTtl})
    if (w->isEnabled())
      on << w->objectName();
  return on;
}

TEST_F(DialogTest, EachServiceEnablesItsOwnOptions) {
  // service: the options it enables, in the order enabledOptions lists them
  const std::pair<int, const char *> rows[] = {
      {SvcFc2,
       "chkThumbnail chkOver chkCheck chkList chkFc2OverWrt txtFc2OverTtl"},
      {SvcAmeba, "optGooOn optGooOff optGooGaz"},
      {SvcLivedoor,
       "chkThumbnail lblTool txtTool lblDir txtDir chkCheck chkList"},
      {SvcSeesaa, "lblTool txtTool lblDir txtDir"},
      {SvcRakuten, "lblTool txtTool chkList"},
      // overwrite unticked: checking is off, the list on
      {SvcNinja, "lblTool txtTool chkOver chkList"},
      {SvcDti, "chkThumbnail chkCheck"},
      {SvcCsc, ""},
      {SvcGoo, "optGooOn optGooOff"},
      // photo album chosen: the album's name, not the folder
      {SvcCocolog, "lblTool txtTool optCocolog0 optCocolog1"},
      {SvcJugem, "chkThumbnail chkList"},
      {SvcWebry, "lblDir txtDir chkOver chkList"},
      {SvcSonet, "lblTool txtTool optCocolog0 optCocolog1"},
  };
  ASSERT_EQ(std::size(rows), size_t(ServiceCount));
  setting(CocologTarget) = "0";
  for (const auto &[service, enabled] : rows) {
    // Coming from livedoor shows that nothing of the previous choice stays.
    KihonDialog d;
    d.selectEntry(SvcLivedoor + 1);
    d.selectEntry(service + 1);
    EXPECT_EQ(enabledOptions(d).join(' '), u(enabled))
        << qPrintable(serviceTable()[service].displayName);
  }
}

TEST_F(DialogTest, LoadShowsTheStoredBlogAndAccount) {
  setting(BlogUrl) = serviceTable()[SvcFc2].loginUrl;
  setting(UserId) = "taro";
  setting(Password) = "秘密";
  setting(Thumbnail) = "0";
  setting(HidePassword) = "1";
  {
    KihonDialog d;
    EXPECT_EQ(d.Combo1->currentIndex(), SvcFc2 + 1);
    EXPECT_EQ(d.Combo1->itemText(0), setting(BlogUrl));
    EXPECT_EQ(d.txtUser->text(), "taro");
    EXPECT_EQ(d.txtPass->text(), u("秘密"));
    EXPECT_FALSE(d.chkThumbnail->isChecked());
    EXPECT_EQ(d.txtPass->echoMode(), QLineEdit::Password);
    EXPECT_EQ(d.txtPass->style()->styleHint(
                  QStyle::SH_LineEdit_PasswordCharacter, nullptr, d.txtPass),
              '*');
    d.chkFilter->click();
    EXPECT_EQ(d.txtPass->echoMode(), QLineEdit::Normal);
  }

  // An address of the user's own stays entry 0 and its service's options
  // come on.
  setting(BlogUrl) = "http://myblog.ninja.example.jp/";
  setting(OverWrite) = "1";
  KihonDialog d;
  EXPECT_EQ(d.Combo1->currentIndex(), 0);
  EXPECT_EQ(d.Combo1->currentText(), setting(BlogUrl));
  // Ninja: overwriting leaves no room for the URL list; unticking swaps
  for (const bool over : {true, false, true}) {
    EXPECT_EQ(d.chkCheck->isEnabled(), over);
    EXPECT_EQ(d.chkList->isEnabled(), !over);
    d.chkOver->click();
  }
}

TEST_F(DialogTest, AmebaAndCocologOptionSteps) {
  setting(BlogUrl) = serviceTable()[SvcAmeba].loginUrl;
  setting(CocologTarget) = "0";
  KihonDialog d;
  // the option step ran after the blog selection at load
  EXPECT_FALSE(d.optGooOn->isEnabled());
  EXPECT_FALSE(d.txtTool->isEnabled());
  EXPECT_TRUE(d.chkList->isEnabled());
  d.selectEntry(SvcAmeba + 1);
  EXPECT_TRUE(d.optGooOn->isEnabled());

  // Cocolog: the photo album wants the album, the control panel a folder,
  // on the service's entry and on an address of the user's own.
  auto target = [&](int which, bool album) {
    d.optCocolog[which]->click();
    EXPECT_EQ(d.txtTool->isEnabled(), album) << which;
    EXPECT_EQ(d.txtDir->isEnabled(), !album) << which;
  };
  d.selectEntry(SvcCocolog + 1);
  target(1, false);
  target(0, true);
  d.Combo1->setItemText(0, "http://someone.cocolog-nifty.com/blog/");
  d.selectEntry(0);
  target(1, false);
}

TEST_F(DialogTest, ManualLoginAndCustomScriptTicks) {
  KihonDialog d;
  d.selectEntry(SvcFc2 + 1);
  d.txtUser->setText("taro");
  d.txtPass->setText("pw");
  d.chkManual->click();
  EXPECT_TRUE(d.txtUser->text().isEmpty());
  EXPECT_TRUE(d.txtPass->text().isEmpty());
  EXPECT_FALSE(d.txtUser->isEnabled());
  EXPECT_FALSE(d.txtPass->isEnabled());
  d.chkManual->click();
  EXPECT_EQ(d.txtUser->text(), "taro");
  EXPECT_EQ(d.txtPass->text(), "pw");
  EXPECT_TRUE(d.txtPass->isEnabled());

  // With manual login the empty boxes pass OK.
  d.chkManual->click();
  d.cmdOK->click();
  EXPECT_TRUE(modal.messages.isEmpty());
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(setting(ManualLogin), "1");
  EXPECT_EQ(setting(BlogUrl), serviceTable()[SvcFc2].loginUrl);

  // Loading with manual login set opens with the boxes off; the custom
  // script's designer opens only when the user ticks it.
  int opened = 0;
  customDesignerHook() = [&](QWidget *) { ++opened; };
  setting(UseCustom) = "1";
  KihonDialog again;
  EXPECT_FALSE(again.txtUser->isEnabled());
  EXPECT_TRUE(again.chkManual->isChecked());
  EXPECT_TRUE(again.chkCustom->isChecked());
  EXPECT_EQ(opened, 0);
  again.chkCustom->click(); // off
  again.chkCustom->click(); // on
  EXPECT_EQ(opened, 1);
  // choosing a blog turns the custom script off
  again.selectEntry(SvcFc2 + 1);
  EXPECT_FALSE(again.chkCustom->isChecked());
}

TEST_F(DialogTest, OkChecksInOrderAndFocusesTheBox) {
  KihonDialog d;
  activate(&d);
  auto pressOk = [&](const char *message, QWidget *box) {
    expectRefused(&d, d.cmdOK, u(message), box);
  };

  d.Combo1->setEditText("   ");
  pressOk("ブログを選択してください。", d.Combo1);
  EXPECT_EQ(d.Combo1->currentIndex(), 0);
  d.selectEntry(SvcFc2 + 1);
  pressOk("ユーザーIDを入力してください。", d.txtUser);
  d.txtUser->setText("taro");
  pressOk("パスワードを入力してください。", d.txtPass);
  d.txtPass->setText("pw");
  d.chkFc2OverWrt->click();
  d.txtFc2OverTtl->setText("  ");
  pressOk("確認メッセージの画面タイトルを入力してください。", d.txtFc2OverTtl);
  d.chkFc2OverWrt->click();

  // The name is asked for exactly when the service chosen now needs it.
  d.selectEntry(SvcNinja + 1);
  pressOk("入力してください。", d.txtTool);
  d.selectEntry(SvcSonet + 1);
  pressOk("入力してください。", d.txtTool);
  d.selectEntry(SvcCocolog + 1);
  d.optCocolog[0]->click();
  pressOk("入力してください。", d.txtTool);
  EXPECT_TRUE(setting(BlogUrl).isEmpty()) << "nothing stored before OK passes";

  d.optCocolog[1]->click();
  d.txtDir->setText("写真");
  d.cmdOK->click();
  EXPECT_EQ(d.result(), QDialog::Accepted);
  expectSaved({{BlogUrl, serviceTable()[SvcCocolog].loginUrl},
               {UserId, "taro"},
               {DirName, u("写真")},
               {CocologTarget, "1"}});
}

TEST_F(DialogTest, NameCheckLooksAtTheChoiceMadeNow) {
  setting(UserId) = "taro";
  setting(Password) = "pw";
  const struct {
    int stored, chosen;
    const char *tool;
    bool fc2Overwrite;
  } cases[] = {
      // from Ninja to FC2, the name box disabled
      {SvcNinja, SvcFc2, "", false},
      {SvcFc2, SvcNinja, "日記", false},
      // FC2's overwrite ticked without a caption is not asked for once
      // another service is chosen: its box is disabled
      {SvcFc2, SvcJugem, "", true},
  };
  for (const auto &c : cases) {
    setting(BlogUrl) = serviceTable()[c.stored].loginUrl;
    setting(Fc2OverWrt) = c.fc2Overwrite ? "1" : "0";
    setting(Fc2OverTitle) = "";
    KihonDialog d;
    d.selectEntry(c.chosen + 1);
    d.txtTool->setText(u(c.tool));
    d.cmdOK->click();
    EXPECT_EQ(d.result(), QDialog::Accepted) << c.stored << " to " << c.chosen;
  }
}

TEST_F(DialogTest, FocusSelectsTheWholeText) {
  KihonDialog k;
  k.selectEntry(SvcSeesaa + 1);
  OptionDialog o;
  for (QLineEdit *box :
       {k.txtUser, k.txtPass, k.txtTool, k.txtDir, o.txtDlgTtl1}) {
    activate(box->window());
    box->setText(u("全部選ぶ"));
    box->setFocus();
    QTest::qWait(20);
    EXPECT_EQ(box->selectedText(), u("全部選ぶ"))
        << qPrintable(box->objectName());
  }
}

// A mouse click on a row, as the user makes it.
void clickRow(QTableWidget *grid, int row) {
  const QRect cell = grid->visualRect(grid->model()->index(row, 0));
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

TEST_F(DialogTest, AccountFileRoundTripAndCancel) {
  const QString file = accountsPath();
  // a short line reads with empty cells; pieces past the third are dropped
  writeFile(file, u("FC2ブログ,太郎,パス\r\n\r\nhttp://x.jugem.jp/,id\r\n"
                    "a,b,c,d\r\n")
                      .toUtf8());
  exchange({}, {}, {});
  {
    AccountDialog d;
    EXPECT_EQ(lines(d.rows()),
              QStringList({u("FC2ブログ,太郎,パス"), "http://x.jugem.jp/,id,",
                           "a,b,c"}));
    // Cancel drops additions, updates and deletions.
    d.Combo1->setCurrentIndex(SvcGoo + 1);
    d.txtUser->setText("new");
    d.cmdAdd->click();
    d.mfgList->setCurrentCell(0, 0);
    d.cmdDel->click();
    d.cmdCancel->click();
    EXPECT_TRUE(AccountCancel);
  }
  EXPECT_EQ(readAccounts(file).size(), 3);

  {
    AccountDialog d;
    // a comma cannot be kept in the file: refused, nothing added
    d.Combo1->setCurrentIndex(SvcFc2 + 1);
    d.txtUser->setText(u("花子"));
    d.txtPass->setText("p,w");
    d.cmdAdd->click();
    EXPECT_EQ(d.mfgList->rowCount(), 3);
    ASSERT_EQ(modal.messages.size(), 1);
    EXPECT_TRUE(modal.lastMessage().contains(u("カンマ")));

    d.txtPass->setText(u("ぱすわーど"));
    d.cmdAdd->click();
    d.mfgList->setCurrentCell(2, 0);
    d.txtUser->setText(u("更新後"));
    d.cmdUpd->click();
    d.mfgList->setCurrentCell(1, 0);
    d.cmdDel->click();
    d.mfgList->setCurrentCell(2, 0); // the added row, now third
    d.cmdOK->click();
    EXPECT_FALSE(AccountCancel);
    EXPECT_EQ(QStringList({AccountBlog, AccountUser, AccountPass}),
              QStringList({u("FC2ブログ"), u("花子"), u("ぱすわーど")}));
  }
  EXPECT_EQ(
      QString::fromUtf8(readFile(file)),
      u("FC2ブログ,太郎,パス\r\na,更新後,c\r\nFC2ブログ,花子,ぱすわーど\r\n"));
  EXPECT_EQ(QFile(file).permissions() & 0x0077, 0) << "for the owner only";
}

TEST_F(DialogTest, AccountPreselectAndOkRules) {
  const QStringList taro = {u("FC2ブログ"), u("太郎"), u("パス")};
  writeFile(accountsPath(), (taro.join(',') + "\r\n").toUtf8());
  exchange(taro[0], taro[1], taro[2]);
  {
    AccountDialog d;
    EXPECT_EQ(d.mfgList->currentRow(), 0);
    // OK right away hands back this very account
    d.cmdOK->click();
    EXPECT_FALSE(AccountCancel);
    EXPECT_EQ(QStringList({AccountBlog, AccountUser, AccountPass}), taro);
  }
  {
    // Edited boxes without Update: handed back, the file keeps the row.
    AccountDialog d;
    d.txtPass->setText("changed");
    d.cmdOK->click();
    EXPECT_EQ(AccountPass, "changed");
  }
  EXPECT_EQ(lines(readAccounts(accountsPath())), QStringList{taro.join(',')});

  // No matching row: the boxes take the exchanged values.
  exchange("http://mine.example/", "me", "x");
  AccountDialog d;
  EXPECT_EQ(d.Combo1->currentText(), "http://mine.example/");
  EXPECT_EQ(d.txtUser->text(), "me");
  // no row is selected: update and delete leave the accounts alone
  d.cmdUpd->click();
  d.cmdDel->click();
  EXPECT_EQ(lines(d.rows()), QStringList{taro.join(',')});
  // Deleting the only row leaves an empty grid; OK then counts as
  // cancelling and still writes the (empty) file.
  d.mfgList->setCurrentCell(0, 0);
  d.cmdDel->click();
  EXPECT_EQ(d.mfgList->rowCount(), 0);
  d.cmdOK->click();
  EXPECT_TRUE(AccountCancel);
  EXPECT_TRUE(QFile::exists(accountsPath()));
  EXPECT_TRUE(readAccounts(accountsPath()).isEmpty());
}

TEST_F(DialogTest, IdButtonExchangesTheAccount) {
  writeFile(accountsPath(),
            u("http://myblog.example.jp/,taro,pw1\r\nFC2ブログ,花子,pw2\r\n")
                .toUtf8());
  setting(ManualLogin) = "0";
  KihonDialog d;
  d.selectEntry(SvcFc2 + 1);
  int pick = 0;
  modal.onWindowOf<AccountDialog>([&](AccountDialog *a) {
    if (pick >= 0)
      clickRow(a->mfgList, pick);
    (pick >= 0 ? a->cmdOK : a->cmdCancel)->click();
  });
  // an account on an address of the user's own replaces entry 0
  d.Command1->click();
  EXPECT_EQ(d.Combo1->currentIndex(), 0);
  EXPECT_EQ(d.Combo1->itemText(0), "http://myblog.example.jp/");
  EXPECT_EQ(d.txtUser->text(), "taro");
  EXPECT_EQ(d.txtPass->text(), "pw1");

  pick = 1;
  d.Command1->click();
  EXPECT_EQ(d.Combo1->currentIndex(), SvcFc2 + 1);
  EXPECT_EQ(d.txtUser->text(), u("花子"));
  EXPECT_TRUE(d.chkOver->isEnabled()) << "FC2's options are on";
  // Cancel in the list changes nothing
  pick = -1;
  d.Command1->click();
  EXPECT_EQ(d.txtUser->text(), u("花子"));
}

TEST_F(DialogTest, OptionsTitleTestValidateStoreAndResetPositions) {
  setting(MainTop) = "1200";
  setting(BrowserWidth) = "6000";
  setting(SaveWindowPos) = "1";
  OptionDialog d;
  EXPECT_TRUE(d.chkView->isChecked());
  d.txtDlgTtl1->setText(u("開く"));
  bool disabledMeanwhile = false;
  modal.onWindowOf<TitleDialog>([&](TitleDialog *t) {
    disabledMeanwhile = !d.isEnabled() && !d.cmdOK->isEnabled();
    // the caption typed in the options is what the test starts from
    EXPECT_TRUE(t->Option2->isChecked());
    t->Option4->click();
    t->Text1->setText(u("独自の題"));
    t->Command1->click();
  });
  d.Command1->click();
  EXPECT_TRUE(disabledMeanwhile);
  EXPECT_TRUE(d.isEnabled());
  EXPECT_EQ(d.txtDlgTtl1->text(), u("独自の題"));
  EXPECT_EQ(setting(DlgTitle), u("独自の題"));
  EXPECT_TRUE(savedLines().isEmpty()) << "saved only by OK";
  activate(&d);

  // letters anywhere; a count that makes no whole attempt; a time-out that
  // ends or never ends a page wait
  const std::pair<QLineEdit *, const char *> refused[] = {
      {d.txtLogin, "abc"}, {d.txtUpPage, "abc"}, {d.txtUpLoad, "abc"},
      {d.txtRetry, "abc"}, {d.txtRetry, "0"},    {d.txtRetry, "-1"},
      {d.txtRetry, "2.5"}, {d.txtTOut, "abc"},   {d.txtTOut, "0"},
      {d.txtTOut, "-3"}};
  for (const auto &[box, bad] : refused) {
    SCOPED_TRACE(bad);
    const QString was = box->text();
    box->setText(bad);
    expectRefused(&d, d.cmdOK, u("数値を入力"), box);
    box->setText(was);
  }
  d.txtSecTtl1->setText("   ");
  expectRefused(&d, d.cmdOK, u("文字を入力"), d.txtSecTtl1);
  EXPECT_EQ(setting(MainTop), "1200") << "nothing stored before OK passes";

  d.txtSecTtl1->setText(u(" 警告 "));
  d.txtLogin->setText("1.5");
  d.chkView->click();
  d.chkAuto->click();
  d.cmdOK->click();
  EXPECT_EQ(d.result(), QDialog::Accepted);
  expectSaved({{LoginWait, "1.5"},
               {SecTitle, u(" 警告 ")},
               {AutoRetry, "1"},
               {SaveWindowPos, "0"}});
  for (SettingId id : {MainTop, MainLeft, MainWidth, MainHeight, BrowserTop,
                       BrowserLeft, BrowserWidth, BrowserHeight})
    EXPECT_EQ(savedLines()[id], "0") << id;

  // Cancel stores nothing
  OptionDialog c;
  c.txtLogin->setText("99");
  c.cmdCancel->click();
  EXPECT_EQ(setting(LoginWait), "1.5");
}

// The engine's version picks the file chooser's caption that the title test
// starts from, and the caption of the overwrite confirmation FC2 proposes.
TEST_F(DialogTest, TitleTestPreselectionAndOverwriteCaption) {
  struct Case {
    QString stored, version;
    QString checked, text, overwrite;
  } cases[] = {
      {"", engineMajorVersion(), "Option4", u("ファイルの選択"),
       u(kScriptDialogCaption)},
      {"", "7", "Option2", u("開く"), "Windows Internet Explorer"},
      {"", "8", "Option3", u("アップロードするファイルの選択"),
       u(kScriptDialogCaption)},
      {u("開く"), "6", "Option2", u("開く"), "Microsoft Internet Explorer"},
      // a stored caption holds whatever the version
      {u("別の題"), "9", "Option4", u("別の題"), ""},
  };
  ASSERT_FALSE(engineMajorVersion().isEmpty());
  for (const Case &c : cases) {
    overrideBrowserMajorVersion(c.version);
    KihonDialog k;
    k.selectEntry(SvcFc2 + 1);
    k.txtFc2OverTtl->clear();
    k.chkFc2OverWrt->click();
    EXPECT_EQ(k.txtFc2OverTtl->text(), c.overwrite) << qPrintable(c.version);

    setting(DlgTitle) = c.stored;
    TitleDialog t;
    for (QRadioButton *o : {t.Option1, t.Option2, t.Option3, t.Option4})
      EXPECT_EQ(o->isChecked(), o->objectName() == c.checked)
          << qPrintable(c.stored + "/" + c.version + " " + o->objectName());
    EXPECT_EQ(t.Text1->text(), c.text);
    EXPECT_EQ(setting(DlgTitle), c.text);
    EXPECT_EQ(t.Text1->isEnabled(), c.checked == "Option4");
  }
  TitleDialog t;
  // ④ with nothing typed: the prompt, and the window stays
  TitleTestDone = false;
  t.show();
  t.Text1->setText("  ");
  t.Command1->click();
  EXPECT_EQ(modal.lastMessage(),
            u("ファイルダイアログ画面の左上のタイトルを入力してください"));
  EXPECT_FALSE(TitleTestDone);
  EXPECT_TRUE(t.isVisible());
  t.Option2->click();
  t.Command1->click();
  EXPECT_TRUE(TitleTestDone);
  EXPECT_EQ(setting(DlgTitle), u("開く"));
  EXPECT_FALSE(t.isVisible());

  // Closing the window ends the wait too and keeps the caption.
  TitleTestDone = false;
  modal.onWindowOf<TitleDialog>([](TitleDialog *w) { w->close(); });
  runTitleTest(nullptr);
  EXPECT_TRUE(TitleTestDone);
  EXPECT_EQ(setting(DlgTitle), u("開く"));
}

TEST_F(DialogTest, TitleTestFindsTheRealChooserOnTheRealPage) {
  ASSERT_TRUE(QFile::exists(titleTestPage())) << qPrintable(titleTestPage());
  TitleDialog t;
  t.show();
  // Without the page beside the program both tests say where it belongs.
  QTemporaryDir empty;
  const QString before = programFolder();
  setProgramFolder(empty.path());
  t.Command2->click();
  t.Command3->click();
  setProgramFolder(before);
  ASSERT_EQ(modal.messages.size(), 2);
  for (const QString &m : modal.messages) {
    EXPECT_TRUE(m.startsWith(u("動作確認用ページ(※)が見つかりません。\n(※") +
                             empty.path() + "/DlgTest/DlgTest.html)\n"));
    EXPECT_TRUE(
        m.endsWith(u("Sendora.exeがあるフォルダ内にコピーしてください。")));
  }
  EXPECT_FALSE(browserLoaded());

  modal.messages.clear();
  t.Option1->click();
  t.Command2->click();
  ASSERT_FALSE(modal.messages.isEmpty());
  EXPECT_EQ(
      modal.lastMessage(),
      u("ファイルダイアログが見つかりました。\n正しく設定されています。"));
  EXPECT_EQ(DlgRequest, 0);
  EXPECT_EQ(setting(DlgTitle), u("ファイルの選択"));
  EXPECT_FALSE(browserLoaded()) << "the browser window is closed afterwards";
  EXPECT_TRUE(StopRequested) << "the idle stop flag is back";
  EXPECT_TRUE(t.Command1->isEnabled());
  EXPECT_FALSE(t.Label2->isVisible());

  // A wrong caption: not found, and the click still comes back.
  modal.messages.clear();
  // part of the title test's own caption: its window is never the dialog
  t.Option4->click();
  t.Text1->setText(u("ファイルダイアログ"));
  t.Command2->click();
  ASSERT_EQ(modal.messages.size(), 1);
  EXPECT_EQ(modal.lastMessage(),
            u("ファイルダイアログが見つかりませんでした。\n"
              "ファイルダイアログ画面左上のタイトルと\n"
              "同じ文字列を選択するか、入力してください。m(__)m"));
  EXPECT_EQ(DlgRequest, -1);
  EXPECT_EQ(t.Text1->text(), u("ファイルダイアログ"));
  EXPECT_EQ(QApplication::activeModalWidget(), &t) << "no chooser left open";

  // Show mode: a chooser the user leaves open is closed by the timer.
  bool chooserSeen = false;
  modal.onWindow = [&](QWidget *w) {
    if (qobject_cast<QFileDialog *>(w))
      chooserSeen = w->windowTitle() == u(kFileChooserCaption);
    return true; // left open for the timer
  };
  modal.messages.clear();
  t.Option1->click();
  t.Timer1->setInterval(1500);
  t.Command3->click();
  EXPECT_TRUE(chooserSeen);
  ASSERT_GE(modal.messages.size(), 1);
  EXPECT_TRUE(modal.messages[0].startsWith(
      u("これからファイルダイアログ画面が開かれます。\n")));
  EXPECT_FALSE(t.Timer1->isActive());
  EXPECT_FALSE(browserLoaded());
}

// A socket node at the path: it is there, nobody can open it (not even
// root, whom permissions do not stop) and a rename can still replace it.
void makeUnreadable(const QString &path) {
  sockaddr_un a{};
  a.sun_family = AF_UNIX;
  const QByteArray p = QFile::encodeName(path);
  ASSERT_LT(size_t(p.size()), sizeof a.sun_path);
  memcpy(a.sun_path, p.constData(), p.size());
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a), 0);
  ::close(fd);
}

TEST_F(DialogTest, UnreadableDataFilesAreReportedAndKept) {
  const QString ini = settingsPath(), list = data.file("Default.sdr"),
                custom = data.file("Custom.sdr");
  for (const QString &f : {ini, list, custom})
    makeUnreadable(f);
  ASSERT_TRUE(QDir().mkdir(accountsPath())); // a folder of the file's name
  auto toldAbout = [](const QString &message, const QString &path) {
    return message.startsWith(path + u(" を読み込めません("));
  };
  QStringList shown;
  answerStartup(shown);

  // Not a first start: no blog settings, the user told, the file kept.
  clearSettings();
  loadSettings(ini, WorkArea{28800, 16200}, startupSettingsHooks());
  EXPECT_EQ(shown, QStringList({"frmTitle"}));
  ASSERT_EQ(modal.messages.size(), 1);
  EXPECT_TRUE(toldAbout(modal.messages[0], ini))
      << qPrintable(modal.messages[0]);
  EXPECT_EQ(setting(RetryCount), "3") << "the defaults apply";
  EXPECT_FALSE(saveSettings(ini));

  LogCapture log;
  ItemListModel model;
  model.appendItems({"/x/a.jpg"}, 0);
  EXPECT_FALSE(loadItemList(model, list));
  EXPECT_EQ(model.itemCount(), 1);
  ASSERT_EQ(log.lines().size(), 1);
  EXPECT_TRUE(toldAbout(log.lines()[0], list));
  EXPECT_FALSE(saveItemList(model, list));

  // The account list still hands back a choice; the folder stays.
  exchange(u("FC2ブログ"), "taro", "pw");
  {
    AccountDialog d;
    ASSERT_EQ(modal.messages.size(), 2);
    EXPECT_TRUE(toldAbout(modal.messages[1], accountsPath()));
    d.cmdAdd->click();
    d.mfgList->setCurrentCell(0, 0);
    d.cmdOK->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_FALSE(AccountCancel);
  }
  EXPECT_TRUE(QFileInfo(accountsPath()).isDir());

  CustomScript script;
  CustomScriptError e;
  EXPECT_FALSE(loadCustomScript(custom, script, &e));
  EXPECT_TRUE(toldAbout(e.description, custom)) << qPrintable(e.description);
  {
    frmCustom d;
    ASSERT_EQ(modal.messages.size(), 3);
    EXPECT_TRUE(toldAbout(modal.messages[2], custom));
    EXPECT_FALSE(d.saveFile());
  }
  for (const QString &f : {ini, list, custom})
    EXPECT_TRUE(QFileInfo(f).exists() && !QFileInfo(f).isFile())
        << qPrintable(f);

  // Once the file reads again it may be replaced.
  QFile::remove(list);
  writeFile(list, "0,/x/b.jpg,0\r\n");
  EXPECT_TRUE(loadItemList(model, list));
  EXPECT_TRUE(saveItemList(model, list));
}

TEST_F(DialogTest, FirstStartLeadsToAConfiguredAccount) {
  clearSettings();
  QStringList order;
  answerStartup(order);
  loadSettings(settingsPath(), WorkArea{28800, 16200}, startupSettingsHooks());
  EXPECT_EQ(order, QStringList({"frmKihon", "frmTitle"}));
  ASSERT_FALSE(modal.messages.isEmpty());
  EXPECT_EQ(modal.messages[0], u("基本情報を設定してください。"));
  EXPECT_EQ(setting(ShowAd), "1");
  // the defaults, not empty boxes read as "off" or "video"; FC2's
  // thumbnail on unless the user said otherwise
  expectSaved({{BlogUrl, serviceTable()[SvcFc2].loginUrl},
               {UserId, "taro"},
               {Password, "pw"},
               {HidePassword, "1"},
               {CheckUpload, "1"},
               {GooSize, "0"},
               {CocologTarget, "0"},
               {Thumbnail, "1"}});

  // The next start shows nothing: the file is there and a caption known.
  saveSettings(settingsPath());
  order.clear();
  modal.messages.clear();
  loadSettings(settingsPath(), WorkArea{28800, 16200}, startupSettingsHooks());
  EXPECT_TRUE(order.isEmpty());
  EXPECT_TRUE(modal.messages.isEmpty());
  EXPECT_EQ(setting(UserId), "taro");
}

} // namespace

int main(int argc, char **argv) { return runTestsWithApp(argc, argv); }
