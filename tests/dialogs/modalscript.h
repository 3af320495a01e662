// Plays the user's part for modal windows that appear while a test's call
// is still running: answers every message box with its default button and
// keeps its text, and hands any other modal window to the test once.
#pragma once
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <QVector>

#include <functional>

class ModalScript {
public:
  // Returns true when it took care of the window.
  std::function<bool(QWidget *)> onWindow;
  QStringList messages;

  ModalScript() {
    timer_.setInterval(20);
    QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
    timer_.start();
  }

  QString lastMessage() const {
    return messages.isEmpty() ? QString() : messages.last();
  }

private:
  void poll() {
    QWidget *w = QApplication::activeModalWidget();
    if (!w || !w->isVisible())
      return;
    if (auto *box = qobject_cast<QMessageBox *>(w)) {
      if (answered_.contains(box))
        return;
      answered_ << box;
      messages << box->text();
      // Deferred: a click from inside this timer would hold the timer
      // while a window opened by the click waits to be answered.
      QPointer<QMessageBox> b(box);
      QTimer::singleShot(0, box, [b] {
        if (!b)
          return;
        if (b->defaultButton())
          b->defaultButton()->click();
        else
          b->accept();
      });
      return;
    }
    for (const QPointer<QWidget> &h : handled_)
      if (h == w)
        return;
    if (!onWindow)
      return;
    handled_ << QPointer<QWidget>(w);
    QPointer<QWidget> target(w);
    QTimer::singleShot(0, w, [this, target] {
      if (target && !onWindow(target))
        handled_.removeAll(target);
    });
  }

  QTimer timer_;
  QVector<QPointer<QMessageBox>> answered_;
  QVector<QPointer<QWidget>> handled_;
};
