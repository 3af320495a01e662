#include "notification.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QVariantMap>

namespace {
const int kReplyTimeoutMs = 2000;

// Without an address the bus library may try to start a bus of its own;
// only a bus that is already there is worth asking.
bool sessionBusThere() {
  if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
    return true;
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  return !runtime.isEmpty() &&
         QFileInfo::exists(QDir(runtime).filePath(QStringLiteral("bus")));
}
} // namespace

bool notifyDesktop(const QString &summary, const QString &body) {
  if (!sessionBusThere())
    return false;
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected())
    return false;
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.Notifications"),
      QStringLiteral("/org/freedesktop/Notifications"),
      QStringLiteral("org.freedesktop.Notifications"),
      QStringLiteral("Notify"));
  call << QStringLiteral("Sendora") << 0u << QStringLiteral("sendora")
       << summary << body << QStringList() << QVariantMap() << -1;
  const QDBusMessage reply = bus.call(call, QDBus::Block, kReplyTimeoutMs);
  return reply.type() == QDBusMessage::ReplyMessage;
}
