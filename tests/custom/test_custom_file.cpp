// The user-defined script's file and element finder, its designer and the
// version dialog, without a browser.
#include "testsupport.h"

#include "core/paths.h"
#include "core/settings.h"
#include "core/textfile.h"
#include "dialogs/customdialog.h"
#include "dialogs/supportvisit.h"
#include "dialogs/versiondialog.h"
#include "scripts/customscript.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEnterEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStringEncoder>

#include <gtest/gtest.h>

namespace {

QString customPath() { return dataFile(QString::fromUtf8(kCustomFileName)); }

// A file of `rows` row lines ("tag\tattr\tsearch\taction\tvalue") filled up
// with unused rows, then the flag line.
QStringList scriptLines(const QStringList &rows, const QString &back = "0") {
  QStringList lines = rows;
  while (lines.size() < kCustomRowCount)
    lines << QStringLiteral("\t0\t\t0\t");
  lines << QStringLiteral("\t%1\t\t\t").arg(back);
  return lines;
}

CustomScriptError loadError(const QStringList &lines) {
  writeTextLines(customPath(), lines);
  CustomScript s;
  CustomScriptError e;
  EXPECT_FALSE(loadCustomScript(customPath(), s, &e));
  return e;
}

CustomRow row(const QString &tag, const QString &attr, const QString &search) {
  return CustomRow{tag, attr, search, QStringLiteral("1"), QString()};
}

QColor colourOf(QLabel *l) { return l->palette().color(QPalette::WindowText); }
} // namespace

// --- the file ----------------------------------------------------------------

TEST(CustomFile, BrokenFilesNameTheLineGoodOnesReadInEitherEncoding) {
  TempDataFolder data;
  // The line to replace (-1: the file ends after five lines), the texts the
  // description names.
  const struct {
    int line;
    QString text;
    QStringList says;
  } cases[] = {{-1, "", {"Custom.sdr の行が足りません", "17", "5"}},
               {4, "input\t1\tname", {"Custom.sdr の 5 行目"}},
               {1, "input\tName\tid\t2\ttaro", {"2 行目", "Name"}},
               {16, "1", {"17 行目"}}};
  for (const auto &c : cases) {
    QStringList lines = scriptLines({});
    if (c.line < 0)
      lines = lines.mid(0, 5);
    else
      lines[c.line] = c.text;
    const CustomScriptError e = loadError(lines);
    for (const QString &text : c.says)
      EXPECT_TRUE(e.description.contains(text)) << e.description.toStdString();
  }

  // A good file: its rows and flag, later lines ignored.
  QStringList lines = scriptLines({QStringLiteral("a\t3\tサインイン\t1\t"),
                                   QStringLiteral("input\t1\tid\t2\t太郎")},
                                  "1");
  lines << QStringLiteral("anything at all");
  // A file carried over from the old platform is in Shift_JIS.
  QStringEncoder sjis("Shift_JIS");
  writeFile(customPath(), sjis(lines.join("\r\n") + "\r\n"));

  CustomScript s;
  ASSERT_TRUE(loadCustomScript(customPath(), s));
  EXPECT_EQ(s.rows[0].search, "サインイン");
  EXPECT_EQ(s.rows[1].value, "太郎");
  EXPECT_TRUE(s.rows[1].inUse());
  EXPECT_FALSE(s.rows[2].inUse());
  EXPECT_TRUE(s.backAfterUpload);
}

// --- the finder --------------------------------------------------------------

