// Pictures of the designer and of the recorder's browser window while a
// recording is under way, on a real X server with the Japanese fonts.
#include "usersteps.h"

#include "core/settings.h"
#include "dialogs/customdialog.h"
#include "dialogs/recorder.h"
#include "fakegeneric.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {
void shoot(QWidget *w, const QString &name) {
  QString dir = qEnvironmentVariable("SENDORA_TEST_OUTPUT");
  if (dir.isEmpty())
    dir = QDir::tempPath() + QStringLiteral("/sendora-test-output");
  dir += QStringLiteral("/screenshots");
  QDir().mkpath(dir);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
  QTest::qWait(300);
  const QString file = dir + QLatin1Char('/') + name + QStringLiteral(".png");
  ASSERT_TRUE(w->grab().save(file)) << qPrintable(file);
}

TEST(RecorderScreenshots, DesignerAndBrowserWhileRecording) {
  TempDataFolder data;
  setFastSettings();
  setting(UserId) = "taro";
  setting(Password) = "himitsu";
  fake::FakeGeneric site;
  ASSERT_TRUE(site.start());
  setting(BlogUrl) = QString::fromStdString(site.topUrl());

  frmCustom designer;
  designer.show();
  shoot(&designer, "frmCustom_record");
  designer.cmdRecord->click();
  RecorderWindow *rec = designer.recorder();
  ASSERT_NE(rec, nullptr);
  WebBrowser *web = rec->browser();
  ASSERT_TRUE(waitForPage(web, "/"));
  // Input before a fresh page's first paint is dropped: click again.
  for (int n = 0; n < 8 && rec->recording().current() == 0; ++n)
    if (userClick(web, "a[href=\"/login\"]"))
      waitFor([&] { return rec->recording().current() == 1; }, 1000);
  ASSERT_EQ(rec->recording().current(), 1);
  ASSERT_TRUE(waitForPage(web, "/login"));
  shoot(rec, "frmRecorder");
  // The bar's texts fit the room they have.
  for (QLabel *l : {rec->lblRow, rec->lblNote})
    EXPECT_GE(l->width(), l->sizeHint().width()) << l->text().toStdString();
  rec->cmdEnd->click();
  ASSERT_TRUE(waitFor([&] { return designer.recorder() == nullptr; }));
  shoot(&designer, "frmCustom_recorded");
  site.stop();
}
} // namespace

int main(int argc, char **argv) { return runTestsWithApp(argc, argv); }
