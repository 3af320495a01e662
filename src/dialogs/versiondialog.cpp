#include "versiondialog.h"

#include "supportvisit.h"

#include "core/paths.h"
#include "core/services.h"
#include "core/settings.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

std::function<void(const QUrl &)> &frmVersion::urlOpener() {
  static std::function<void(const QUrl &)> open = [](const QUrl &url) {
    QDesktopServices::openUrl(url);
  };
  return open;
}

frmVersion::frmVersion(QWidget *parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
  setAttribute(Qt::WA_DeleteOnClose, false);
  // The links go back to blue when the mouse moves over the background.
  setMouseTracking(true);

  lblName = new QLabel(QStringLiteral("Sendora"), this);
  QFont big = lblName->font();
  big.setPointSizeF(big.pointSizeF() * 1.6);
  big.setBold(true);
  lblName->setFont(big);
  lblVer = new QLabel(QStringLiteral("Ver"), this);
  lblVersion = new QLabel(QString::fromLatin1(kIniVersion), this);

  List1 = new QListWidget(this);
  List1->setToolTip(QStringLiteral("対応ブログ"));
  for (const BlogService &s : serviceTable())
    List1->addItem(s.displayName + QStringLiteral("対応"));

  lblNotice = new QLabel(
      QStringLiteral("本ソフトはフリーソフトです。ご利用は自己責任でお願いし"
                     "ます。"),
      this);
  lblNotice->setWordWrap(true);

  const SupportEndpoints &ends = supportEndpoints();
  lblUrl = new QLabel(ends.supportPage, this);
  lblUrl->setToolTip(QStringLiteral("サポートページを開きます"));
  Label5 = new QLabel(QStringLiteral("寄付・カンパを受け付けております"), this);
  Label5->setToolTip(QStringLiteral("もし気が向いたらお願いします。(^-^)にこ"));
  for (QLabel *l : {lblUrl, Label5}) {
    QFont f = l->font();
    f.setUnderline(true);
    l->setFont(f);
    l->setCursor(Qt::PointingHandCursor);
    l->installEventFilter(this);
    setLinkColour(l, false);
  }
  // A build without the maker's pages has nothing to link to.
  lblUrl->setVisible(!ends.supportPage.isEmpty());
  Label5->setVisible(!ends.donationPage.isEmpty());

  chkTip = new QCheckBox(
      QStringLiteral("全てのｱｲﾃﾑのｱｯﾌﾟﾛｰﾄﾞ完了後に\n広告を表示してあげる"),
      this);
  chkTip->setToolTip(
      QStringLiteral("気が向いたらご協力をお願いします。m(__)m"));
  chkTip->setChecked(isOn(ShowAd));

  Command1 = new QPushButton(QStringLiteral("OK"), this);
  Command1->setDefault(true);
  connect(Command1, &QPushButton::clicked, this, &frmVersion::okPressed);

  auto *top = new QHBoxLayout;
  top->addWidget(lblName);
  top->addStretch();
  top->addWidget(lblVer);
  top->addWidget(lblVersion);

  auto *buttons = new QHBoxLayout;
  buttons->addWidget(chkTip);
  buttons->addStretch();
  buttons->addWidget(Command1);

  auto *v = new QVBoxLayout(this);
  v->addLayout(top);
  v->addWidget(List1);
  v->addWidget(lblNotice);
  v->addWidget(lblUrl);
  v->addWidget(Label5);
  v->addLayout(buttons);
  resize(360, 380);
}

void frmVersion::setLinkColour(QLabel *label, bool hover) {
  QPalette p = label->palette();
  p.setColor(QPalette::WindowText,
             QColor::fromRgb(hover ? kLinkHoverColour : kLinkColour));
  label->setPalette(p);
}

bool frmVersion::eventFilter(QObject *watched, QEvent *event) {
  auto *label = qobject_cast<QLabel *>(watched);
  if (label == lblUrl || label == Label5) {
    switch (event->type()) {
    case QEvent::Enter:
      setLinkColour(label, true);
      break;
    case QEvent::Leave:
      setLinkColour(label, false);
      break;
    case QEvent::MouseButtonRelease:
      if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        const SupportEndpoints &ends = supportEndpoints();
        const QString url =
            label == lblUrl ? ends.supportPage : ends.donationPage;
        if (!url.isEmpty() && urlOpener())
          urlOpener()(QUrl(url));
      }
      return true;
    default:
      break;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void frmVersion::mouseMoveEvent(QMouseEvent *event) {
  setLinkColour(lblUrl, false);
  setLinkColour(Label5, false);
  QDialog::mouseMoveEvent(event);
}

void frmVersion::okPressed() {
  setting(ShowAd) =
      chkTip->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
  saveSettings(dataFile(QString::fromLatin1(kSettingsFileName)));
  accept();
}
