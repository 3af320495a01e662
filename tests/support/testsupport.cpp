#include "testsupport.h"

#include "browser/browserwindow.h"
#include "core/paths.h"
#include "core/runlog.h"
#include "core/services.h"
#include "core/settings.h"
#include "mainwindow/appsetup.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

void prepareTestProcess() {
  qputenv("DBUS_SYSTEM_BUS_ADDRESS",
          "unix:path=/nonexistent/sendora-test-no-system-bus");
  // Nor may a test notify the desktop of the person running it.
  qputenv("DBUS_SESSION_BUS_ADDRESS",
          "unix:path=/nonexistent/sendora-test-no-session-bus");
  prepareEnvironment();
}

int runTestsWithApp(int argc, char **argv) {
  prepareTestProcess();
  QApplication app(argc, argv);
  setProgramFolder(QCoreApplication::applicationDirPath());
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  deleteBrowserWindows();
  return result;
}

LogCapture::LogCapture() {
  static const bool echo = qEnvironmentVariableIsSet("SENDORA_TEST_ECHO");
  setLogSink([this](const QString &s) {
    lines_ << s;
    if (echo)
      fprintf(stderr, "LOG %s\n", qPrintable(s));
  });
}

LogCapture::~LogCapture() { setLogSink({}); }

bool LogCapture::containsStart(const QString &prefix) const {
  for (const QString &l : lines_)
    if (l.startsWith(prefix))
      return true;
  return false;
}

void setFastSettings(int timeoutSeconds) {
  clearSettings();
  loadSettings(QStringLiteral("/nonexistent/Sendora.ini"),
               WorkArea{28800, 16200});
  for (SettingId id :
       {LoginWait, UpPageWait, UpLoadWait, UseConfirmPress, ShowAd})
    setting(id) = "0";
  setting(TimeOut) = QString::number(timeoutSeconds);
  setting(DlgTitle) = QStringLiteral("ファイルの選択");
  setting(RetryCount) = "3";
}

void useAccount(const QString &blogUrl, const QString &user,
                const QString &password) {
  setting(BlogUrl) = blogUrl;
  setting(UserId) = user;
  setting(Password) = password;
}

void useFc2Account(const QString &loginUrl) {
  useAccount(loginUrl, QStringLiteral("user@example.com"),
             QStringLiteral("secret"));
  setServiceLoginUrl(SvcFc2, loginUrl);
}

TempDataFolder::TempDataFolder() : previous_(dataFolder()) {
  setDataFolder(dir_.path());
}

TempDataFolder::~TempDataFolder() { setDataFolder(previous_); }

bool waitFor(const std::function<bool()> &done, int timeoutMs) {
  QElapsedTimer t;
  t.start();
  while (!done()) {
    if (t.elapsed() > timeoutMs)
      return false;
    QEventLoop loop;
    QTimer::singleShot(5, &loop, &QEventLoop::quit);
    loop.exec();
  }
  return true;
}

ModalWatchdog::ModalWatchdog(int seconds) : timer_(new QTimer) {
  timer_->setInterval(500);
  auto seen = std::make_shared<QPointer<QWidget>>();
  auto since = std::make_shared<QElapsedTimer>();
  QObject::connect(timer_, &QTimer::timeout, [=] {
    QWidget *w = QApplication::activeModalWidget();
    if (!w) {
      *seen = nullptr;
      return;
    }
    if (*seen != w) {
      *seen = w;
      since->start();
      return;
    }
    if (since->elapsed() < seconds * 1000)
      return;
    QString text = w->windowTitle();
    if (auto *box = qobject_cast<QMessageBox *>(w))
      text += " / " + box->text();
    ADD_FAILURE() << "message box left open: " << text.toStdString();
    *seen = nullptr;
    if (auto *d = qobject_cast<QDialog *>(w))
      d->reject();
  });
  timer_->start();
}

ModalWatchdog::~ModalWatchdog() { delete timer_; }

Trigger::Trigger(std::function<bool()> when, std::function<void()> action)
    : timer_(new QTimer) {
  timer_->setInterval(5);
  QTimer *t = timer_;
  QObject::connect(t, &QTimer::timeout, [=] {
    if (when()) {
      t->stop();
      action();
    }
  });
  timer_->start();
}

Trigger::~Trigger() { delete timer_; }

QString testOutputFolder(const QString &name) {
  QString dir = qEnvironmentVariable("SENDORA_TEST_OUTPUT");
  if (dir.isEmpty())
    dir = QDir::tempPath() + QStringLiteral("/sendora-test-output");
  dir += QLatin1Char('/') + name;
  QDir().mkpath(dir);
  return dir;
}

BoxAnswerer::BoxAnswerer(int answer) : timer_(new QTimer) {
  timer_->setInterval(10);
  QObject::connect(timer_, &QTimer::timeout, [this, answer] {
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
      return;
    texts << box->text();
    defaults << box->standardButton(box->defaultButton());
    if (answer)
      box->button(QMessageBox::StandardButton(answer))->click();
    else if (box->defaultButton())
      box->defaultButton()->click();
    else
      box->accept();
  });
  timer_->start();
}

BoxAnswerer::~BoxAnswerer() { delete timer_; }
