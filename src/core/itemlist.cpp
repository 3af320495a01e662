#include "itemlist.h"

#include "runlog.h"
#include "textfile.h"

#include <QFile>

#include <algorithm>
#include <cstdio>

namespace {
const char *const kTitles[4] = {"UP", "ﾌｫﾙﾀﾞ", "ﾌｧｲﾙ名", "優先度"};
const QString kAscending = QStringLiteral("▲");
const QString kDescending = QStringLiteral("▼");

QString title(int column) { return QString::fromUtf8(kTitles[column]); }

const QString &cell(const ItemRow &r, int column) {
  switch (column) {
  case ColStatus:
    return r.status;
  case ColFolder:
    return r.folder;
  case ColName:
    return r.name;
  default:
    return r.priority;
  }
}
} // namespace

ItemRow itemFromPath(const QString &path, int priority) {
  const int cut = path.lastIndexOf(QLatin1Char('/')) + 1;
  return ItemRow{QString(), path.left(cut), path.mid(cut),
                 QString::number(priority)};
}

ItemListModel::ItemListModel(QObject *parent) : QAbstractTableModel(parent) {
  for (int c = 0; c < 4; ++c)
    headers_ << title(c);
}

int ItemListModel::rowCount(const QModelIndex &parent) const {
  return parent.isValid() ? 0 : rows_.size();
}

int ItemListModel::columnCount(const QModelIndex &parent) const {
  return parent.isValid() ? 0 : 4;
}

QVariant ItemListModel::data(const QModelIndex &index, int role) const {
  if (!index.isValid() || index.row() >= rows_.size())
    return {};
  if (role == Qt::DisplayRole)
    return cell(rows_[index.row()], index.column());
  if (role == Qt::TextAlignmentRole &&
      (index.column() == ColStatus || index.column() == ColPriority))
    return int(Qt::AlignCenter);
  return {};
}

QVariant ItemListModel::headerData(int section, Qt::Orientation orientation,
                                   int role) const {
  if (role != Qt::DisplayRole)
    return {};
  if (orientation == Qt::Horizontal && section >= 0 && section < 4)
    return headers_[section];
  return {};
}

void ItemListModel::setStatus(int i, const QString &status) {
  if (i < 0 || i >= rows_.size())
    return;
  rows_[i].status = status;
  emit dataChanged(index(i, ColStatus), index(i, ColStatus));
}

bool ItemListModel::allDone() const {
  return std::all_of(rows_.begin(), rows_.end(),
                     [](const ItemRow &r) { return r.done(); });
}

void ItemListModel::clear() { setItems({}); }

void ItemListModel::setItems(const QVector<ItemRow> &rows) {
  beginResetModel();
  rows_ = rows;
  endResetModel();
}

void ItemListModel::appendItems(const QStringList &paths, int priority) {
  if (paths.isEmpty())
    return;
  beginInsertRows({}, rows_.size(), rows_.size() + paths.size() - 1);
  rows_.reserve(rows_.size() + paths.size());
  for (const QString &p : paths)
    rows_.append(itemFromPath(p, priority));
  endInsertRows();
}

void ItemListModel::removeItems(int first, int last) {
  first = std::max(first, 0);
  last = std::min(last, int(rows_.size()) - 1);
  if (first > last)
    return;
  beginRemoveRows({}, first, last);
  rows_.remove(first, last - first + 1);
  endRemoveRows();
}

int ItemListModel::moveItems(int first, int last, bool up) {
  if (first > last)
    std::swap(first, last);
  first = std::max(first, 0);
  last = std::min(last, int(rows_.size()) - 1);
  if (first > last)
    return first;
  const int n = last - first + 1;
  const int target =
      up ? std::max(first - 1, 0) : std::min(first + 1, int(rows_.size()) - n);
  if (target != first) {
    QVector<ItemRow> block = rows_.mid(first, n);
    beginResetModel();
    rows_.remove(first, n);
    for (int k = 0; k < n; ++k)
      rows_.insert(target + k, block[k]);
    endResetModel();
  }
  resetSortHeaders();
  return target;
}

