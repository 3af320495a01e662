#include "itemdialog.h"

#include "core/additems.h"
#include "core/itemlist.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDropEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace {
// Index i of the priority list means priority i + 1; the last entry means
// "do not upload" (0).
const char *const kPriorities[10] = {
    "高い(1)", "　　(2)", "　　(3)", "　　(4)", "普通(5)",
    "　　(6)", "　　(7)", "　　(8)", "低い(9)", "ｱｯﾌﾟﾛｰﾄﾞしない(0)"};
const int kDefaultPriority = 5;
// A long list of refused paths would make a box taller than the screen.
const int kRefusedShown = 10;

} // namespace

bool handleFileDrop(QObject *context, QEvent *event, bool busy,
                    const std::function<void(const QStringList &)> &take) {
  switch (event->type()) {
  case QEvent::DragEnter:
  case QEvent::DragMove: {
    auto *drag = static_cast<QDropEvent *>(event);
    if (!busy && !droppedLocalPaths(drag->mimeData()).isEmpty()) {
      drag->setDropAction(Qt::CopyAction);
      drag->accept();
    } else {
      drag->ignore();
    }
    return true;
  }
  case QEvent::Drop: {
    auto *drop = static_cast<QDropEvent *>(event);
    const QStringList paths = droppedLocalPaths(drop->mimeData());
    if (busy || paths.isEmpty()) {
      drop->ignore();
      return true;
    }
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    QTimer::singleShot(0, context, [take, paths]() { take(paths); });
    return true;
  }
  default:
    return false;
  }
}

QStringList droppedLocalPaths(const QMimeData *data) {
  QStringList paths;
  if (!data)
    return paths;
  for (const QUrl &url : data->urls())
    if (url.isLocalFile() && !url.toLocalFile().isEmpty())
      paths << url.toLocalFile();
  return paths;
}

void reportAddProblems(QWidget *parent, const AddOutcome &outcome) {
  const QString caption = QStringLiteral("Sendora");
  if (outcome.limitReached)
    QMessageBox::information(parent, caption, itemLimitMessage(kItemLimit));
  if (outcome.refused.isEmpty())
    return;
  QStringList lines;
  for (int i = 0; i < outcome.refused.size() && i < kRefusedShown; ++i)
    lines << itemPathProblem(outcome.refused[i]);
  if (outcome.refused.size() > kRefusedShown)
    lines << QStringLiteral("ほか%1件")
                 .arg(outcome.refused.size() - kRefusedShown);
  QMessageBox::information(parent, caption, lines.join(QLatin1Char('\n')));
}

