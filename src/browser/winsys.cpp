#include "winsys.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHash>
#include <QLineEdit>
#include <QPointer>

namespace {
struct Registry {
  QHash<WindowHandle, QPointer<QWidget>> byHandle;
  QHash<QWidget *, WindowHandle> byWidget;
  WindowHandle next = 0x1000;
  quint64 order = 0;
  QHash<QWidget *, quint64> firstSeen;
};

Registry &registry() {
  static Registry r;
  return r;
}

QVector<QWidget *> directChildren(QWidget *parent) {
  QVector<QWidget *> out;
  for (QObject *o : parent->children())
    if (auto *w = qobject_cast<QWidget *>(o))
      out << w;
  return out;
}

bool isClass(QWidget *w, const QString &className) {
  if (className == QLatin1String("Edit"))
    return qobject_cast<QLineEdit *>(w) != nullptr;
  if (className == QLatin1String("ComboBoxEx32")) {
    auto *c = qobject_cast<QComboBox *>(w);
    return c && c->isEditable();
  }
  if (className == QLatin1String("Button"))
    return qobject_cast<QAbstractButton *>(w) != nullptr;
  return false;
}
} // namespace

WindowHandle windowHandleOf(QWidget *w) {
  if (!w)
    return 0;
  Registry &r = registry();
  auto it = r.byWidget.find(w);
  if (it != r.byWidget.end() && r.byHandle.value(*it) == w)
    return *it;
  const WindowHandle h = r.next++;
  r.byHandle.insert(h, w);
  r.byWidget.insert(w, h);
  QObject::connect(w, &QObject::destroyed, [w, h] {
    registry().byWidget.remove(w);
    registry().byHandle.remove(h);
    registry().firstSeen.remove(w);
  });
  return h;
}

QWidget *widgetOf(WindowHandle h) {
  return registry().byHandle.value(h).data();
}

QVector<WindowHandle> topLevelWindows() {
  Registry &r = registry();
  QList<QWidget *> all = QApplication::topLevelWidgets();
  for (QWidget *w : all)
    if (!r.firstSeen.contains(w))
      r.firstSeen.insert(w, r.order++);
  std::stable_sort(all.begin(), all.end(), [&r](QWidget *a, QWidget *b) {
    return r.firstSeen.value(a) < r.firstSeen.value(b);
  });
  QVector<WindowHandle> out;
  for (QWidget *w : all)
    if (w->isWindow())
      out << windowHandleOf(w);
  return out;
}

QString windowCaption(WindowHandle h) {
  QWidget *w = widgetOf(h);
  if (!w)
    return {};
  if (auto *b = qobject_cast<QAbstractButton *>(w))
    return b->text();
  return w->windowTitle();
}

bool isWindowVisible(WindowHandle h) {
  QWidget *w = widgetOf(h);
  return w && w->isVisible();
}

WindowHandle findWindowByCaption(const QString &caption) {
  for (WindowHandle h : topLevelWindows())
    if (windowCaption(h) == caption)
      return h;
  return 0;
}

WindowHandle findChildWindow(WindowHandle parent, const QString &className,
                             const QString &caption) {
  QWidget *p = widgetOf(parent);
  if (!p)
    return 0;
  QVector<QWidget *> candidates = directChildren(p);
  if (className == QLatin1String("Button"))
    for (QWidget *c : directChildren(p))
      if (qobject_cast<QDialogButtonBox *>(c))
        candidates += directChildren(c);
  for (QWidget *c : candidates) {
    if (!isClass(c, className))
      continue;
    if (!caption.isEmpty()) {
      auto *b = qobject_cast<QAbstractButton *>(c);
      if (!b || b->text() != caption)
        continue;
    }
    return windowHandleOf(c);
  }
  return 0;
}

QVector<WindowHandle> fileChooserWindows() {
  QVector<WindowHandle> out;
  for (WindowHandle h : topLevelWindows())
    if (qobject_cast<QFileDialog *>(widgetOf(h)))
      out << h;
  return out;
}

WindowHandle findFileChooser(const QString &caption) {
  for (WindowHandle h : fileChooserWindows())
    if (windowCaption(h) == caption)
      return h;
  return 0;
}

int setWindowText(WindowHandle h, const QString &text) {
  QWidget *w = widgetOf(h);
  if (!w || !w->isEnabled())
    return 0;
  if (auto *e = qobject_cast<QLineEdit *>(w)) {
    if (e->isReadOnly())
      return 0;
    e->setText(text);
    return 1;
  }
  if (auto *c = qobject_cast<QComboBox *>(w)) {
    if (!c->isEditable())
      return 0;
    c->setEditText(text);
    return 1;
  }
  return 0;
}

int clickButton(WindowHandle h) {
  auto *b = qobject_cast<QAbstractButton *>(widgetOf(h));
  if (!b)
    return 0;
  b->click();
  return 0;
}

void endActiveModal() {
  // Only a file chooser: the program's own modal windows (the settings,
  // the title test) are never closed in its place.
  auto *chooser =
      qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
  const QVector<WindowHandle> all = fileChooserWindows();
  for (auto it = all.rbegin(); !chooser && it != all.rend(); ++it)
    if (isWindowVisible(*it))
      chooser = qobject_cast<QFileDialog *>(widgetOf(*it));
  if (chooser)
    chooser->reject();
}

void forceForeground(WindowHandle h) {
  if (QWidget *w = widgetOf(h)) {
    w->raise();
    w->activateWindow();
  }
}
