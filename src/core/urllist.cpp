#include "urllist.h"

#include "textfile.h"

namespace {
QString oneField(QString s) {
  for (QChar c : {QLatin1Char('\t'), QLatin1Char('\r'), QLatin1Char('\n')})
    s.replace(c, QLatin1Char(' '));
  return s;
}
} // namespace

bool addUrlList(const QString &listPath, const QString &filePath,
                const QString &url) {
  return appendTextLine(listPath,
                        oneField(filePath) + QLatin1Char('\t') + oneField(url));
}
