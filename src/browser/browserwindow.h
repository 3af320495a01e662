// The two browser windows the scripts drive: frmBrowser, the primary one,
// and frmBrowser2, which receives pages the primary page opens as new
// windows. Each exists at most once and is created on first use.
#pragma once
#include <QWidget>

class QLabel;
class WebBrowser;

class ProgressBox : public QWidget {
  Q_OBJECT
public:
  using QWidget::QWidget;
  // Fraction of the box filled; the bar only grows until cleared.
  void grow(double ratio);
  void clearBar();
  double filled() const { return filled_; }

protected:
  void paintEvent(QPaintEvent *) override;

private:
  double filled_ = 0;
};

class BrowserWindow : public QWidget {
  Q_OBJECT
public:
  BrowserWindow(bool secondary, QWidget *parent = nullptr);
  ~BrowserWindow() override;

  WebBrowser *WebBrowser1;
  QLabel *picStatus;
  ProgressBox *picProgress;

  // The browser's progress report (current of maximum).
  void showProgress(int current, int maximum);

  // Lets the program close the window (the user cannot).
  void unload();

protected:
  void closeEvent(QCloseEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;

private:
  void load();
  bool secondary_;
  bool unloading_ = false;
};

// Referring to a window creates and shows it when it does not exist yet.
BrowserWindow *frmBrowser();
BrowserWindow *frmBrowser2();
bool browserLoaded();
bool browser2Loaded();
// Closes the primary window (its geometry goes into the settings).
void unloadBrowser();
void unloadBrowser2();
// Deletes every browser window at once, closed ones whose deferred
// deletion is still pending included. Their pages must go before the
// browser profile they share, which the application object deletes with
// its children: a program that ends calls this first (done by itself when
// the event loop quits).
void deleteBrowserWindows();
