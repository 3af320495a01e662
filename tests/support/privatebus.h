// A private dbus-daemon for tests that talk to system services (logind,
// the desktop's notifications): fakes own the names there, and the real
// buses stay out of reach.
#pragma once
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

class PrivateBus {
public:
  PrivateBus() = default;
  ~PrivateBus();
  // Starts the daemon; false (with a message on stderr) when it cannot.
  bool start();
  QString address() const { return address_; }

private:
  QTemporaryDir dir_;
  QProcess daemon_;
  QString address_;
};

// Starts a fake service on the bus and waits for its "ready" line.
bool startFake(QProcess &fake, const QString &program,
               const QStringList &arguments = {});
