#include "paths.h"

#include <QDir>
#include <QFileInfo>

#include <unistd.h>

namespace {
QString &programFolderRef() {
  static QString f;
  return f;
}
QString &dataFolderRef() {
  static QString f;
  return f;
}
} // namespace

QString programFolder() { return programFolderRef(); }
void setProgramFolder(const QString &folder) { programFolderRef() = folder; }
QString dataFolder() { return dataFolderRef(); }
void setDataFolder(const QString &folder) { dataFolderRef() = folder; }

QString chooseDataFolder(const QString &program) {
  if (!program.isEmpty() &&
      ::access(QFile::encodeName(program).constData(), W_OK) == 0)
    return program;
  QString base = qEnvironmentVariable("XDG_DATA_HOME");
  if (base.isEmpty())
    base = QDir::homePath() + QStringLiteral("/.local/share");
  QString folder = base + QStringLiteral("/Sendora");
  QDir().mkpath(folder);
  return folder;
}

QString dataFile(const QString &name) {
  return QDir(dataFolder()).filePath(name);
}
