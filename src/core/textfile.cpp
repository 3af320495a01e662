#include "textfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QStringDecoder>

#include <iconv.h>
#include <sys/stat.h>

namespace {
QString decodeCp932(const QByteArray &bytes) {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == (iconv_t)-1)
    return QString::fromLatin1(bytes);
  QByteArray out;
  out.resize(bytes.size() * 3 + 16);
  char *in = const_cast<char *>(bytes.constData());
  size_t inLeft = bytes.size();
  char *dst = out.data();
  size_t outLeft = out.size();
  while (inLeft > 0) {
    if (iconv(cd, &in, &inLeft, &dst, &outLeft) == (size_t)-1) {
      // An undecodable byte becomes U+FFFD and decoding goes on, so a
      // damaged file still yields its readable lines.
      if (outLeft < 3)
        break;
      memcpy(dst, "\xEF\xBF\xBD", 3);
      dst += 3;
      outLeft -= 3;
      ++in;
      --inLeft;
    }
  }
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return QString::fromUtf8(out);
}

// Files whose last read failed although they exist.
QSet<QString> &unreadableFiles() {
  static QSet<QString> s;
  return s;
}
} // namespace

QString decodeText(const QByteArray &bytes) {
  QStringDecoder utf8(QStringConverter::Utf8);
  QString text = utf8.decode(bytes);
  if (!utf8.hasError())
    return text;
  return decodeCp932(bytes);
}

TextFile readTextFile(const QString &path) {
  TextFile r;
  const QString key = QFileInfo(path).absoluteFilePath();
  QFile f(path);
  if (!f.exists()) {
    unreadableFiles().remove(key);
    return r;
  }
  QByteArray bytes;
  bool ok = f.open(QIODevice::ReadOnly);
  if (ok) {
    bytes = f.readAll();
    ok = f.error() == QFileDevice::NoError;
  }
  if (!ok) {
    r.status = ReadStatus::Unreadable;
    r.error = f.errorString();
    unreadableFiles().insert(key);
    return r;
  }
  unreadableFiles().remove(key);
  r.status = ReadStatus::Read;
  QString text = decodeText(bytes);
  if (text.startsWith(QChar(0xFEFF)))
    text.remove(0, 1);
  r.lines = text.split(QLatin1Char('\n'));
  if (!r.lines.isEmpty() && r.lines.last().isEmpty())
    r.lines.removeLast();
  for (QString &l : r.lines)
    if (l.endsWith(QLatin1Char('\r')))
      l.chop(1);
  return r;
}

QString unreadableMessage(const QString &path, const QString &why) {
  return QStringLiteral("%1 を読み込めません(%2)。このファイルは上書きせず"
                        "そのまま残します。")
      .arg(path, why);
}

QStringList readTextLines(const QString &path, bool *exists) {
  const TextFile f = readTextFile(path);
  if (exists)
    *exists = f.status == ReadStatus::Read;
  return f.lines;
}

bool mayReplaceFile(const QString &path) {
  return !unreadableFiles().contains(QFileInfo(path).absoluteFilePath());
}

bool writeTextLines(const QString &path, const QStringList &lines,
                    bool privateFile) {
  if (!mayReplaceFile(path))
    return false;
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly))
    return false;
  if (privateFile)
    ::fchmod(f.handle(), S_IRUSR | S_IWUSR);
  QByteArray data;
  for (const QString &l : lines) {
    data += l.toUtf8();
    data += "\r\n";
  }
  if (f.write(data) != data.size()) {
    f.cancelWriting();
    return false;
  }
  return f.commit();
}

bool appendTextLine(const QString &path, const QString &line) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
    return false;
  QByteArray data = line.toUtf8() + "\r\n";
  return f.write(data) == data.size();
}
