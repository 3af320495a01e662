// The companion tool against real Qt message boxes on an X server of its own.

#include "browser/x11windows.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProcess>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const QString kJapaneseCaption = QStringLiteral("Web ページからのメッセージ");

void startTool(QProcess &tool, const QStringList &arguments) {
  tool.setProcessChannelMode(QProcess::ForwardedChannels);
  tool.start(QCoreApplication::applicationDirPath() + "/ConfirmPress",
             arguments);
  ASSERT_TRUE(tool.waitForStarted(5000)) << qPrintable(tool.errorString());
}

// Shows a modal box with OK as default button and reports whether OK was
// pressed. Nobody answering within giveUpMs counts as "not pressed".
bool okPressed(const QString &caption, int giveUpMs) {
  QMessageBox box(QMessageBox::Question, caption,
                  QStringLiteral("上書きしますか?"),
                  QMessageBox::Ok | QMessageBox::Cancel);
  box.setDefaultButton(QMessageBox::Ok);
  QTimer::singleShot(giveUpMs, &box, &QMessageBox::reject);
  box.exec();
  return box.clickedButton() == box.button(QMessageBox::Ok);
}

// A tool that ended while a box's event loop ran is already finished, and
// waitForFinished() reports that as failure.
bool ends(QProcess &tool, int ms) {
  return tool.state() == QProcess::NotRunning || tool.waitForFinished(ms);
}

bool endsCleanly(QProcess &tool, int ms) {
  return ends(tool, ms) && tool.exitStatus() == QProcess::NormalExit &&
         tool.exitCode() == 0;
}

// The tool needs a moment to map its window after the process starts.
quintptr waitForToolWindow(qint64 pid) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 5000) {
    if (const quintptr w = findTopLevelWindowByPid(pid))
      return w;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  return 0;
}

TEST(ConfirmPress, PressesJapaneseCaptionOnceThenEnds) {
  QProcess tool;
  // The caption arrives split at its space, as a caller may pass it.
  startTool(tool, {QStringLiteral("Web"),
                   QStringLiteral("ページからのメッセージ,30,1")});
  EXPECT_TRUE(okPressed(kJapaneseCaption, 10000));
  // One press was allowed: the tool ends by itself right after it.
  EXPECT_TRUE(endsCleanly(tool, 5000));
}

TEST(ConfirmPress, IgnoresOtherCaptionsAndEndsWhenTimeIsUp) {
  QProcess tool;
  // A prefix of the box's title is not the title.
  startTool(tool, {QStringLiteral("Web ページ,1,1")});
  EXPECT_FALSE(okPressed(kJapaneseCaption, 1800));
  EXPECT_TRUE(endsCleanly(tool, 3000));
}

TEST(ConfirmPress, WithoutLimitsPressesEveryBoxUntilClosed) {
  // The commas of the first are part of the caption: the last two fields
  // are not numbers. Zero limits mean no limits.
  const QString kNoLimits[][2] = {
      {"確認,上書き", "確認,上書き"},
      {"セキュリティの警告", "セキュリティの警告,0,0"}};
  for (const auto &[caption, argument] : kNoLimits) {
    QProcess tool;
    startTool(tool, {argument});
    EXPECT_TRUE(okPressed(caption, 10000));
    EXPECT_TRUE(okPressed(caption, 10000));
    EXPECT_EQ(tool.state(), QProcess::Running);

    const quintptr window = waitForToolWindow(tool.processId());
    ASSERT_NE(window, quintptr(0));
    EXPECT_TRUE(sendCloseMessage(window));
    EXPECT_TRUE(endsCleanly(tool, 5000));
    // Ending a second time finds nothing to send the message to.
    EXPECT_EQ(findTopLevelWindowByPid(tool.processId()), quintptr(0));
    EXPECT_FALSE(sendCloseMessage(window));
  }
}

TEST(ConfirmPress, EndsCleanlyOnTerminateAndRefusesEmptyCaption) {
  QProcess tool;
  startTool(tool, {QStringLiteral("セキュリティの警告")});
  ASSERT_NE(waitForToolWindow(tool.processId()), quintptr(0));
  tool.terminate();
  EXPECT_TRUE(endsCleanly(tool, 5000));

  // An empty caption would match every untitled window.
  QProcess empty;
  startTool(empty, {QStringLiteral(",30,1")});
  ASSERT_TRUE(ends(empty, 5000));
  EXPECT_EQ(empty.exitCode(), 2);
}

TEST(X11Windows, NoDisplayAndNoWindowAreNotErrors) {
  EXPECT_EQ(findTopLevelWindowByPid(0), quintptr(0));
  EXPECT_FALSE(sendCloseMessage(0));

  const QByteArray display = qgetenv("DISPLAY");
  qunsetenv("DISPLAY");
  EXPECT_EQ(findTopLevelWindowByPid(QCoreApplication::applicationPid()),
            quintptr(0));
  EXPECT_FALSE(sendCloseMessage(1));
  qputenv("DISPLAY", display);
}

} // namespace

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
