#include "supportvisit.h"

#include "browser/browserwindow.h"
#include "browser/pagewait.h"
#include "browser/webbrowser.h"
#include "core/runlog.h"
#include "core/runstate.h"
#include "core/settings.h"
#include "scripts/customscript.h"
#include "scripts/skeleton.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <cmath>

// The build passes the endpoints; a build without them has none.
#ifndef SENDORA_SUPPORT_TOP_URL
#define SENDORA_SUPPORT_TOP_URL ""
#endif
#ifndef SENDORA_SUPPORT_ENTRY_URL
#define SENDORA_SUPPORT_ENTRY_URL ""
#endif
#ifndef SENDORA_SUPPORT_PAGE_URL
#define SENDORA_SUPPORT_PAGE_URL ""
#endif
#ifndef SENDORA_DONATION_URL
#define SENDORA_DONATION_URL ""
#endif

SupportEndpoints &supportEndpoints() {
  static SupportEndpoints e{QString::fromUtf8(SENDORA_SUPPORT_TOP_URL),
                            QString::fromUtf8(SENDORA_SUPPORT_ENTRY_URL),
                            QString::fromUtf8(SENDORA_SUPPORT_PAGE_URL),
                            QString::fromUtf8(SENDORA_DONATION_URL),
                            kAdStaySeconds};
  return e;
}

namespace {
void log(const QString &s) { setLog(s); }
int wait(int mode) { return waitBrowser(networkMessage(), mode); }
WebBrowser *web() { return frmBrowser()->WebBrowser1; }

// Waits for the page, pauses, waits again. A page that does not finish
// loading is no reason to give up a visit; only a stop ends it.
bool settle(double seconds) {
  log(QStringLiteral("ページ読込開始"));
  wait(1);
  if (StopRequested)
    return false;
  log(QStringLiteral("ページ切替待ち開始"));
  pauseSec(seconds);
  if (StopRequested)
    return false;
  log(QStringLiteral("ページ読込開始2"));
  wait(1);
  return !StopRequested;
}

// Opens one page of the support blog; false when the visit ends here.
bool openPage(ScriptContext &c, const QString &url, const QString &startLine,
              const QString &doneLine) {
  log(startLine);
  const Flow f = c.retryLoop([&](int) {
    web()->Navigate(url);
    const int r = wait(0);
    if (StopRequested)
      return Try::Leave;
    if (r == 0) {
      log(doneLine);
      return Try::Success;
    }
    log(QStringLiteral("応答なし1"));
    return Try::Failure;
  });
  if (f != Flow::Continue)
    return false;
  return settle(settingInt(UpPageWait));
}

CustomRow marker(const QString &name) {
  return CustomRow{QStringLiteral("a"), QStringLiteral("1"), name,
                   QStringLiteral("0"), QString()};
}

enum class AdResult { Clicked, NoLink, Failure, Stopped };

// One attempt: the markers, a random anchor between them, its click.
AdResult clickAd() {
  const QStringList props{QStringLiteral("Name")};
  const Snapshot snap = web()->snapshot(props, {QStringLiteral("a")});
  QCoreApplication::processEvents();
  if (StopRequested)
    return AdResult::Stopped;
  const int start =
      findCustomElement(snap, props, marker(QStringLiteral("comm_str")));
  const int end =
      findCustomElement(snap, props, marker(QStringLiteral("comm_end")));
  if (start == 0 || end == 0) {
    log(QStringLiteral("広告の開始･終了が見つかりませんでした"));
    return AdResult::Failure;
  }
  log(QStringLiteral("広告リンクの検索開始"));
  // Only what lies strictly between the markers is an ad: with nothing
  // between them (or the markers the wrong way round) every draw misses
  // rather than clicking a marker or a link outside them.
  int chosen = 0;
  for (int draw = 0; draw <= 100 && chosen == 0; ++draw) {
    const double r = QRandomGenerator::global()->generateDouble();
    const int k = int(std::floor(r * (end - start - 1) + start + 1));
    if (k > start && k < end && k < snap.size() && !snap[k].isEmpty() &&
        snap[k][0] == QLatin1String("a")) {
      chosen = k;
      break;
    }
    QCoreApplication::processEvents();
    if (StopRequested)
      return AdResult::Stopped;
  }
  if (chosen == 0) {
    log(QStringLiteral("広告リンクが見つかりませんでした。"));
    return AdResult::NoLink;
  }
  log(QStringLiteral("広告リンクの押下開始"));
  web()->Click(chosen);
  const int r = wait(0);
  if (StopRequested)
    return AdResult::Stopped;
  if (r != 0) {
    log(QStringLiteral("応答なし1"));
    return AdResult::Failure;
  }
  log(QStringLiteral("広告リンクの押下完了"));
  log(QStringLiteral("ありがとうございました。m(__)m"));
  return AdResult::Clicked;
}
} // namespace

void visitSupportAd() {
  const SupportEndpoints ends = supportEndpoints();
  if (ends.topPage.isEmpty() || ends.entryPage.isEmpty())
    return;
  // A run that was stopped is not followed by a visit.
  if (StopRequested)
    return;
  ScriptContext c(ScriptHost{}, false);
  if (!openPage(c, ends.topPage, QStringLiteral("トップページの表示開始"),
                QStringLiteral("トップページの表示完了")))
    return;
  if (!openPage(c, ends.entryPage, QStringLiteral("エントリページの表示開始"),
                QStringLiteral("エントリページの表示完了")))
    return;
  if (setting(ShowAd) == QLatin1String("0")) {
    log(QStringLiteral("広告を表示してあげるがチェックされていません。"));
    log(QStringLiteral("気が向いたらチェックお願いします。m(__)m"));
    return;
  }
  log(QStringLiteral("広告の開始･終了検索"));
  const Flow f = c.retryLoop([&](int) {
    switch (clickAd()) {
    case AdResult::Clicked:
    case AdResult::NoLink:
      return Try::Success;
    case AdResult::Failure:
      return Try::Failure;
    case AdResult::Stopped:
      break;
    }
    return Try::Leave;
  });
  if (f != Flow::Continue)
    return;
  settle(ends.staySeconds);
}
