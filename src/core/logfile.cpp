#include "logfile.h"

#include "paths.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {
struct OpenFile {
  QString folder;
  QDate day;
  int fd = -1;
  QElapsedTimer sinceSync;
  bool unsynced = false;
};

OpenFile &current() {
  static OpenFile f;
  return f;
}

const int kSyncIntervalMs = 1000;

bool writeAll(int fd, const QByteArray &bytes) {
  const char *p = bytes.constData();
  qsizetype left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, size_t(left));
    if (n < 0) {
      if (errno == EINTR)
        continue;
      return false;
    }
    p += n;
    left -= n;
  }
  return true;
}

bool openDay(OpenFile &f, const QString &folder, const QDate &day) {
  closeLogFile();
  if (!QDir().mkpath(folder))
    return false;
  const QByteArray path = QFile::encodeName(logFilePath(folder, day));
  // Appending with O_APPEND: each line lands whole at the end even if two
  // instances of the program log into the same day file.
  f.fd =
      ::open(path.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
  if (f.fd < 0)
    return false;
  f.folder = folder;
  f.day = day;
  f.sinceSync.start();
  return true;
}
} // namespace

QString logFolder() { return dataFile(QStringLiteral("logs")); }

QString logFilePath(const QString &folder, const QDate &day) {
  return QDir(folder).filePath(day.toString(QStringLiteral("yyyy-MM-dd")) +
                               QStringLiteral(".log"));
}

bool appendLogFile(const QDateTime &when, const QString &message) {
  if (dataFolder().isEmpty())
    return false;
  OpenFile &f = current();
  const QString folder = logFolder();
  const QDate day = when.date();
  if ((f.fd < 0 || day != f.day || folder != f.folder) &&
      !openDay(f, folder, day))
    return false;

  QString text = message;
  if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'))) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  }
  const QString line = when.time().toString(QStringLiteral("hh:mm:ss")) +
                       QLatin1Char(' ') + text + QStringLiteral("\r\n");
  if (!writeAll(f.fd, line.toUtf8())) {
    closeLogFile();
    return false;
  }
  f.unsynced = true;
  if (f.sinceSync.elapsed() >= kSyncIntervalMs)
    syncLogFile();
  return true;
}

void syncLogFile() {
  OpenFile &f = current();
  if (f.fd < 0 || !f.unsynced)
    return;
  ::fdatasync(f.fd);
  f.unsynced = false;
  f.sinceSync.start();
}

void closeLogFile() {
  OpenFile &f = current();
  if (f.fd < 0)
    return;
  syncLogFile();
  ::close(f.fd);
  f = OpenFile();
}

int pruneLogFiles(const QString &folder, const QDate &today, int keepDays) {
  static const QRegularExpression dayName(
      QStringLiteral("^(\\d{4}-\\d{2}-\\d{2})\\.log$"));
  const QDate oldestKept = today.addDays(-keepDays);
  QDir dir(folder);
  int deleted = 0;
  const QStringList names =
      dir.entryList({QStringLiteral("*.log")}, QDir::Files | QDir::Hidden);
  for (const QString &name : names) {
    const QRegularExpressionMatch m = dayName.match(name);
    if (!m.hasMatch())
      continue;
    const QDate day =
        QDate::fromString(m.captured(1), QStringLiteral("yyyy-MM-dd"));
    if (day.isValid() && day < oldestKept && dir.remove(name))
      ++deleted;
  }
  return deleted;
}
