#include "settings.h"

#include "textfile.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {
std::array<QString, SettingCount> &record() {
  static std::array<QString, SettingCount> r;
  return r;
}

double numberOf(const QString &s) { return s.trimmed().toDouble(); }

// "empty or not numeric" gives the default.
void numberOr(SettingId id, const char *def) {
  if (!isNumeric(setting(id)))
    setting(id) = QString::fromLatin1(def);
}

// Numeric and not "0": "1"; exactly "0" stays; otherwise "0".
void numericFlag(SettingId id) {
  QString &v = setting(id);
  if (v == QLatin1String("0"))
    return;
  v = isNumeric(v) ? QStringLiteral("1") : QStringLiteral("0");
}

// The flag is `def` unless the value is exactly the other state.
void flagDefault(SettingId id, const char *def) {
  QString &v = setting(id);
  const QString other = QLatin1String(def) == QLatin1String("1")
                            ? QStringLiteral("0")
                            : QStringLiteral("1");
  v = (v == other) ? other : QString::fromLatin1(def);
}

void emptyOr(SettingId id, const QString &def) {
  if (setting(id).isEmpty())
    setting(id) = def;
}

void normalisePosition(SettingId id) {
  QString &v = setting(id);
  if (isNumeric(v)) {
    if (numberOf(v) < 0)
      v = QStringLiteral("-1");
  } else {
    v = QStringLiteral("0");
  }
}

// The defaults and normalisations, in three groups around the title test,
// which runs once the window positions are in place.
void normaliseCounts() {
  numberOr(LoginWait, "5");
  numberOr(UpPageWait, "5");
  numberOr(UpLoadWait, "10");
  QString &retry = setting(RetryCount);
  if (!isNumeric(retry))
    retry = QStringLiteral("3");
  else if (!isRetryCount(retry))
    retry = QString::number(std::max(1, settingInt(RetryCount)));
  numericFlag(Thumbnail);
  numericFlag(OverWrite);
  numericFlag(UseCustom);
  flagDefault(ShowAd, "1");
  flagDefault(CheckUpload, "1");
  flagDefault(AutoRetry, "0");
  flagDefault(LowCpu, "1");
  {
    const QString &g = setting(GooSize);
    const bool keep =
        isNumeric(g) && (numberOf(g) == 1.0 || numberOf(g) == 2.0);
    if (!keep)
      setting(GooSize) = QStringLiteral("0");
  }
  flagDefault(MakeUrlList, "0");
  flagDefault(CocologTarget, "0");
  if (!isTimeOut(setting(TimeOut)))
    setting(TimeOut) = QStringLiteral("30");
}

void normaliseWindow(SettingId top, SettingId left, SettingId width,
                     SettingId height, const WorkArea &wa) {
  normalisePosition(top);
  normalisePosition(left);
  numberOr(height, "3600");
  numberOr(width, "4550");
  clampToWorkArea(wa, setting(top), false);
  clampToWorkArea(wa, setting(left), true);
  clampToWorkArea(wa, setting(height), false);
  clampToWorkArea(wa, setting(width), true);
}

void normaliseVersionAndWindows(const WorkArea &workArea) {
  if (setting(IniVersion) != QLatin1String(kIniVersion)) {
    setting(IniVersion) = QLatin1String(kIniVersion);
    setting(ShowAd) = QStringLiteral("1");
  }
  normaliseWindow(MainTop, MainLeft, MainWidth, MainHeight, workArea);
  normaliseWindow(BrowserTop, BrowserLeft, BrowserWidth, BrowserHeight,
                  workArea);
  flagDefault(SaveWindowPos, "0");
  emptyOr(LogOut, QStringLiteral("0"));
}

void normaliseCaptionsAndFlags() {
  emptyOr(SecTitle, QStringLiteral("セキュリティの警告"));
  flagDefault(HidePassword, "0");
  flagDefault(NoWaitComplete, "0");
  emptyOr(CheckLogin, QStringLiteral("1"));
  emptyOr(SaveColWidth, QStringLiteral("0"));
  emptyOr(Fc2OverWrt, QStringLiteral("0"));
  emptyOr(UseConfirmPress, QStringLiteral("1"));
}
} // namespace

QString &setting(SettingId id) { return record()[id]; }

bool isOn(SettingId id) { return setting(id) == QLatin1String("1"); }

int settingInt(SettingId id) {
  const QString &v = setting(id);
  if (!isNumeric(v))
    return 0;
  double d = std::round(numberOf(v));
  if (d > 32767)
    return 32767;
  if (d < -32768)
    return -32768;
  return static_cast<int>(d);
}

void clearSettings() {
  for (QString &v : record())
    v.clear();
}

bool isRetryCount(const QString &s) {
  if (!isNumeric(s))
    return false;
  const double d = numberOf(s);
  return d >= 1 && d <= 32767 && d == std::floor(d);
}

bool isTimeOut(const QString &s) { return isNumeric(s) && numberOf(s) > 0; }

bool isNumeric(const QString &s) {
  const QString t = s.trimmed();
  if (t.isEmpty())
    return false;
  bool ok = false;
  double d = t.toDouble(&ok);
  return ok && std::isfinite(d);
}

void clampToWorkArea(const WorkArea &workArea, QString &value,
                     bool horizontal) {
  if (!isNumeric(value)) {
    value = QStringLiteral("0");
    return;
  }
  const double limit = horizontal ? workArea.right : workArea.bottom;
  if (numberOf(value) > limit)
    value = QStringLiteral("0");
}

void loadSettings(const QString &path, const WorkArea &workArea,
                  const SettingsHooks &hooks) {
  const TextFile file = readTextFile(path);
  if (file.status == ReadStatus::Missing) {
    setting(HidePassword) = QStringLiteral("1");
    setting(ShowAd) = QStringLiteral("1");
    normaliseCounts();
    normaliseVersionAndWindows(workArea);
    normaliseCaptionsAndFlags();
    // Left empty: the dialog ticks it for the services that make a
    // thumbnail unless the user said otherwise.
    setting(Thumbnail).clear();
    if (hooks.firstStart)
      hooks.firstStart();
  } else {
    for (int n = 0; n < SettingCount; ++n)
      setting(SettingId(n)) = n < file.lines.size() ? file.lines[n] : QString();
    if (file.status == ReadStatus::Unreadable && hooks.unreadable)
      hooks.unreadable(path, file.error);
  }

  normaliseCounts();
  normaliseVersionAndWindows(workArea);
  if (setting(DlgTitle).isEmpty() && hooks.titleTest)
    hooks.titleTest();

  normaliseCaptionsAndFlags();
}

QStringList settingsLines() {
  QStringList lines;
  for (int n = 0; n < SettingCount; ++n) {
    QString v = setting(SettingId(n));
    const bool position =
        n == MainTop || n == MainLeft || n == BrowserTop || n == BrowserLeft;
    if (position && isNumeric(v) && numberOf(v) < 0)
      v = QStringLiteral("-1");
    // A value is a whole line; a line break inside would shift every
    // later value by one on the next load.
    v.replace(QLatin1Char('\r'), QLatin1Char(' '));
    v.replace(QLatin1Char('\n'), QLatin1Char(' '));
    lines << v;
  }
  return lines;
}

bool saveSettings(const QString &path) {
  return writeTextLines(path, settingsLines(), true);
}
