// Plays the user's part for modal windows that appear while a test's call
// is still running: message boxes get their default button and their texts
// are kept; any other modal window is handed to the test once.
#pragma once
#include "testsupport.h"

#include <QtWidgets>

#include <functional>

class ModalScript {
  BoxAnswerer boxes_;

public:
  // Returns true when it took care of the window.
  std::function<bool(QWidget *)> onWindow;
  QStringList &messages = boxes_.texts;

  ModalScript() {
    timer_.setInterval(20);
    QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
    timer_.start();
  }

  QString lastMessage() const { return messages.value(messages.size() - 1); }

  // Hands the windows of type T to `act` and leaves the others alone.
  template <class T> void onWindowOf(std::function<void(T *)> act) {
    onWindow = [act](QWidget *w) {
      auto *t = qobject_cast<T *>(w);
      if (t)
        act(t);
      return t != nullptr;
    };
  }

private:
  void poll() {
    QWidget *w = QApplication::activeModalWidget();
    if (!onWindow || !w || !w->isVisible() || qobject_cast<QMessageBox *>(w) ||
        handled_.contains(w))
      return;
    handled_ << QPointer<QWidget>(w);
    // Deferred: a click from inside this timer would hold the timer while
    // a window opened by the click waits to be answered.
    QPointer<QWidget> target(w);
    QTimer::singleShot(0, w, [this, target] {
      if (target && !onWindow(target))
        handled_.removeAll(target);
    });
  }

  QTimer timer_;
  QVector<QPointer<QWidget>> handled_;
};
