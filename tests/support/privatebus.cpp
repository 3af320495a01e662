#include "privatebus.h"

#include <QFile>

#include <cstdio>

PrivateBus::~PrivateBus() {
  if (daemon_.state() == QProcess::NotRunning)
    return;
  daemon_.terminate();
  daemon_.waitForFinished(5000);
}

namespace {
// Starts the program and returns the first line it prints, "" when none
// comes in time.
QString firstLine(QProcess &p, const QString &program,
                  const QStringList &arguments) {
  p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  p.start(program, arguments);
  while (!p.canReadLine())
    if (!p.waitForReadyRead(5000))
      return QString();
  return QString::fromUtf8(p.readLine().trimmed());
}
} // namespace

bool PrivateBus::start() {
  QFile config(dir_.filePath(QStringLiteral("bus.conf")));
  if (!config.open(QIODevice::WriteOnly))
    return false;
  config.write(QStringLiteral(R"(<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
    <allow own="*"/>
  </policy>
</busconfig>
)")
                   .arg(dir_.path())
                   .toUtf8());
  config.close();
  address_ = firstLine(daemon_, QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--config-file=") + config.fileName(),
                        QStringLiteral("--print-address"),
                        QStringLiteral("--nofork")});
  if (address_.isEmpty())
    std::fprintf(stderr, "no private dbus-daemon (package dbus) started\n");
  return !address_.isEmpty();
}

bool startFake(QProcess &fake, const QString &program,
               const QStringList &arguments) {
  return firstLine(fake, program, arguments) == QLatin1String("ready");
}
