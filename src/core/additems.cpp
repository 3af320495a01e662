#include "additems.h"

#include "itemlist.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {
const QDir::Filters kFolderFilter = QDir::Dirs | QDir::NoDotAndDotDot;
const QDir::Filters kFileFilter = QDir::Files;

void ensureSlash(QString &folder) {
  if (!folder.endsWith(QLatin1Char('/')))
    folder += QLatin1Char('/');
}
} // namespace

void collectFolders(QString &folder, QStringList &folders) {
  ensureSlash(folder);
  const QFileInfoList entries =
      QDir(folder).entryInfoList(kFolderFilter, QDir::NoSort);
  for (const QFileInfo &e : entries) {
    if (e.isSymLink())
      continue;
    QString sub = folder + e.fileName();
    folders << sub + QLatin1Char('/');
    collectFolders(sub, folders);
  }
}

AddOutcome addDroppedPaths(QStringList names, int &total, int limit,
                           const std::function<void(const QString &)> &add,
                           const std::function<void()> &pump) {
  AddOutcome out;
  std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
    return QString::compare(a, b, Qt::CaseSensitive) < 0;
  });
  int sincePump = 0;
  auto tick = [&]() {
    if (pump && ++sincePump >= 200) {
      sincePump = 0;
      pump();
    }
  };
  auto offer = [&](const QString &path) -> bool {
    if (total >= limit) {
      out.limitReached = true;
      return false;
    }
    const QString problem = itemPathProblem(path);
    if (!problem.isEmpty()) {
      out.refused << path;
      return true;
    }
    add(path);
    ++total;
    ++out.added;
    tick();
    return true;
  };

  for (QString name : names) {
    QFileInfo info(name);
    if (!info.isDir()) {
      if (!offer(name))
        break;
      continue;
    }
    QStringList folders;
    collectFolders(name, folders);
    folders.prepend(name);
    bool stop = false;
    for (const QString &folder : folders) {
      const QStringList files =
          QDir(folder).entryList(kFileFilter, QDir::NoSort);
      for (const QString &f : files) {
        if (!offer(folder + f)) {
          stop = true;
          break;
        }
      }
      if (pump)
        pump();
      if (stop)
        break;
    }
    if (stop)
      break;
  }
  return out;
}

QString itemLimitMessage(int limit) {
  return QStringLiteral("登録済みのｱｲﾃﾑと合わせて") + QString::number(limit) +
         QStringLiteral("ｱｲﾃﾑを超えたので追加処理を中断しました。");
}
