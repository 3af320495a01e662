// The user-defined script: sixteen element rows and one flag line kept in
// "Custom.sdr", written by the designer and run instead of a built-in
// script when the user asks for it. The file format and the element finder
// are plain functions so that they can be checked without a browser.
#pragma once
#include "pagescan.h"

#include <QString>
#include <QStringList>
#include <QVector>

struct ScriptHost;

inline const char *const kCustomFileName = "Custom.sdr";
inline constexpr int kCustomRowCount = 16;
// Sixteen rows and the flag line.
inline constexpr int kCustomLineCount = kCustomRowCount + 1;
// In the file-name row's value, stands for the item's file name.
inline const char *const kFileNamePlaceholder = "(*FileName*)";

// The fixed roles of the rows.
enum CustomRowRole {
  RowSignIn = 0,
  RowUserId,
  RowPassword,
  RowLoginButton,
  RowLoggedIn,
  RowLink1,
  RowLink2,
  RowThumbnail,
  RowBrowse,
  RowFileName,
  RowField1,
  RowField5 = RowField1 + 4,
  RowSubmit
};

// One row as written in the file; the codes stay text, the way they are
// compared ("1" clicks, "2" sets the value, ...).
struct CustomRow {
  QString tag; // element name, compared as written
  QString attribute =
      QStringLiteral("0"); // "0" unused, "1" Name, "2" Value, "3" innerText,
                           // "4" Alt, "5" Type; anything else finds nothing
  QString search;          // compared trimmed and without regard to case
  QString action = QStringLiteral(
      "0");      // "0" nothing, "1" Click, "2" Value, "3" file hand-off
  QString value; // text for the Value action

  // A row takes part in the run when its attribute code is not 0.
  bool inUse() const;
};

struct CustomScript {
  QVector<CustomRow> rows = QVector<CustomRow>(kCustomRowCount);
  bool backAfterUpload = false;
};

// Why a file could not be taken as a script: a number and a description
// that names the file and, where it applies, the line.
struct CustomScriptError {
  int number = 0;
  QString description;
};

// Reads and checks the file. A missing file, fewer than 17 lines, a row
// line without exactly five TAB-separated fields, a flag line without its
// second field, or an attribute code that is not a whole number make it
// fail with a description. Lines after the 17th are not read.
bool loadCustomScript(const QString &path, CustomScript &script,
                      CustomScriptError *error = nullptr);

// The file's lines for a script. Fields cannot carry a TAB or a line
// break; such characters are removed (see cleanCustomField).
QStringList customScriptLines(const CustomScript &script);
// Writes the file whole through a temporary file; readable by the user
// alone, since the login rows usually hold the password.
bool saveCustomScript(const QString &path, const CustomScript &script);
// The text without TABs and line breaks, which the format cannot hold.
QString cleanCustomField(const QString &text);

// The element property an attribute code compares; empty when the code
// finds nothing.
QString customProperty(const QString &attributeCode);
// Properties and tags a snapshot must carry to find these rows.
QStringList customScanProperties(const QVector<CustomRow> &rows);
QStringList customScanTags(const QVector<CustomRow> &rows);

// The element index of the row in a snapshot (rows: trimmed lower-cased
// nodename, then the values of `properties`); 0 when not found. With Name
// the last matching element wins, with the other codes the first.
int findCustomElement(const Snapshot &snapshot, const QStringList &properties,
                      const CustomRow &row);

// The run: one pass over the queue driven by the rows of the data
// folder's "Custom.sdr". True when the item walk reached its end without a
// stop.
bool runCustomScript(const ScriptHost &host);
