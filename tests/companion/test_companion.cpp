// The companion program against the browser's own script dialogs, on a
// real X server: the page's confirm() is answered by the tool.
#include "servicerun.h"

#include "browser/browserwindow.h"
#include "browser/confirmpress.h"
#include "browser/pagewait.h"
#include "browser/webbrowser.h"
#include "core/paths.h"
#include "core/runstate.h"
#include "core/services.h"
#include "core/settings.h"
#include "fakesite.h"
#include "mainwindow/rundriver.h"
#include "sites.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {
class ConfirmPage : public fake::FakeSite {
public:
  ConfirmPage() : FakeSite("confirm.localhost") { loadPages("confirm"); }
};

int buttonIndex(WebBrowser *b) {
  const auto rows = b->snapshot({"Id"}, {"button"});
  for (int i = 0; i < rows.size(); ++i)
    if (rows[i][0] == "button" && rows[i][1] == "ask")
      return i;
  return 0;
}
} // namespace

class Companion : public ServiceRunTest {};

TEST_F(Companion, ToolAnswersTheConfirmAndSilenceComesBack) {
  ConfirmPage page;
  ASSERT_TRUE(page.start());
  StopRequested = false;
  WebBrowser *b = frmBrowser()->WebBrowser1;
  b->Navigate(QString::fromStdString(page.url("/")));
  ASSERT_EQ(waitBrowser("net", 1), 0);

  // Silent: the confirm is answered "no" without a box.
  b->Click(buttonIndex(b));
  EXPECT_TRUE(waitFor([&] { return b->documentTitle() == "false"; }));

  LogCapture log;
  ASSERT_TRUE(
      launchConfirmPress(QString::fromUtf8(kScriptDialogCaption) + ",30,1"));
  EXPECT_GT(ConfirmPressPid, 0);
  EXPECT_FALSE(b->Silent);
  b->Click(buttonIndex(b));
  EXPECT_TRUE(waitFor([&] { return b->documentTitle() == "true"; }, 15000));
  closeConfirmPress();
  EXPECT_TRUE(b->Silent);
  EXPECT_TRUE(log.lines().isEmpty());
  unloadBrowser();
  StopRequested = true;
}

TEST_F(Companion, ToolThatCannotStartOrEndsAtOnceIsReported) {
  const QString keep = programFolder();
  setProgramFolder(data.path()); // no ConfirmPress there
  for (bool present : {false, true}) {
    // A tool that ends at once (no display, refused arguments) presses
    // nothing either.
    if (present) {
      writeFile(data.file("ConfirmPress"), "#!/bin/sh\nexit 0\n");
      QFile::setPermissions(data.file("ConfirmPress"),
                            QFile::ReadOwner | QFile::ExeOwner);
    }
    LogCapture log;
    EXPECT_FALSE(launchConfirmPress("x"));
    EXPECT_EQ(ConfirmPressPid, 0);
    EXPECT_EQ(log.lines(), QStringList({"ツール起動エラー"}));
  }
  setProgramFolder(keep);
}

TEST_F(Companion, Fc2OverwriteConfirmationPressedDuringARun) {
  fake::FakeFc2 site;
  ASSERT_TRUE(site.start());
  useFc2Account(QString::fromStdString(site.loginUrl()));
  setting(OverWrite) = "1";
  setting(Fc2OverWrt) = "1";
  setting(Fc2OverTitle) = QString::fromUtf8(kScriptDialogCaption);
  queueFiles({{"same.jpg", bytesFor(9, 4000)}});
  site.storeFile("same.jpg", "old bytes");
  LogCapture log;
  startRun();
  EXPECT_EQ(statuses(), QStringList({"済"}));
  EXPECT_EQ(site.storedFiles().at("same.jpg"), bytesFor(9, 4000).toStdString());
  EXPECT_TRUE(log.contains("上書き保存を選択"));
  EXPECT_FALSE(log.contains("ツール起動エラー"));
  site.stop();
}

int main(int argc, char **argv) { return runTestsWithApp(argc, argv); }
