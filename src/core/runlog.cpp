#include "runlog.h"

namespace {
LogSink &currentSink() {
  static LogSink sink;
  return sink;
}
} // namespace

void setLog(const QString &sMsg) {
  if (currentSink())
    currentSink()(sMsg);
}

LogSink setLogSink(LogSink sink) {
  LogSink old = std::move(currentSink());
  currentSink() = std::move(sink);
  return old;
}

QString durationText(qint64 ms) {
  const qint64 s = qMax<qint64>(0, ms) / 1000;
  return QStringLiteral("%1:%2:%3")
      .arg(s / 3600)
      .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
      .arg(s % 60, 2, 10, QLatin1Char('0'));
}

qint64 estimateLeftMs(const RunProgress &p) {
  if (p.marked <= 0)
    return -1;
  const qint64 left = qMax(0, p.queued - p.marked);
  return p.elapsedMs * left / p.marked;
}

QString progressCount(const RunProgress &p) {
  return QStringLiteral("%1/%2").arg(p.marked).arg(p.queued);
}

QString progressText(const RunProgress &p) {
  const qint64 left = estimateLeftMs(p);
  return QStringLiteral("%1回目  %2件済  経過 %3  残り %4")
      .arg(p.pass)
      .arg(progressCount(p), durationText(p.elapsedMs),
           left < 0 ? QStringLiteral("計算中")
                    : QStringLiteral("約") + durationText(left));
}

QStringList runSummaryLines(int uploaded, const QVector<LeftItem> &left,
                            qint64 elapsedMs) {
  QStringList lines;
  lines << QStringLiteral("実行結果: アップロード %1件  未完了 %2件  経過 %3")
               .arg(uploaded)
               .arg(left.size())
               .arg(durationText(elapsedMs));
  for (const LeftItem &item : left)
    lines << QStringLiteral("未完了: %1 (%2)").arg(item.path, item.reason);
  return lines;
}

QString notReachedText() { return QStringLiteral("未処理"); }
