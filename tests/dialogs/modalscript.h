// Plays the user's part for modal windows that appear while a test's call
// is still running: answers every message box with its default button and
// keeps its text, and hands any other modal window to the test once.
#pragma once
#include <QtWidgets>

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
    if (!w || !w->isVisible() || handled_.contains(w))
      return;
    auto *box = qobject_cast<QMessageBox *>(w);
    if (!box && !onWindow)
      return;
    handled_ << QPointer<QWidget>(w);
    if (box)
      messages << box->text();
    // Deferred: a click from inside this timer would hold the timer while
    // a window opened by the click waits to be answered.
    QPointer<QWidget> target(w);
    QTimer::singleShot(0, w, [this, target, box] {
      if (!target)
        return;
      if (box && box->defaultButton())
        box->defaultButton()->click();
      else if (box)
        box->accept();
      else if (!onWindow(target))
        handled_.removeAll(target);
    });
  }

  QTimer timer_;
  QVector<QPointer<QWidget>> handled_;
};
