// Text files of the program: written UTF-8 with CR LF line ends; read as
// UTF-8 when the bytes are valid UTF-8, otherwise as CP932 (files carried
// over from a Japanese Windows machine), with CR LF or LF line ends.
#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

QString decodeText(const QByteArray &bytes);

// Lines of the file without their line ends; a final line end does not
// make an extra empty line. Missing or unreadable file: empty list and
// *exists false.
QStringList readTextLines(const QString &path, bool *exists = nullptr);

// What a read found. A file that is there but cannot be read (no
// permission, a folder of that name, an I/O error) is not a missing one:
// the caller must say so, and writeTextLines refuses to replace it until a
// later read of it succeeds, so that what the program holds in its place
// (nothing) never overwrites the user's data.
enum class ReadStatus { Read, Missing, Unreadable };
struct TextFile {
  ReadStatus status = ReadStatus::Missing;
  QStringList lines;
  QString error; // why it could not be read
};
TextFile readTextFile(const QString &path);
// What the user is told about such a file.
QString unreadableMessage(const QString &path, const QString &why);

// false while the file's last read failed: a save must not replace a file
// whose contents were never seen.
bool mayReplaceFile(const QString &path);

// Replaces the file whole: the lines go to a temporary file beside it that
// is renamed over the old one, so a crash or a full disk never leaves half
// a file. privateFile: created readable and writable by the user alone.
// False, the file untouched, when its last read found it unreadable.
bool writeTextLines(const QString &path, const QStringList &lines,
                    bool privateFile = false);

// Appends one line (with CR LF), creating the file when missing.
bool appendTextLine(const QString &path, const QString &line);
