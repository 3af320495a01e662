// The version dialog: the program's version, the blogs it serves, links to
// the maker's support and donation pages, and the opt-in for the visit to
// the support blog after a complete run.
#pragma once
#include <QDialog>
#include <QUrl>

#include <functional>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;

class frmVersion : public QDialog {
  Q_OBJECT
public:
  explicit frmVersion(QWidget *parent = nullptr);

  QLabel *lblName;
  QLabel *lblVer;
  QLabel *lblVersion;
  QListWidget *List1;
  QLabel *lblNotice;
  QLabel *lblUrl; // the support page
  QLabel *Label5; // the donation page
  QCheckBox *chkTip;
  QPushButton *Command1;

  // Opens a page in the desktop's browser; tests replace it.
  static std::function<void(const QUrl &)> &urlOpener();

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;

private:
  void okPressed();
  void setLinkColour(QLabel *label, bool hover);
};

// The colours of the two links.
inline constexpr unsigned kLinkColour = 0x0000FF;
inline constexpr unsigned kLinkHoverColour = 0x00FFFF;
