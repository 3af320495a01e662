#include "pagescan.h"

QString trimSpaces(const QString &s) {
  int b = 0, e = s.size();
  while (b < e && s[b] == QLatin1Char(' '))
    ++b;
  while (e > b && s[e - 1] == QLatin1Char(' '))
    --e;
  return s.mid(b, e - b);
}

bool matches(const Target &t, const QString &value) {
  switch (t.match) {
  case Match::Exact:
    return trimSpaces(value).toLower() == t.text;
  case Match::ExactCase:
    return trimSpaces(value) == t.text;
  case Match::Contains:
    return trimSpaces(value).contains(t.text, Qt::CaseSensitive);
  case Match::Alt: {
    QString v = value;
    v.remove(QLatin1Char('\t'));
    return trimSpaces(v).toLower() == t.text;
  }
  }
  return false;
}

namespace {
QString propertyOf(const Target &t) {
  return t.match == Match::Alt ? QStringLiteral("alt") : t.property;
}
} // namespace

QStringList scanProperties(const QVector<Target> &targets) {
  QStringList props;
  for (const Target &t : targets) {
    if (!props.contains(propertyOf(t)))
      props << propertyOf(t);
    if (t.collectOptions && !props.contains(QStringLiteral("innerText")))
      props << QStringLiteral("innerText");
  }
  return props;
}

QStringList scanTags(const QVector<Target> &targets) {
  QStringList tags;
  for (const Target &t : targets) {
    if (!tags.contains(t.tag))
      tags << t.tag;
    if (t.collectOptions && !tags.contains(QStringLiteral("option")))
      tags << QStringLiteral("option");
  }
  return tags;
}

QVector<QStringList> scanTagProperties(const QVector<Target> &targets) {
  const QStringList tags = scanTags(targets);
  QVector<QStringList> props(tags.size());
  auto add = [&](const QString &tag, const QString &p) {
    QStringList &l = props[tags.indexOf(tag)];
    if (!l.contains(p))
      l << p;
  };
  for (const Target &t : targets) {
    add(t.tag, propertyOf(t));
    if (t.collectOptions)
      add(QStringLiteral("option"), QStringLiteral("innerText"));
  }
  return props;
}

ScanResult scanSnapshot(const Snapshot &rows, const QStringList &properties,
                        const QVector<Target> &targets) {
  ScanResult r;
  r.index.fill(0, targets.size());
  QVector<int> column(targets.size());
  for (int k = 0; k < targets.size(); ++k)
    column[k] = properties.indexOf(propertyOf(targets[k])) + 1;
  const int textColumn = properties.indexOf(QStringLiteral("innerText")) + 1;

  for (int i = 0; i < rows.size(); ++i) {
    const QStringList &row = rows[i];
    if (row.isEmpty())
      continue;
    for (int k = 0; k < targets.size(); ++k) {
      const Target &t = targets[k];
      if (row[0] != t.tag || column[k] <= 0 || column[k] >= row.size())
        continue;
      if (!matches(t, row[column[k]]))
        continue;
      r.index[k] = i;
      if (t.collectOptions) {
        for (int j = i + 1; j < rows.size() && !rows[j].isEmpty() &&
                            rows[j][0] == QLatin1String("option");
             ++j)
          r.options.append({textColumn > 0 && textColumn < rows[j].size()
                                ? rows[j][textColumn]
                                : QString(),
                            j});
      }
      if (t.hit == Hit::First)
        return r;
    }
  }
  return r;
}