ItemDialog::ItemDialog(int itemsInGrid, QWidget *parent)
    : QDialog(parent), itemsInGrid_(itemsInGrid) {
  setObjectName(QStringLiteral("frmItem"));
  setWindowTitle(QStringLiteral("ｱｲﾃﾑ【追加】"));
  setModal(true);

  lstFile = new QListWidget(this);
  lstFile->setObjectName(QStringLiteral("lstFile"));
  lstFile->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lstFile->setAcceptDrops(true);
  lstFile->viewport()->setAcceptDrops(true);
  lstFile->viewport()->installEventFilter(this);
  lstFile->setMinimumSize(420, 220);

  lblItemCnt = new QLabel(QStringLiteral("0"), this);
  lblItemCnt->setObjectName(QStringLiteral("lblItemCnt"));

  // The priority choice is not offered yet: every new item gets "普通(5)".
  lblYusn = new QLabel(QStringLiteral("優先度"), this);
  lblYusn->setObjectName(QStringLiteral("lblYusn"));
  cmbYusn = new QComboBox(this);
  cmbYusn->setObjectName(QStringLiteral("cmbYusn"));
  for (const char *p : kPriorities)
    cmbYusn->addItem(QString::fromUtf8(p));
  cmbYusn->setCurrentIndex(kDefaultPriority - 1);
  cmbYusn->setEnabled(false);
  lblYusn->setEnabled(false);

  cmdDelete = new QPushButton(QStringLiteral("削除"), this);
  cmdDelete->setObjectName(QStringLiteral("cmdDelete"));
  cmdClear = new QPushButton(QStringLiteral("全ｸﾘｱ"), this);
  cmdClear->setObjectName(QStringLiteral("cmdClear"));
  cmdOK = new QPushButton(QStringLiteral("OK"), this);
  cmdOK->setObjectName(QStringLiteral("cmdOK"));
  cmdCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
  cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
  // Return in the list must not add the files behind the user's back.
  cmdOK->setAutoDefault(false);
  cmdCancel->setAutoDefault(false);
  cmdDelete->setAutoDefault(false);
  cmdClear->setAutoDefault(false);

  auto *count = new QHBoxLayout;
  count->addWidget(new QLabel(QStringLiteral("ﾌｧｲﾙ数"), this));
  count->addWidget(lblItemCnt);
  count->addStretch();
  count->addWidget(lblYusn);
  count->addWidget(cmbYusn);

  auto *buttons = new QHBoxLayout;
  buttons->addWidget(cmdDelete);
  buttons->addWidget(cmdClear);
  buttons->addStretch();
  buttons->addWidget(cmdOK);
  buttons->addWidget(cmdCancel);

  auto *layout = new QVBoxLayout(this);
  layout->addWidget(lstFile);
  layout->addLayout(count);
  layout->addLayout(buttons);

  connect(cmdDelete, &QPushButton::clicked, this, &ItemDialog::deleteSelected);
  connect(cmdClear, &QPushButton::clicked, lstFile, &QListWidget::clear);
  connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void ItemDialog::addPaths(const QStringList &paths) {
  if (adding_ || paths.isEmpty())
    return;
  adding_ = true;
  // The buttons wait until the list is complete.
  cmdOK->setEnabled(false);
  cmdCancel->setEnabled(false);
  // The limit counts what the queue already holds plus what this list
  // would add to it.
  int total = itemsInGrid_ + lstFile->count();
  QStringList pending;
  auto flush = [&]() {
    if (pending.isEmpty())
      return;
    lstFile->addItems(pending);
    pending.clear();
  };
  const AddOutcome outcome = addDroppedPaths(
      paths, total, kItemLimit, [&](const QString &p) { pending << p; },
      [&]() {
        flush();
        QCoreApplication::processEvents();
      });
  flush();
  if (outcome.added > 0) {
    lstFile->clearSelection();
    lstFile->setCurrentRow(lstFile->count() - 1);
    lstFile->scrollToBottom();
  }
  dropped_ += outcome.added;
  lblItemCnt->setText(QString::number(dropped_));
  cmdOK->setEnabled(true);
  cmdCancel->setEnabled(true);
  cmdOK->setFocus();
  adding_ = false;
  reportAddProblems(this, outcome);
}

QStringList ItemDialog::paths() const {
  QStringList out;
  out.reserve(lstFile->count());
  for (int i = 0; i < lstFile->count(); ++i)
    out << lstFile->item(i)->text();
  return out;
}

int ItemDialog::priority() const {
  const int i = cmbYusn->currentIndex();
  return i >= 0 && i < 9 ? i + 1 : 0;
}

void ItemDialog::deleteSelected() {
  for (int i = lstFile->count() - 1; i >= 0; --i)
    if (lstFile->item(i)->isSelected())
      delete lstFile->takeItem(i);
}

bool ItemDialog::eventFilter(QObject *watched, QEvent *event) {
  if (watched != lstFile->viewport())
    return QDialog::eventFilter(watched, event);
  if (handleFileDrop(this, event, adding_,
                     [this](const QStringList &paths) { addPaths(paths); }))
    return true;
  return QDialog::eventFilter(watched, event);
}
