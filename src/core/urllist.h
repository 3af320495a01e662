#pragma once
#include <QString>

inline const char *const kUrlListFileName = "UrlList.txt";

// Appends one record "path TAB address" to the URL list; earlier lines are
// never touched. A TAB or line break inside either field would break the
// two-field layout, so it is written as a blank.
bool addUrlList(const QString &listPath, const QString &filePath,
                const QString &url);
