// The run log on disk. Every entry shown in the log box also goes, as it
// is shown, to a file per day in the folder "logs" of the data folder, so
// that what a night's run did can be read after the program ended, crashed
// or the machine was switched off.
#pragma once
#include <QDate>
#include <QDateTime>
#include <QString>

// Day files older than this are deleted at start.
inline const int kLogKeepDays = 30;

// The folder of the day files: "logs" in the data folder.
QString logFolder();

// The file of one day: FOLDER/YYYY-MM-DD.log.
QString logFilePath(const QString &folder, const QDate &day);

// Appends "hh:mm:ss message" and CR LF (UTF-8; a line break inside the
// message becomes CR LF) to the file of the day of `when` in logFolder(),
// creating folder and file when missing. An entry after midnight goes to
// the next day's file. Each line reaches the system in one write before
// this returns, so a crash loses nothing already shown; the disk itself
// is synchronised at most once a second, and by syncLogFile().
bool appendLogFile(const QDateTime &when, const QString &message);

// Puts what was appended on the disk (before the machine is suspended or
// switched off).
void syncLogFile();

// Closes the open day file; the next append opens it again.
void closeLogFile();

// Deletes the day files in `folder` whose day lies more than `keepDays`
// days before `today`. Files that are not named like day files stay.
// Returns how many were deleted.
int pruneLogFiles(const QString &folder, const QDate &today,
                  int keepDays = kLogKeepDays);
