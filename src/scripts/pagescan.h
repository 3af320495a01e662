// Finding elements on a page: the matching rules as plain functions over a
// snapshot of the page's element list, so that they can be tested without
// a browser.
#pragma once
#include <QString>
#include <QStringList>
#include <QVector>

enum class Match {
  Exact,     // trimmed, lower-cased property equals the text
  ExactCase, // trimmed property equals the text
  Contains,  // trimmed property contains the text (case-sensitive)
  Alt        // "alt" without TABs, trimmed, lower-cased, equals the text
};

enum class Hit {
  First, // the first match ends the whole scan
  Last   // keeps scanning; the last match wins
};

struct Target {
  QString tag;      // lower-case element name: "input", "a", ...
  QString property; // "Name", "Value", "innerText", "alt", ...
  Match match;
  QString text;
  Hit hit = Hit::Last;
  // A hit also collects the option elements that follow it (drop-down
  // lists); each hit adds its options.
  bool collectOptions = false;
};

struct Option {
  QString text;
  int index;
};

struct ScanResult {
  QVector<int> index; // per target, 0 when not found
  QVector<Option> options;
  int operator[](int target) const { return index[target]; }
  bool found(int target) const { return index[target] > 0; }
};

// A snapshot row: the element's trimmed lower-cased nodename, then the
// values of `properties` in order.
using Snapshot = QVector<QStringList>;

// The properties and tags a snapshot needs for these targets.
QStringList scanProperties(const QVector<Target> &targets);
QStringList scanTags(const QVector<Target> &targets);
// Per tag of scanTags, the properties its targets read (option elements:
// their text), so that a snapshot reads nothing else of that tag.
QVector<QStringList> scanTagProperties(const QVector<Target> &targets);

// One pass over the element list, targets tested in their order on each
// element.
ScanResult scanSnapshot(const Snapshot &rows, const QStringList &properties,
                        const QVector<Target> &targets);

// Removes space characters (only) from both ends.
QString trimSpaces(const QString &s);

// Does `value` match the target's text by its rule?
bool matches(const Target &t, const QString &value);
