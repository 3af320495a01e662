#include "runreport.h"

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
