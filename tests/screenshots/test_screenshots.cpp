// Every window on a real X server with the Japanese fonts: pictures for a
// reviewer, and no caption cut off.
#include "testsupport.h"

#include "browser/browserwindow.h"
#include "browser/manuallogin.h"
#include "core/services.h"
#include "core/settings.h"
#include "dialogs/accountdialog.h"
#include "dialogs/customdialog.h"
#include "dialogs/kihondialog.h"
#include "dialogs/optiondialog.h"
#include "dialogs/titledialog.h"
#include "dialogs/versiondialog.h"
#include "mainwindow/itemdialog.h"
#include "mainwindow/mainwindow.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

namespace {
// Captions that do not fit the room they were given, with what they need.
QStringList cutOff(QWidget *window) {
  QStringList bad;
  for (QWidget *w : window->findChildren<QWidget *>()) {
    QString text;
    if (auto *l = qobject_cast<QLabel *>(w); l && !l->wordWrap())
      text = l->text();
    else if (auto *b = qobject_cast<QAbstractButton *>(w))
      text = b->text();
    const QSize need = w->sizeHint();
    if (!text.isEmpty() && w->isVisibleTo(window) &&
        (need.width() > w->width() || need.height() > w->height()))
      bad << QStringLiteral("%1 \"%2\" needs %3x%4, has %5x%6")
                 .arg(w->objectName(), text)
                 .arg(need.width())
                 .arg(need.height())
                 .arg(w->width())
                 .arg(w->height());
  }
  return bad;
}

void shoot(QWidget *w, const QString &name) {
  w->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
  QTest::qWait(150);
  const QString file =
      testOutputFolder("screenshots") + QLatin1Char('/') + name + ".png";
  ASSERT_TRUE(w->grab().save(file)) << qPrintable(file);
  EXPECT_EQ(cutOff(w), QStringList()) << qPrintable(name);
}

TEST(Screenshots, EveryWindowWithEveryServicesOptions) {
  TempDataFolder data;
  setFastSettings();
  setting(UserId) = "taro";
  setting(Password) = "secret";
  setting(BlogUrl) = serviceTable()[SvcFc2].loginUrl;
  setting(HidePassword) = "1";
  KihonDialog d;
  shoot(&d, "frmKihon");
  const int services[] = {SvcAmeba,   SvcLivedoor, SvcNinja, SvcGoo,
                          SvcCocolog, SvcWebry,    SvcSonet};
  for (int s : services) {
    d.selectEntry(s + 1);
    QTest::qWait(50);
    EXPECT_EQ(cutOff(&d), QStringList()) << s;
  }
  shoot(&d, "frmKihon_sonet");
  d.selectEntry(SvcAmeba + 1);
  shoot(&d, "frmKihon_ameba");
  d.close();

  OptionDialog o;
  shoot(&o, "frmOption");

  writeFile(accountsPath(),
            QStringLiteral("FC2ブログ,太郎,パスワード\r\n"
                           "http://myblog.example.jp/,花子,pw\r\n")
                .toUtf8());
  AccountBlog = QStringLiteral("FC2ブログ");
  AccountUser = QStringLiteral("太郎");
  AccountPass = QStringLiteral("パスワード");
  AccountDialog a;
  shoot(&a, "frmAccount");

  setting(DlgTitle).clear();
  TitleDialog t;
  shoot(&t, "frmTitle");
  t.Label2->show();
  shoot(&t, "frmTitle_running");
  t.close();

  frmCustom c;
  shoot(&c, "frmCustom");
  frmVersion v;
  shoot(&v, "frmVersion");
  ItemDialog item(0);
  shoot(&item, "frmItem");
  ManualLoginDialog manual;
  shoot(&manual, "frmManual");
  BrowserWindow *b = frmBrowser();
  b->showProgress(1, 3);
  shoot(b, "frmBrowser");
  unloadBrowser();

  MainWindow w;
  w.loadWindow();
  w.appendLog(QStringLiteral("ブラウザを開く"));
  w.appendLog(QStringLiteral("FC2ブログで動作"));
  shoot(&w, "frmMain");
}
} // namespace

int main(int argc, char **argv) { return runTestsWithApp(argc, argv); }
