#include "mainwindow/power.h"

#include "core/runlog.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QEventLoop>
#include <QObject>
#include <QTimer>

namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");

// The checks are quick questions to a local daemon; a busy or hung daemon
// must not keep the finished run waiting for the default 25 seconds.
constexpr int kCheckTimeoutMs = 5000;
// logind answers Suspend and PowerOff once it has queued the job, but it
// may first wait for inhibitors that delay sleep, so allow it plenty.
constexpr int kRequestTimeoutMs = 120000;
// logind announces the wake-up with PrepareForSleep(false). Qt's timers run
// on the monotonic clock, which stands still while the machine sleeps, so
// this bounds only the awake time spent waiting for that signal.
constexpr int kResumeWaitMs = 120000;

const QString kNoBusText =
    QStringLiteral("プロセスに関連づけアクセストークンのオープン失敗");
const QString kNotAvailableText =
    QStringLiteral("カルシステムのシャットダウン特権の取得失敗");
const QString kRefusedText = QStringLiteral("アクセストークンの特権を変更失敗");
const QString kSuspendFailedText = QStringLiteral("サスペンド失敗");
const QString kSuspendDoneText = QStringLiteral("サスペンド完了");
const QString kPowerOffFailedText = QStringLiteral("シャットダウン失敗");

QDBusMessage managerCall(const QString &method) {
  return QDBusMessage::createMethodCall(kService, kPath, kManager, method);
}

bool isReply(const QDBusMessage &msg) {
  return msg.type() == QDBusMessage::ReplyMessage;
}

// Whether logind is there to ask at all. Ping is answered by every D-Bus
// peer and also starts a bus-activated logind.
bool logindAnswers(QDBusConnection &bus) {
  if (!bus.isConnected())
    return false;
  QDBusMessage ping = QDBusMessage::createMethodCall(
      kService, kPath, QStringLiteral("org.freedesktop.DBus.Peer"),
      QStringLiteral("Ping"));
  return isReply(bus.call(ping, QDBus::Block, kCheckTimeoutMs));
}

// Asks logind whether this user may do the action, and logs why not.
// The three outcomes stand for the three ways of not getting the right:
//  - the question itself fails: we cannot even learn our rights;
//  - "na" or an unreadable answer: the action does not exist on this
//    system (no swap to hibernate into, sleep disabled, ...);
//  - "no" or anything else: it exists but is refused to this user.
// "challenge" goes on: polkit may still grant it without asking, and if it
// does not, the request itself fails and says so.
bool mayDo(QDBusConnection &bus, bool suspend) {
  QDBusMessage reply =
      bus.call(managerCall(suspend ? QStringLiteral("CanSuspend")
                                   : QStringLiteral("CanPowerOff")),
               QDBus::Block, kCheckTimeoutMs);
  if (!isReply(reply)) {
    setLog(kNoBusText);
    return false;
  }
  const QList<QVariant> args = reply.arguments();
  const QString answer =
      (args.size() == 1 && args.first().metaType().id() == QMetaType::QString)
          ? args.first().toString()
          : QString();
  if (answer.isEmpty() || answer == QLatin1String("na")) {
    setLog(kNotAvailableText);
    return false;
  }
  if (answer != QLatin1String("yes") && answer != QLatin1String("challenge")) {
    setLog(kRefusedText);
    return false;
  }
  return true;
}

// Waits for logind's "sleep is over" signal.
class ResumeWatch : public QObject {
  Q_OBJECT
public:
  QEventLoop loop;
  bool resumed = false;

public slots:
  void prepareForSleep(bool starting) {
    if (!starting) {
      resumed = true;
      loop.quit();
    }
  }
};

int suspendNow(QDBusConnection &bus) {
  // logind replies to Suspend before the machine goes down, so the reply
  // alone does not mean we are awake again. Subscribe before asking so the
  // wake-up signal cannot slip past.
  ResumeWatch watch;
  const bool watching =
      bus.connect(kService, kPath, kManager, QStringLiteral("PrepareForSleep"),
                  &watch, SLOT(prepareForSleep(bool)));

  QDBusMessage request = managerCall(QStringLiteral("Suspend"));
  request << false; // never prompt: nobody is at the machine
  const bool accepted =
      isReply(bus.call(request, QDBus::Block, kRequestTimeoutMs));

  if (accepted && watching) {
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &watch.loop, &QEventLoop::quit);
    limit.start(kResumeWaitMs);
    // The run is over, but a click now would start the next one while the
    // machine is on its way down.
    watch.loop.exec(QEventLoop::ExcludeUserInputEvents);
  }
  if (watching)
    bus.disconnect(kService, kPath, kManager, QStringLiteral("PrepareForSleep"),
                   &watch, SLOT(prepareForSleep(bool)));

  // Without a subscription there is nothing more to wait for; logind's
  // acceptance is the best we know.
  if (!accepted || (watching && !watch.resumed)) {
    setLog(kSuspendFailedText);
    return 0;
  }
  setLog(kSuspendDoneText);
  return 1;
}

int powerOffNow(QDBusConnection &bus) {
  QDBusMessage request = managerCall(QStringLiteral("PowerOff"));
  request << false;
  if (!isReply(bus.call(request, QDBus::Block, kRequestTimeoutMs))) {
    setLog(kPowerOffFailedText);
    return 0;
  }
  // The machine is going down; there is nothing left to report.
  return 1;
}

} // namespace

int powerAction(bool suspend) {
  QDBusConnection bus = QDBusConnection::systemBus();

  // Without logind nothing can suspend or power off this machine; say so
  // rather than claim a sleep that never happened.
  if (!logindAnswers(bus)) {
    setLog(suspend ? kSuspendFailedText : kPowerOffFailedText);
    return 0;
  }
  if (!mayDo(bus, suspend))
    return 0;
  return suspend ? suspendNow(bus) : powerOffNow(bus);
}

#include "power.moc"
