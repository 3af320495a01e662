#include "dialogs.h"

#include "customwiring.h"

#include "kihondialog.h"
#include "optiondialog.h"
#include "titledialog.h"

#include "core/paths.h"
#include "core/textfile.h"
#include "mainwindow/mainwindow.h"

#include <QEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QtWebEngineCore/qtwebenginecoreglobal.h>

namespace {
class SelectAllOnFocus : public QObject {
public:
  using QObject::QObject;

protected:
  bool eventFilter(QObject *watched, QEvent *event) override {
    if (event->type() == QEvent::FocusIn) {
      // Deferred: the mouse press that gave the focus would otherwise
      // place the caret and undo the selection.
      QPointer<QLineEdit> box(qobject_cast<QLineEdit *>(watched));
      QTimer::singleShot(0, box, [box] {
        if (box && box->hasFocus())
          box->selectAll();
      });
    }
    return false;
  }
};

QString &versionOverride() {
  static QString v;
  return v;
}
} // namespace

void selectAllText(QLineEdit *box) {
  box->installEventFilter(new SelectAllOnFocus(box));
}

void showMessage(QWidget *parent, const QString &text) {
  QMessageBox::information(parent, QStringLiteral("Sendora"), text);
}

QString engineMajorVersion() {
  const QString full = QString::fromLatin1(qWebEngineChromiumVersion());
  const int dot = full.indexOf(QLatin1Char('.'));
  return dot > 0 ? full.left(dot) : QString();
}

QString browserMajorVersion() {
  return versionOverride().isEmpty() ? engineMajorVersion() : versionOverride();
}

void overrideBrowserMajorVersion(const QString &version) {
  versionOverride() = version;
}

QString settingsPath() {
  return dataFile(QString::fromLatin1(kSettingsFileName));
}

std::function<void(QWidget *)> &customDesignerHook() {
  static std::function<void(QWidget *)> hook = openCustomDesigner;
  return hook;
}

void installSettingsDialogs(MainWindow *w) {
  w->onKihon = [w] {
    KihonDialog dlg(w);
    dlg.exec();
  };
  w->onOption = [w] {
    OptionDialog dlg(w);
    dlg.exec();
  };
}

SettingsHooks startupSettingsHooks() {
  SettingsHooks hooks;
  hooks.firstStart = [] {
    showMessage(nullptr, QStringLiteral("基本情報を設定してください。"));
    setting(HidePassword) = QStringLiteral("1");
    setting(ShowAd) = QStringLiteral("1");
    KihonDialog dlg;
    dlg.exec();
  };
  hooks.titleTest = [] { runTitleTest(nullptr); };
  hooks.unreadable = [](const QString &path, const QString &why) {
    showMessage(nullptr, unreadableMessage(path, why));
  };
  return hooks;
}
