// The recorder window: a browser window with a bar above the page that
// asks for one row of the user-defined script after the other. The user
// clicks through the site as usual; each click also becomes the row asked
// for. 終了 hands the recording to the designer, which fills its rows.
#pragma once
#include "recording.h"

#include <QWidget>

class BrowserWindow;
class QLabel;
class QLineEdit;
class QPushButton;
class WebBrowser;

class RecorderWindow : public QWidget {
  Q_OBJECT
public:
  // Opens `startUrl` when it is not empty. A child window of `parent`, so
  // that it takes input while the designer is modal.
  RecorderWindow(const QString &startUrl, QWidget *parent);
  ~RecorderWindow() override;

  BrowserWindow *browserWindow; // the browser, its status and progress
  WebBrowser *browser() const;
  QLineEdit *txtUrl;
  QPushButton *cmdGo;
  QLabel *lblRow;  // the row asked for
  QLabel *lblNote; // what the last click gave
  QPushButton *cmdSkip;
  QPushButton *cmdBack;
  QPushButton *cmdEnd;

  const CustomRecording &recording() const { return recording_; }

signals:
  // 終了 was pressed; the window closes after this.
  void finished();

private:
  void showRow();
  void showNote(const QString &text);

  CustomRecording recording_;
};
