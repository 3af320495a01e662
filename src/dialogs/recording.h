// Recording the user-defined script by clicking through the site: which
// row is asked for, and how a clicked element becomes a row that the
// runner's own element search finds again. Plain functions over snapshots,
// so that they can be checked without a browser.
#pragma once
#include "scripts/customscript.h"

#include <QMap>
#include <QString>
#include <QVector>

// The properties a recorded snapshot carries, in this order.
const QStringList &recordProperties();

// How the runner is to find an element: tag, attribute code, search text.
struct Locator {
  QString tag;
  QString attribute; // empty when no code finds the element
  QString search;
  bool found() const { return !attribute.isEmpty(); }
};

// The tag, attribute code and search text with which findCustomElement
// finds exactly element `index` of the snapshot (made with
// recordProperties()). The codes are tried in the order that suits the
// element (a link by its text, a field by its name, an image by its alt,
// ...), each verified with findCustomElement itself. Texts that are empty
// or that the file cannot hold are not used.
Locator chooseLocator(const Snapshot &snapshot, int index);

// What the recorder asks for in row `row`.
QString recordPrompt(int row);

// One recording: the row asked for now, and what each row got.
class CustomRecording {
public:
  enum State { Untouched, Recorded, Skipped };
  enum Outcome { Stored, NotUnique, Ignored };

  int current() const { return current_; }
  bool finished() const { return current_ >= kCustomRowCount; }
  State state(int row) const { return states_[row]; }
  const CustomRow &row(int row) const { return rows_[row]; }

  // A click on element `index` (inside the link or button `link`, 0 if
  // none) of the page in `snapshot`: stores the current row and moves on,
  // or says that no code finds the element.
  Outcome click(const Snapshot &snapshot, int index, int link = 0);
  // A field's new value: the row recorded from that field on the page now
  // shown takes it as its value text.
  void edit(int index, const QString &value);
  // Element indexes belong to one page; a new page forgets them.
  void pageChanged() { fields_.clear(); }
  void skip();
  void back();

  // The designer's rows after the recording: recorded rows replace them,
  // skipped rows are emptied, rows never reached stay as they were. Rows 1
  // and 2 take the user id and password given (from the blog settings).
  CustomScript applyTo(CustomScript script, const QString &userId,
                       const QString &password) const;

private:
  void forget(int row);

  int current_ = 0;
  QVector<State> states_ = QVector<State>(kCustomRowCount, Untouched);
  QVector<CustomRow> rows_ = QVector<CustomRow>(kCustomRowCount);
  QMap<int, int> fields_; // element index on this page -> row
};
