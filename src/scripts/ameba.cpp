#include "ameba.h"

#include "skeleton.h"

#include "browser/webbrowser.h"

#include "core/itemlist.h"
#include "core/runlog.h"
#include "core/settings.h"

#include <QCoreApplication>

namespace {
// The Ameba pages as the script sees them. Texts compared without case are
// written in lower case.
const Target kAccount{"input", "Name", Match::Exact, "amebaid"};
const Target kPassword{"input", "Name", Match::Exact, "password"};
const Target kLoginButton{"input", "alt", Match::Exact,
                          "ameba (アメーバ)ログイン", Hit::First};
// A logged-in page shows the account id block, followed by a link to the
// account's own pages.
const Target kAccountBlock{"h2", "Id", Match::Exact, "amebaid"};
const Target kFileInput{"input", "Name", Match::Exact, "image_file[0]"};
const Target kTitle{"input", "Name", Match::Exact, "image_title[0]"};
const Target kSubmit{"input", "Value", Match::Exact, "アップロード",
                     Hit::First};
const Target kLogout{"a", "innerText", Match::Exact, "ログアウト", Hit::First};

const QString kButtonText = QStringLiteral("Ameba (アメーバ)ログイン");

LoginForm loginForm() {
  LoginForm f{kAccount, kPassword, kLoginButton, std::nullopt, false};
  f.pressLine = kButtonText + QStringLiteral("押下");
  f.doneLine = kButtonText + QStringLiteral("押下完了");
  f.companionTool = false;
  return f;
}

void log(const QString &s) { setLog(s); }

class AmebaScript {
public:
  explicit AmebaScript(const ScriptHost &host) : c(host, false) {}

  bool run() {
    return c.run({
        [&] { return c.openStartPage(); },
        [&] { return logIn(); },
        [&] { return longSettle(); },
        [&] { return c.checkLogin(kAccount); },
        [&] { return link(QStringLiteral("記事を書く")); },
        [&] { return link(QStringLiteral("画像フォルダ")); },
        [&] {
          return c.uploadItems(QStringLiteral("参照ボタン・アップロード検索"),
                               [&](int row) { return uploadRow(row); });
        },
        [&] {
          return c.logOut(kLogout, false, QStringLiteral("ログアウト"),
                          [&] { return longSettle(); });
        },
    });
  }

private:
  // The pages keep loading parts of themselves long after they are shown.
  Flow longSettle() {
    return c.settleSequence({QStringLiteral("ページ切替待ち開始"),
                             QStringLiteral("ページ切替待ち開始")},
                            settingInt(UpPageWait));
  }

  Flow link(const QString &text) {
    const Flow f = c.followLinkOnce(text);
    return f != Flow::Continue ? f : longSettle();
  }

  Flow logIn() {
    log(kButtonText + QStringLiteral("検索"));
    const LoginForm form = loginForm();
    return c.retryLoop([&](int) {
      const ScanResult s = c.scanPage({kAccount, kPassword, kLoginButton});
      if (c.stopped())
        return Try::Leave;
      if (s.found(0) && s.found(1) && s.found(2))
        return c.pressLoginForm(form, s, 0, 1, 2);
      const bool own = accountShown(s.found(2) ? s[2] : -1);
      if (c.stopped())
        return Try::Leave;
      if (own) {
        log(QStringLiteral("既にログインされている?"));
        return Try::Success;
      }
      log(kButtonText + QStringLiteral("が見つかりませんでした"));
      return Try::Failure;
    });
  }

  // The account id block counts only when the element right after it links
  // to this account. The login button ends the page's scan, so nothing at
  // or after `end` is looked at; -1 looks at the whole page.
  bool accountShown(int end) {
    const QStringList props{QStringLiteral("Id"), QStringLiteral("href")};
    const Snapshot rows = c.web()->snapshot(props);
    QCoreApplication::processEvents();
    const QString account = setting(UserId);
    const int last = end < 0 ? rows.size() : qMin(end, int(rows.size()));
    bool found = false;
    for (int i = 0; i < last; ++i) {
      const QStringList &r = rows[i];
      if (r.size() > 1 && r[0] == kAccountBlock.tag &&
          matches(kAccountBlock, r[1]) && i + 1 < rows.size() &&
          rows[i + 1].size() > 2 &&
          trimSpaces(rows[i + 1][2]).contains(account, Qt::CaseSensitive))
        found = true;
    }
    return found && !account.isEmpty();
  }

  Try uploadRow(int row) {
    const ScanResult s = c.scanPage({kFileInput, kTitle, kSubmit});
    if (c.stopped())
      return Try::Leave;
    if (!s.found(0) || !s.found(1) || !s.found(2)) {
      if (!s.found(0))
        log(QStringLiteral("参照ボタンが見つかりませんでした"));
      if (!s.found(1))
        log(QStringLiteral("タイトルが見つかりませんでした"));
      if (!s.found(2))
        log(QStringLiteral("アップロードが見つかりませんでした"));
      return Try::Failure;
    }
    log(QStringLiteral("アップロード情報入力"));
    c.setValue(s[1], c.host.items->item(row).name);
    Try t = c.handOffFile(s[0], c.itemPath(row));
    if (t != Try::Success)
      return t;
    t = c.submitUpload(s[2], QString(), QStringLiteral("アップロード"),
                       QStringLiteral("ページ読込開始"));
    if (t != Try::Success)
      return t;
    // The item counts as done only once the page has settled after it; a
    // stop meanwhile leaves it pending.
    const Flow f = c.settleSequence({QStringLiteral("ページ切替待ち開始"),
                                     QStringLiteral("ページ切替待ち開始2"),
                                     QStringLiteral("ページ切替待ち開始2")},
                                    settingInt(UpPageWait));
    if (f == Flow::Quiet)
      return Try::Leave;
    if (f != Flow::Continue)
      return Try::Error;
    c.markDone(row);
    return Try::Success;
  }

  ScriptContext c;
};
} // namespace

ServiceScript amebaScript() {
  return [](const ScriptHost &host) { return AmebaScript(host).run(); };
}