TEST(CustomFinder, MatchingRules) {
  const QStringList props{"Name", "Value", "innerText", "alt", "Type"};
  // nodename, Name, Value, innerText, alt, Type
  const Snapshot page = {
      {"html", "", "", "", "", ""},
      {"input", "user", "", "", "", "text"},              // 1
      {"input", "USER ", "送信", "", "", "submit"},       // 2
      {"a", "", "", "  Upload ", "", ""},                 // 3
      {"a", "", "", "upload", "", ""},                    // 4
      {"input", "user", "送信", "", "ログイン", "image"}, // 5
      {"a", "", "", "upload\t", "", ""},                  // 6
  };
  // Name: the last match of the page wins.
  EXPECT_EQ(findCustomElement(page, props, row("input", "1", "user")), 5);
  // Value, innerText, Alt, Type: the first one.
  EXPECT_EQ(findCustomElement(page, props, row("input", "2", "送信")), 2);
  EXPECT_EQ(findCustomElement(page, props, row("a", "3", "upload")), 3);
  EXPECT_EQ(findCustomElement(page, props, row("input", "4", "ログイン")), 5);
  EXPECT_EQ(findCustomElement(page, props, row("input", "5", "SUBMIT")), 2);
  // The search text is trimmed and compared without regard to case.
  EXPECT_EQ(findCustomElement(page, props, row("a", "3", "  UPLOAD  ")), 3);
  // The tag is taken as written: capitals or blanks never match.
  EXPECT_EQ(findCustomElement(page, props, row("INPUT", "1", "user")), 0);
  EXPECT_EQ(findCustomElement(page, props, row(" a", "3", "upload")), 0);
  // Unused and unknown codes find nothing.
  EXPECT_EQ(findCustomElement(page, props, row("input", "0", "user")), 0);
  EXPECT_EQ(findCustomElement(page, props, row("input", "6", "user")), 0);
  EXPECT_EQ(findCustomElement(page, props, row("input", " 1", "user")), 0);
  // A property the snapshot does not carry finds nothing.
  EXPECT_EQ(findCustomElement(page, {"Name"}, row("a", "3", "upload")), 0);
}

// --- the designer ------------------------------------------------------------

class Designer : public ::testing::Test {
protected:
  void SetUp() override {
    setFastSettings();
    setting(UserId) = "taro@example.jp";
    setting(Password) = "pa ss";
    setting(ToolName) = "マイブログ";
  }
  TempDataFolder data;
};

// A preset replaces every row and copies the account and the blog's name
// at the press; each preset sets the flag its service needs. A file opened
// over the rows replaces those it has; "クリア" empties the rows.
TEST_F(Designer, PresetsHandEditedFilesAndClear) {
  frmCustom d;
  d.txtTag[6]->setText("leftover");
  d.chkBack->setChecked(true);
  d.cmdFc2->click();
  EXPECT_FALSE(d.chkBack->isChecked());
  EXPECT_EQ(d.txtTag[6]->text(), "");
  EXPECT_EQ(d.txtValu[1]->text(), "taro@example.jp");

  d.cmdSeeSaa->click();
  setting(ToolName) = "changed";
  EXPECT_EQ(d.txtData[5]->text(), "マイブログ");
  EXPECT_EQ(d.txtValu[2]->text(), "pa ss");

  d.CmdDti->click();
  EXPECT_EQ(d.txtData[3]->text(), "管理画面へログイン");

  d.cmdNinja->click();
  EXPECT_TRUE(d.chkBack->isChecked());
  EXPECT_EQ(d.txtData[5]->text(), "changed");
  EXPECT_EQ(d.cmbDosa[8]->currentText(), "参照");
  EXPECT_FALSE(QFile::exists(customPath())) << "a preset alone writes nothing";

  // Three lines only, indexes outside the lists, a line short of fields:
  // what no list holds is "指定なし", a missing field is empty, and rows
  // the file lacks and the flag keep what the preset put there.
  writeTextLines(customPath(),
                 {"a\t9\tx\t-1\tv", "input\tName\ty\t1\tw", "input\t2"});
  d.cmdOpen->click();
  EXPECT_EQ(
      customScriptLines(d.script()).mid(0, 3),
      QStringList({"a\t0\tx\t0\tv", "input\t0\ty\t1\tw", "input\t2\t\t0\t"}));
  EXPECT_EQ(d.txtData[8]->text(), "file");
  EXPECT_TRUE(d.chkBack->isChecked());

  d.cmdClear->click();
  EXPECT_EQ(customScriptLines(d.script()), scriptLines({}, "1"));
}

