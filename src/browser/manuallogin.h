// The prompt that asks the user to type the account into the browser by
// hand, and the wait for it.
#pragma once
#include <QDialog>

class QLabel;
class QPushButton;

class ManualLoginDialog : public QDialog {
  Q_OBJECT
public:
  explicit ManualLoginDialog(QWidget *parent = nullptr);
  QLabel *Label1;
  QPushButton *Command1;

  // OK, the close box and Esc all end the wait.
  void done(int result) override;
};

// The prompt while it is shown, nullptr otherwise.
ManualLoginDialog *frmManual();

// Shows the prompt modelessly and returns once the user pressed OK. Closing
// the prompt (its close box or Esc) counts as OK (the script then presses the
// login button with whatever the user typed); a stop ends the wait too and
// closes the prompt.
void waitManualLogin();
