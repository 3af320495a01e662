#include "manuallogin.h"

#include "pagewait.h"

#include "core/runstate.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QPointer<ManualLoginDialog> &instance() {
  static QPointer<ManualLoginDialog> d;
  return d;
}
} // namespace

ManualLoginDialog::ManualLoginDialog(QWidget *parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("ログイン情報入力"));
  setAttribute(Qt::WA_DeleteOnClose);
  Label1 = new QLabel(this);
  Label1->setText(
      QStringLiteral("ツールより起動されたブラウザ上で\n"
                     "ユーザーＩＤ、パスワードを入力してください。\n"
                     "入力が終わりましたらこの画面の\n"
                     "ＯＫボタンを押してください。\n"
                     "(ログインボタン押下から処理を続行します)"));
  Command1 = new QPushButton(QStringLiteral("OK"), this);
  auto *layout = new QVBoxLayout(this);
  layout->addWidget(Label1);
  layout->addWidget(Command1, 0, Qt::AlignHCenter);
  connect(Command1, &QPushButton::clicked, this, &QDialog::accept);
}

void ManualLoginDialog::done(int result) {
  ManualDone = true;
  QDialog::done(result);
}

ManualLoginDialog *frmManual() {
  return instance() && instance()->isVisible() ? instance().data() : nullptr;
}

void waitManualLogin() {
  ManualDone = false;
  if (!instance())
    instance() = new ManualLoginDialog();
  instance()->setModal(false);
  instance()->show();
  while (!ManualDone) {
    if (StopRequested) {
      if (instance())
        instance()->close();
      break;
    }
    timerWait(500);
  }
}
