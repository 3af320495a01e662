// The file helpers need nothing but Qt Core, so that the core library's
// tests use them without the whole program.
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QString writeFile(const QString &path, const QByteArray &bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile f(path);
  f.open(QIODevice::WriteOnly);
  f.write(bytes);
  return path;
}

QByteArray readFile(const QString &path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