TEST_F(Designer, SaveLoadAndOkKeepEveryRowButNeverATabOrABreak) {
  frmCustom d;
  // Without a file every row is unused; only the file row can browse.
  EXPECT_EQ(customScriptLines(d.script()), scriptLines({}));
  EXPECT_EQ(d.cmbDosa[7]->count(), 3);
  for (int r = 0; r < 16; ++r) {
    d.txtTag[r]->setText(r % 2 ? "input" : "a");
    d.cmbMeth[r]->setCurrentIndex(r % 6);
    d.txtData[r]->setText(QStringLiteral("検索%1 文字").arg(r));
    d.cmbDosa[r]->setCurrentIndex(r == 8 ? 3 : r % 3);
    d.txtValu[r]->setText(QStringLiteral("値　%1").arg(r));
  }
  d.chkBack->setChecked(true);
  d.cmdSave->click();
  EXPECT_TRUE(d.isVisible() || !d.result()); // "保存" keeps the dialog
  QStringList lines = readTextLines(customPath());
  ASSERT_EQ(lines.size(), 17);
  EXPECT_EQ(lines[8], "a\t2\t検索8 文字\t3\t値　8");
  EXPECT_EQ(lines[16], "\t1\t\t\t");
  EXPECT_EQ(QFile::permissions(customPath()) & 0x0077, 0)
      << "the script holds the password";

  // Opened again, every widget holds what was saved.
  frmCustom again;
  EXPECT_EQ(customScriptLines(again.script()), lines);
  again.txtData[1]->setText("id");
  again.txtData[1]->insert("\tx\ny");
  EXPECT_EQ(again.txtData[1]->text(), "id") << "a paste with a TAB is refused";
  // Text set by code passes no validator: the save drops what would split
  // the line or the field.
  again.txtTag[1]->setText("in\tput");
  again.txtValu[1]->setText("日本\r\n語\tの値");
  again.cmdOK->click();
  EXPECT_EQ(again.result(), QDialog::Accepted);
  lines = readTextLines(customPath());
  ASSERT_EQ(lines.size(), 17);
  EXPECT_EQ(lines[1], "input\t1\tid\t1\t日本語の値");
  EXPECT_TRUE(readFile(customPath()).endsWith("\t1\t\t\t\r\n"));

  frmCustom cancelled;
  cancelled.txtTag[0]->setText("changed");
  cancelled.cmdCancel->click();
  EXPECT_EQ(readTextLines(customPath())[0], lines[0]);
}

// --- the version dialog -----------------------------------------------------

TEST(VersionDialog, LinksOpenTheirPagesAndTheOptInIsStored) {
  TempDataFolder data;
  setFastSettings();
  setting(ShowAd) = "1";
  SupportEndpoints saved = supportEndpoints();
  supportEndpoints().supportPage = "http://support.localhost/";
  supportEndpoints().donationPage = "http://support.localhost/donate";
  QList<QUrl> opened;
  auto savedOpener = frmVersion::urlOpener();
  frmVersion::urlOpener() = [&](const QUrl &u) { opened << u; };

  {
    frmVersion d;
    EXPECT_TRUE(d.chkTip->isChecked());
    EXPECT_EQ(d.lblUrl->text(), "http://support.localhost/");

    // Blue, cyan under the mouse, blue again over the background.
    EXPECT_EQ(colourOf(d.lblUrl), QColor(0, 0, 255));
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(d.Label5, &enter);
    EXPECT_EQ(colourOf(d.Label5), QColor(0, 255, 255));
    QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), QPointF(2, 2),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&d, &move);
    EXPECT_EQ(colourOf(d.Label5), QColor(0, 0, 255));

    for (QLabel *l : {d.lblUrl, d.Label5}) {
      QMouseEvent up(QEvent::MouseButtonRelease, QPointF(1, 1), QPointF(1, 1),
                     Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
      QCoreApplication::sendEvent(l, &up);
    }
    EXPECT_EQ(opened, QList<QUrl>({QUrl("http://support.localhost/"),
                                   QUrl("http://support.localhost/donate")}));

    d.chkTip->setChecked(false);
    d.Command1->click();
  }
  EXPECT_EQ(setting(ShowAd), "0");
  EXPECT_EQ(readTextLines(data.file("Sendora.ini")).value(ShowAd), "0");

  // A build without the maker's pages shows no links.
  supportEndpoints() = SupportEndpoints{};
  {
    frmVersion d;
    EXPECT_TRUE(d.lblUrl->isHidden());
    EXPECT_TRUE(d.Label5->isHidden());
  }
  supportEndpoints() = saved;
  frmVersion::urlOpener() = savedOpener;
}

int main(int argc, char **argv) { return runTestsWithApp(argc, argv); }
