#include "privatebus.h"

#include <QFile>
#include <QStandardPaths>

#include <cstdio>

PrivateBus::~PrivateBus() {
  if (daemon_.state() == QProcess::NotRunning)
    return;
  daemon_.terminate();
  daemon_.waitForFinished(5000);
}

bool PrivateBus::start() {
  const QString daemonPath =
      QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
  if (daemonPath.isEmpty() || !dir_.isValid()) {
    std::fprintf(stderr, "dbus-daemon (package dbus) is needed\n");
    return false;
  }
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

  daemon_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  daemon_.start(daemonPath,
                {QStringLiteral("--config-file=") + config.fileName(),
                 QStringLiteral("--print-address"),
                 QStringLiteral("--nofork")});
  while (!daemon_.canReadLine())
    if (!daemon_.waitForReadyRead(5000)) {
      std::fprintf(stderr, "private dbus-daemon did not start\n");
      return false;
    }
  address_ = QString::fromUtf8(daemon_.readLine().trimmed());
  return true;
}

bool startFake(QProcess &fake, const QString &program,
               const QStringList &arguments) {
  fake.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  fake.start(program, arguments);
  while (!fake.canReadLine())
    if (!fake.waitForReadyRead(5000))
      return false;
  return fake.readLine().trimmed() == "ready";
}
