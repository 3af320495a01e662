// A stand-in for the desktop's notification service on a private bus.
// Owns org.freedesktop.Notifications on the bus that DBUS_SESSION_BUS_ADDRESS
// names, prints "ready", then one line per notification:
// "APP<TAB>SUMMARY<TAB>BODY", line breaks in the body written as "\n".
#include <QtDBus>

#include <cstdio>

class FakeNotifications : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public slots:
  uint Notify(const QString &app, uint, const QString &, const QString &summary,
              const QString &body, const QStringList &, const QVariantMap &,
              int) {
    QString b = body;
    b.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    std::printf("%s\t%s\t%s\n", qPrintable(app), qPrintable(summary),
                qPrintable(b));
    std::fflush(stdout);
    return ++last_;
  }

private:
  uint last_ = 0;
};

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  FakeNotifications service;
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"),
                          &service, QDBusConnection::ExportAllSlots) ||
      !bus.registerService(QStringLiteral("org.freedesktop.Notifications"))) {
    std::fprintf(stderr, "fake_notifications: cannot serve on the bus\n");
    return 1;
  }
  std::printf("ready\n");
  std::fflush(stdout);
  return app.exec();
}

#include "fake_notifications.moc"
