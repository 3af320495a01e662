#include "runreport.h"

#include <QFile>
#include <QFileInfo>

QString leftReasonText(LeftReason reason) {
  switch (reason) {
  case LeftReason::FileMissing:
    return QStringLiteral("ファイルがありません");
  case LeftReason::ChooserFailed:
    return QStringLiteral("ファイルダイアログを処理できません");
  case LeftReason::NotConfirmed:
    return QStringLiteral("アップロードを確認できません");
  case LeftReason::AttemptsUsedUp:
    return QStringLiteral("リトライしたが失敗");
  case LeftReason::Stopped:
    return QStringLiteral("中断");
  }
  return QString();
}

RunReport &runReport() {
  static RunReport r;
  return r;
}

QString fileProblem(const QString &path) {
  const QFileInfo info(path);
  if (!info.exists())
    return QStringLiteral("ファイルが見つかりません");
  if (!info.isFile())
    return QStringLiteral("通常のファイルではありません");
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly))
    return QStringLiteral("ファイルを読み込めません");
  return QString();
}
