#include "recording.h"

namespace {
// Attribute codes as the file writes them; with recordProperties() a
// code is also the snapshot column of its property.
enum { Name = 1, Value, InnerText, Alt, Type };

const char *const kPrompts[kCustomRowCount] = {
    "サインインのリンクをクリックしてください",
    "ユーザーIDの入力欄をクリックしてください",
    "パスワードの入力欄をクリックしてください",
    "ログインボタンをクリックしてください",
    "ログイン済みのときだけ表示される要素をクリックしてください",
    "経由ページ1へのリンクをクリックしてください",
    "経由ページ2へのリンクをクリックしてください",
    "サムネイルのチェックボックスをクリックしてください",
    "参照ボタン（ファイルの入力欄）をクリックしてください",
    "ファイル名の入力欄をクリックしてください",
    "項目1の入力欄をクリックしてください",
    "項目2の入力欄をクリックしてください",
    "項目3の入力欄をクリックしてください",
    "項目4の入力欄をクリックしてください",
    "項目5の入力欄をクリックしてください",
    "アップロードボタンをクリックしてください"};

QString column(const Snapshot &s, int index, int code) {
  const QStringList &e = s[index];
  return code < e.size() ? e[code] : QString();
}

// Something the user types into or picks from, rather than presses.
bool isField(const QString &tag, const QString &type) {
  if (tag == QLatin1String("textarea") || tag == QLatin1String("select"))
    return true;
  static const QStringList pressed{"checkbox", "radio", "submit", "button",
                                   "reset",    "image", "file"};
  return tag == QLatin1String("input") && !pressed.contains(type.toLower());
}

// The codes worth trying for an element, the most telling first. A
// field's Value is what the user typed just now, not what the page will
// show the runner, so fields are never found by it.
QVector<int> codeOrder(const QString &tag, const QString &type) {
  const QString t = type.toLower();
  if (tag == QLatin1String("a"))
    return {InnerText, Name, Alt};
  if (tag == QLatin1String("img"))
    return {Alt, Name};
  if (tag == QLatin1String("button"))
    return {InnerText, Name, Value, Type};
  if (tag == QLatin1String("input")) {
    if (t == QLatin1String("submit") || t == QLatin1String("button") ||
        t == QLatin1String("reset"))
      return {Value, Name, Type};
    if (t == QLatin1String("image"))
      return {Alt, Name, Type};
    if (t == QLatin1String("checkbox") || t == QLatin1String("radio"))
      return {Name, Value, Type};
    return {Name, Type};
  }
  if (isField(tag, type))
    return {Name, Type};
  return {InnerText, Name, Alt};
}
} // namespace

const QStringList &recordProperties() {
  static const QStringList p{QStringLiteral("Name"), QStringLiteral("Value"),
                             QStringLiteral("innerText"), QStringLiteral("alt"),
                             QStringLiteral("Type")};
  return p;
}

Locator chooseLocator(const Snapshot &snapshot, int index) {
  if (index <= 0 || index >= snapshot.size() || snapshot[index].isEmpty())
    return {};
  const QString tag = snapshot[index][0];
  for (int code : codeOrder(tag, column(snapshot, index, Type))) {
    const QString text = trimSpaces(column(snapshot, index, code));
    if (text.isEmpty() || cleanCustomField(text) != text)
      continue;
    CustomRow row;
    row.tag = tag;
    row.attribute = QString::number(code);
    row.search = text;
    if (findCustomElement(snapshot, recordProperties(), row) == index)
      return {tag, row.attribute, text};
  }
  return {tag, QString(), QString()};
}

QString recordPrompt(int row) {
  return row >= 0 && row < kCustomRowCount ? QString::fromUtf8(kPrompts[row])
                                           : QString();
}

CustomRecording::Outcome CustomRecording::click(const Snapshot &snapshot,
                                                int index, int link) {
  if (finished())
    return Ignored;
  const int r = current_;
  // Typing rows want the field itself; for the others, a press on a
  // picture or a word inside a link or button is a press on that link.
  const bool typed = r == RowUserId || r == RowPassword || r == RowFileName;
  QVector<int> candidates;
  if (link > 0 && !typed)
    candidates << link;
  candidates << index;
  for (int c : candidates) {
    const Locator loc = chooseLocator(snapshot, c);
    if (!loc.found())
      continue;
    const QString type = column(snapshot, c, Type);
    CustomRow row{loc.tag, loc.attribute, loc.search, QStringLiteral("1"),
                  QString()};
    forget(r);
    if (typed) {
      row.action = QStringLiteral("2");
      if (r == RowFileName)
        row.value = QString::fromUtf8(kFileNamePlaceholder);
    } else if (r == RowBrowse) {
      if (loc.tag == QLatin1String("input") &&
          type.toLower() == QLatin1String("file"))
        row.action = QStringLiteral("3");
    } else if (r >= RowField1 && r <= RowField5 && isField(loc.tag, type)) {
      row.action = QStringLiteral("2");
      // What the field holds now, until the user types something else.
      row.value = cleanCustomField(column(snapshot, c, Value));
      fields_[c] = r;
    }
    rows_[r] = row;
    states_[r] = Recorded;
    ++current_;
    return Stored;
  }
  return NotUnique;
}

void CustomRecording::forget(int row) {
  for (auto it = fields_.begin(); it != fields_.end();)
    it = it.value() == row ? fields_.erase(it) : std::next(it);
}

void CustomRecording::edit(int index, const QString &value) {
  const auto it = fields_.constFind(index);
  if (it != fields_.constEnd())
    rows_[it.value()].value = cleanCustomField(value);
}

void CustomRecording::skip() {
  if (finished())
    return;
  states_[current_] = Skipped;
  rows_[current_] = CustomRow{};
  forget(current_);
  ++current_;
}

void CustomRecording::back() {
  if (current_ > 0)
    --current_;
}

CustomScript CustomRecording::applyTo(CustomScript script,
                                      const QString &userId,
                                      const QString &password) const {
  for (int r = 0; r < kCustomRowCount; ++r) {
    if (states_[r] == Untouched)
      continue;
    script.rows[r] = rows_[r];
    if (states_[r] == Recorded && r == RowUserId)
      script.rows[r].value = userId;
    if (states_[r] == Recorded && r == RowPassword)
      script.rows[r].value = password;
  }
  return script;
}