void ItemListModel::purgeDone(bool remove) {
  beginResetModel();
  if (remove) {
    rows_.erase(std::remove_if(rows_.begin(), rows_.end(),
                               [](const ItemRow &r) { return r.done(); }),
                rows_.end());
  } else {
    for (ItemRow &r : rows_)
      if (r.done())
        r.status.clear();
  }
  endResetModel();
}

void ItemListModel::sortByHeader(int column) {
  if (column != ColFolder && column != ColName)
    return;
  const bool descending = headers_[column] == kAscending + title(column);
  beginResetModel();
  std::stable_sort(rows_.begin(), rows_.end(),
                   [column, descending](const ItemRow &a, const ItemRow &b) {
                     const int c = QString::compare(
                         cell(a, column), cell(b, column), Qt::CaseSensitive);
                     return descending ? c > 0 : c < 0;
                   });
  endResetModel();
  const int other = column == ColFolder ? ColName : ColFolder;
  headers_[other] = title(other);
  headers_[column] = (descending ? kDescending : kAscending) + title(column);
  emit headerDataChanged(Qt::Horizontal, ColFolder, ColName);
}

void ItemListModel::resetSortHeaders() {
  headers_[ColFolder] = title(ColFolder);
  headers_[ColName] = title(ColName);
  emit headerDataChanged(Qt::Horizontal, ColFolder, ColName);
}

bool loadItemList(ItemListModel &model, const QString &path) {
  const TextFile file = readTextFile(path);
  if (file.status == ReadStatus::Unreadable)
    setLog(unreadableMessage(path, file.error));
  if (file.status != ReadStatus::Read)
    return false;
  QVector<ItemRow> rows;
  rows.reserve(file.lines.size());
  for (const QString &line : file.lines) {
    QStringList f = line.split(QLatin1Char(','));
    if (f.size() < 3)
      continue;
    // A path with commas (from a hand-edited file) is everything between
    // the status and the priority.
    const QString status = f.takeFirst();
    const QString priority = f.takeLast();
    ItemRow r = itemFromPath(f.join(QLatin1Char(',')), 0);
    r.status = status;
    r.priority = priority;
    rows.append(r);
  }
  model.setItems(rows);
  return true;
}

bool saveItemList(const ItemListModel &model, const QString &path) {
  // Saved after every finished item, so kept cheap: the lines are built in
  // one buffer and written to a file beside the list that is renamed over
  // it, so that a crash or a full disk never leaves half a list. The bytes
  // are not forced to the disk each time: that costs milliseconds per item
  // and guards only against a power cut, not against the crash of the
  // program, which the rename already covers.
  if (!mayReplaceFile(path))
    return false;
  QByteArray data;
  data.reserve(model.itemCount() * 64);
  for (const ItemRow &r : model.items()) {
    data += r.status.toUtf8();
    data += ',';
    data += r.folder.toUtf8();
    data += r.name.toUtf8();
    data += ',';
    data += r.priority.toUtf8();
    data += "\r\n";
  }
  const QString temporary = path + QStringLiteral(".saving");
  QFile f(temporary);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
    return false;
  bool written = f.write(data) == data.size() && f.flush();
  f.close();
  written = written && f.error() == QFileDevice::NoError;
  if (!written || ::rename(QFile::encodeName(temporary).constData(),
                           QFile::encodeName(path).constData()) != 0) {
    QFile::remove(temporary);
    return false;
  }
  return true;
}

QString itemPathProblem(const QString &path) {
  if (path.contains(QLatin1Char(',')))
    return QStringLiteral("「%1」はファイル名またはフォルダ名に「,」を含むため"
                          "リストに登録できません。")
        .arg(path);
  if (path.contains(QLatin1Char('\n')) || path.contains(QLatin1Char('\r')))
    return QStringLiteral("「%1」はファイル名またはフォルダ名に改行を含むため"
                          "リストに登録できません。")
        .arg(path);
  return {};
}
