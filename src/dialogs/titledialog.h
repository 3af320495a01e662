// ファイルダイアログの動作確認: finds the caption of the file chooser that
// the browser opens. It shows the user the real chooser on a local test
// page, lets them pick or type its caption, tries the choice with the real
// file-dialog automation and leaves the result in DlgTitle.
#pragma once
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

// The test page that ships beside the executable.
QString titleTestPage();

class TitleDialog : public QWidget {
  Q_OBJECT
public:
  explicit TitleDialog(QWidget *parent = nullptr);
  ~TitleDialog() override;

  QPushButton *Command3; // ① show the chooser
  QLabel *Label1;
  QRadioButton *Option1;
  QRadioButton *Option2;
  QRadioButton *Option3;
  QRadioButton *Option4;
  QLineEdit *Text1;
  QPushButton *Command2; // ③ test the choice
  QPushButton *Command1; // ④ done
  QLabel *Label2;
  // Closes a chooser left open in show mode.
  QTimer *Timer1;
  // This window's own file-dialog service, without logging.
  QTimer *tmrSansho;

  bool pageRunning() const { return running_; }

protected:
  void closeEvent(QCloseEvent *event) override;

private:
  void build();
  void load();
  void optionStep();
  bool applyChoice();
  bool pageExists();
  void showChooser();
  void testChoice();
  void finish();
  void pageRun(bool testMode);
  void pageRunSteps(bool testMode);
  void setRunning(bool running);
  void forgottenChooser();
  void sanshoTick();

  bool running_ = false;
};

// Shows the title test and waits, keeping events flowing, until the user
// has finished with it (④ or the window's close box).
void runTitleTest(QWidget *parent);
