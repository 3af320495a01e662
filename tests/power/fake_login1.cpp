// A stand-in for systemd-logind on a private bus, so the power actions can
// be exercised without ever putting this machine to sleep:
//   fake_login1 [--can ANSWER] [--fail METHOD]... [--resume-delay MS]
// owns org.freedesktop.login1 on the bus of DBUS_SYSTEM_BUS_ADDRESS, prints
// "ready", then one line per method call ("CanSuspend", "Suspend false").
// A --fail METHOD answers with a D-Bus error. An accepted Suspend is
// followed by PrepareForSleep(true) and, after the delay, by
// PrepareForSleep(false), as logind does on wake-up.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <cstdio>

class FakeManager : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
  QString canAnswer = QStringLiteral("yes");
  QStringList failing;
  int resumeDelayMs = 0;

public slots:
  QString CanSuspend() { return answerCan(QStringLiteral("CanSuspend")); }
  QString CanPowerOff() { return answerCan(QStringLiteral("CanPowerOff")); }
  void Suspend(bool interactive) {
    if (refused(QStringLiteral("Suspend"), interactive))
      return;
    QTimer::singleShot(0, this, [this] { emit PrepareForSleep(true); });
    QTimer::singleShot(resumeDelayMs, this,
                       [this] { emit PrepareForSleep(false); });
  }
  void PowerOff(bool interactive) {
    refused(QStringLiteral("PowerOff"), interactive);
  }

signals:
  void PrepareForSleep(bool start);

private:
  static void record(const QString &line) {
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
  }
  bool refused(const QString &method, bool interactive) {
    record(method + (interactive ? " true" : " false"));
    if (!failing.contains(method))
      return false;
    sendErrorReply(QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"),
                   method + QStringLiteral(" refused"));
    return true;
  }
  QString answerCan(const QString &method) {
    record(method);
    if (failing.contains(method))
      sendErrorReply(QDBusError::Failed, method + QStringLiteral(" broken"));
    return canAnswer;
  }
};

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  FakeManager manager;
  const QStringList args = app.arguments();
  for (int i = 1; i + 1 < args.size(); i += 2) {
    if (args[i] == QLatin1String("--can"))
      manager.canAnswer = args[i + 1];
    else if (args[i] == QLatin1String("--fail"))
      manager.failing << args[i + 1];
    else if (args[i] == QLatin1String("--resume-delay"))
      manager.resumeDelayMs = args[i + 1].toInt();
  }

  QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.registerObject(QStringLiteral("/org/freedesktop/login1"), &manager,
                          QDBusConnection::ExportAllSlots |
                              QDBusConnection::ExportAllSignals) ||
      !bus.registerService(QStringLiteral("org.freedesktop.login1"))) {
    std::fprintf(stderr, "fake_login1: cannot serve on the bus: %s\n",
                 qPrintable(bus.lastError().message()));
    return 1;
  }
  std::printf("ready\n");
  std::fflush(stdout);
  return app.exec();
}

#include "fake_login1.moc"
