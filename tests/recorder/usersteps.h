// What a user does in the recorder's browser: real mouse clicks and key
// presses on the page, so that the page sees trusted events.
#pragma once
#include "browser/webbrowser.h"
#include "testsupport.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QMouseEvent>
#include <QTest>

inline QWidget *inputTarget(WebBrowser *b) {
  return b->focusProxy() ? b->focusProxy() : b;
}

// Clicks the centre of the first element that matches the CSS selector.
inline bool userClick(WebBrowser *b, const QString &selector) {
  const QVariantList r =
      b->evaluate(QStringLiteral(
                      "(function(){var e=document.querySelector('%1');"
                      "if(!e)return null;e.scrollIntoView({block:'center'});"
                      "var r=e.getBoundingClientRect();"
                      "return [r.left+r.width/2,r.top+r.height/2];})()")
                      .arg(selector))
          .toList();
  if (r.size() != 2)
    return false;
  const QPointF at(r[0].toDouble() * b->zoomFactor(),
                   r[1].toDouble() * b->zoomFactor());
  QWidget *t = inputTarget(b);
  QMouseEvent press(QEvent::MouseButtonPress, at, t->mapToGlobal(at),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, at, t->mapToGlobal(at),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(t, &press);
  QApplication::sendEvent(t, &release);
  return true;
}

// Types into the focused field: Latin letters as key presses, the rest
// committed through the input method, as a Japanese user's would be.
inline void userType(WebBrowser *b, const QString &latin,
                     const QString &committed = QString()) {
  QTest::keyClicks(inputTarget(b), latin);
  if (!committed.isEmpty()) {
    QInputMethodEvent e;
    e.setCommitString(committed);
    QApplication::sendEvent(inputTarget(b), &e);
  }
}

// Waits until the page at an address ending in `path` has loaded.
inline bool waitForPage(WebBrowser *b, const QString &path) {
  return waitFor([&] {
    return b->url().path() == path && !b->Busy() && b->ReadyState() == 4;
  });
}
