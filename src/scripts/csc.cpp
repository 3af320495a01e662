#include "csc.h"

#include "skeleton.h"

#include "browser/webbrowser.h"

#include "core/runlog.h"
#include "core/settings.h"

#include <QCoreApplication>

namespace {
// The CSC pages as the script sees them.
const Target kAccount{"input", "Name", Match::Exact, "data[user][email]"};
const Target kPassword{"input", "Name", Match::Exact, "data[user][password]"};
const Target kLoginButton{"input", "Name", Match::Exact, "login", Hit::First};
// A logged-in page greets the account by name.
const Target kGreeting{"div", "Class", Match::Exact, "fb12"};
const Target kFileInput{"input", "Name", Match::Exact,
                        "data[image][file_image1]"};
const Target kSubmit{"input", "Value", Match::Exact, "画像を追加する",
                     Hit::First};
const Target kLogout{"a", "innerText", Match::Exact, "ログアウト", Hit::First};

LoginForm loginForm() {
  LoginForm f{kAccount, kPassword, kLoginButton, std::nullopt, false};
  f.companionTool = false;
  return f;
}

void log(const QString &s) { setLog(s); }

class CscScript {
public:
  explicit CscScript(const ScriptHost &host) : c(host, false) {}

  bool run() {
    return c.run({
        [&] { return c.openStartPage(); },
        [&] { return logIn(); },
        [&] {
          return c.settleSequence({QStringLiteral("ページ切替待ち開始"),
                                   QStringLiteral("ページ切替待ち開始2")},
                                  settingInt(UpPageWait));
        },
        [&] { return c.checkLogin(kAccount); },
        [&] {
          const Flow f = c.followLinkOnce(QStringLiteral("画像の管理"));
          return f != Flow::Continue ? f : c.settlePage(settingInt(UpPageWait));
        },
        [&] {
          return c.uploadItems(QStringLiteral("参照ボタン・アップロード検索"),
                               [&](int row) { return uploadRow(row); });
        },
        [&] {
          return c.logOut(kLogout, false, QStringLiteral("ログアウト"),
                          [&] { return c.settlePage(settingInt(UpPageWait)); });
        },
    });
  }

private:
  Flow logIn() {
    log(QStringLiteral("ログイン検索"));
    const LoginForm form = loginForm();
    return c.retryLoop([&](int) {
      const ScanResult s = c.scanPage({kAccount, kPassword, kLoginButton});
      if (c.stopped())
        return Try::Leave;
      if (s.found(0) && s.found(1) && s.found(2))
        return c.pressLoginForm(form, s, 0, 1, 2);
      const bool greeted = greetingShown(s.found(2) ? s[2] : -1);
      if (c.stopped())
        return Try::Leave;
      if (greeted) {
        log(QStringLiteral("既にログインされている?"));
        return Try::Success;
      }
      log(QStringLiteral("ログインが見つかりませんでした"));
      return Try::Failure;
    });
  }

  // Only a greeting of this very account, letter case and all, counts. The
  // login button ends the page's scan, so a greeting after it (at `end`)
  // is not looked at; -1 looks at the whole page.
  bool greetingShown(int end) {
    const QStringList props{QStringLiteral("Class"),
                            QStringLiteral("innerText")};
    const Snapshot rows = c.web()->snapshot(props, {QStringLiteral("div")});
    QCoreApplication::processEvents();
    const QString wanted =
        QStringLiteral("ようこそ、") + setting(UserId) + QStringLiteral("さん");
    const int last = end < 0 ? rows.size() : qMin(end, int(rows.size()));
    for (int i = 0; i < last; ++i) {
      const QStringList &r = rows[i];
      if (r.size() > 2 && r[0] == kGreeting.tag && matches(kGreeting, r[1]) &&
          trimSpaces(r[2]) == wanted)
        return true;
    }
    return false;
  }

  Try uploadRow(int row) {
    const ScanResult s = c.scanPage({kFileInput, kSubmit});
    if (c.stopped())
      return Try::Leave;
    if (!s.found(0) || !s.found(1)) {
      if (!s.found(0))
        log(QStringLiteral("参照ボタンが見つかりませんでした"));
      if (!s.found(1))
        log(QStringLiteral("画像を追加するが見つかりませんでした"));
      return Try::Failure;
    }
    log(QStringLiteral("アップロード情報入力"));
    Try t = c.handOffFile(s[0], c.itemPath(row));
    if (t != Try::Success)
      return t;
    t = c.submitUpload(s[1], QString(), QStringLiteral("画像を追加する"),
                       QStringLiteral("ページ読込開始"));
    if (t != Try::Success)
      return t;
    // The page offers nothing to confirm the upload by.
    c.markDone(row);
    return Try::Success;
  }

  ScriptContext c;
};
} // namespace

ServiceScript cscScript() {
  return [](const ScriptHost &host) { return CscScript(host).run(); };
}
