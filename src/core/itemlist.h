// The upload queue. The main window's grid shows this model and every part
// of the program reads and writes the items here; there is no second copy.
// Items are numbered from 0 in queue order (the grid's header row is not an
// item).
#pragma once
#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

enum ItemColumn { ColStatus = 0, ColFolder, ColName, ColPriority };

inline const QString kDoneMark = QStringLiteral("済");
inline const char *const kListFileName = "Default.sdr";
inline const int kItemLimit = 10000;

struct ItemRow {
  QString status;   // empty or "済"
  QString folder;   // ends with "/"
  QString name;     // file name without folder
  QString priority; // one digit, "5" by default
  QString path() const { return folder + name; }
  bool done() const { return status == kDoneMark; }
};

// Splits a full path after its last "/": the folder keeps the "/".
ItemRow itemFromPath(const QString &path, int priority);

class ItemListModel : public QAbstractTableModel {
  Q_OBJECT
public:
  explicit ItemListModel(QObject *parent = nullptr);

  int rowCount(const QModelIndex &parent = {}) const override;
  int columnCount(const QModelIndex &parent = {}) const override;
  QVariant data(const QModelIndex &index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role) const override;

  int itemCount() const { return rows_.size(); }
  const ItemRow &item(int i) const { return rows_[i]; }
  const QVector<ItemRow> &items() const { return rows_; }
  void setStatus(int i, const QString &status);
  bool allDone() const;

  void clear();
  void setItems(const QVector<ItemRow> &rows);
  void appendItems(const QStringList &paths, int priority);
  void removeItems(int first, int last);
  // Moves items first..last one place up or down; returns the new first
  // row of the block (unchanged at either end of the list).
  int moveItems(int first, int last, bool up);
  // Removes ("済を削除") or clears ("済を解除") every done mark.
  void purgeDone(bool remove);

  // Header click on the folder or name column: ascending unless the column
  // is already marked ascending; the other column loses its mark.
  void sortByHeader(int column);
  void resetSortHeaders();
  QString headerText(int column) const { return headers_[column]; }

private:
  QVector<ItemRow> rows_;
  QStringList headers_;
};

// The list file: one line per item, status "," full path "," priority.
// Lines with fewer than three fields are skipped. Missing file: false and
// the model is left as it was. A file that is there but cannot be read:
// false, the model left as it was, a line in the run log, and no save
// replaces the file until it reads again.
bool loadItemList(ItemListModel &model, const QString &path);
bool saveItemList(const ItemListModel &model, const QString &path);

// Why a path cannot be queued (empty when it can): the list file has no
// quoting, so a "," or a line break would corrupt it.
QString itemPathProblem(const QString &path);
