// The settings record: 45 string values in a fixed order, stored one per
// line in "Sendora.ini". Flags are "1" (on) or anything else (off); numbers
// are converted where they are used.
#pragma once
#include <QString>
#include <QStringList>
#include <functional>

enum SettingId {
  BlogUrl,
  UserId,
  Password,
  LoginWait,
  UpPageWait,
  UpLoadWait,
  RetryCount,
  Thumbnail,
  ToolName,
  OverWrite,
  UseCustom,
  ShowAd,
  CheckUpload,
  AutoRetry,
  LowCpu,
  GooSize,
  MakeUrlList,
  CocologTarget,
  TimeOut,
  IniVersion,
  DirName,
  MainTop,
  MainLeft,
  MainWidth,
  MainHeight,
  BrowserTop,
  BrowserLeft,
  BrowserWidth,
  BrowserHeight,
  SaveWindowPos,
  LogOut,
  DlgTitle,
  SecTitle,
  HidePassword,
  NoWaitComplete,
  CheckLogin,
  SaveColWidth,
  ColWidth0,
  ColWidth1,
  ColWidth2,
  ColWidth3,
  Fc2OverWrt,
  Fc2OverTitle,
  UseConfirmPress,
  ManualLogin,
  SettingCount
};

inline const char *const kIniVersion = "0.54";
inline const char *const kSettingsFileName = "Sendora.ini";

// The record, global for the life of the process.
QString &setting(SettingId id);
// True only when the value is exactly "1".
bool isOn(SettingId id);
// The value as a whole number the way a count or a number of seconds is
// taken at the moment of use (16-bit range; not numeric gives 0).
int settingInt(SettingId id);
// Clears every value (tests and a first start).
void clearSettings();

// Numeric in the generous sense of a settings file edited by hand:
// surrounding blanks allowed, a sign, a decimal point, an exponent.
bool isNumeric(const QString &s);

// What the options accept and loading keeps: a retry count is a whole
// number from 1 to 32767 (the range a count is taken in), a time-out a
// number of seconds above 0. Anything else would mean no attempt at all
// or a page wait without end.
bool isRetryCount(const QString &s);
bool isTimeOut(const QString &s);

// The usable desktop's right and bottom edges, in twips.
struct WorkArea {
  double right = 0;
  double bottom = 0;
};

// Empty or non-numeric becomes "0"; a number beyond the limit becomes "0";
// otherwise (negative values included) the value stays.
void clampToWorkArea(const WorkArea &workArea, QString &value, bool horizontal);

// Dialogs that loading may open; core stays free of widgets, the
// application passes what it shows.
struct SettingsHooks {
  std::function<void()> firstStart; // no file yet: blog settings dialog
  std::function<void()> titleTest;  // empty DlgTitle: file-dialog test
  // The file is there but cannot be read: the defaults apply and the file
  // is left as it is (no save replaces it).
  std::function<void(const QString &path, const QString &why)> unreadable;
};

// Reads the file into the record and applies every default and
// normalisation, in the order the values depend on each other. On a first
// start the defaults are in place before the blog settings dialog shows,
// so that its OK stores them rather than empty boxes.
void loadSettings(const QString &path, const WorkArea &workArea,
                  const SettingsHooks &hooks = {});

// Writes all 45 lines, replacing the file whole; the file is readable by
// the user alone (it holds the password).
bool saveSettings(const QString &path);

// The record as the 45 lines that saveSettings writes.
QStringList settingsLines();
