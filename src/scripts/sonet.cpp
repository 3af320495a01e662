#include "sonet.h"

#include "skeleton.h"

#include "browser/manuallogin.h"
#include "browser/pagewait.h"
#include "browser/webbrowser.h"

#include "core/runlog.h"
#include "core/settings.h"

#include <QCoreApplication>

namespace {
// The So-net pages as the script sees them.
const Target kMemberAccount{"input", "Name", Match::Exact, "sso_common_id"};
const Target kMemberPassword{"input", "Name", Match::Exact, "sso_common_pwd"};
const Target kMailAccount{"input", "Name", Match::Exact, "mailaddress"};
const Target kMailPassword{"input", "Name", Match::Exact, "password"};
const Target kLoginButton{"input", "Value", Match::ExactCase, "ログイン",
                          Hit::First};
const Target kBackButton{"input", "Value", Match::ExactCase, "戻る"};
const Target kManagementLink{"a", "innerText", Match::Exact, "管理ページ",
                             Hit::First};
const Target kArticlesLink{"a", "innerText", Match::ExactCase, "記事管理",
                           Hit::First};
const Target kReauthButton{"input", "Value", Match::ExactCase, "認証",
                           Hit::First};
const Target kFilesLink{"a", "innerText", Match::ExactCase, "ファイル管理",
                        Hit::First};
const Target kFileInput{"input", "Name", Match::Exact, "upload__file"};
const Target kSubmit{"input", "Value", Match::Exact, "アップロード",
                     Hit::First};

void log(const QString &s) { setLog(s); }
int wait0() { return waitBrowser(networkMessage(), 0); }

// "0" logs in as a So-net member, anything else with a mail address.
bool memberLogin() { return setting(CocologTarget) == QLatin1String("0"); }

class SonetScript {
public:
  explicit SonetScript(const ScriptHost &host) : c(host, false) {}

  bool run() {
    return c.run({
        [&] { return c.openStartPage(); },
        [&] { return startPageLogin(); },
        [&] { return settle(); },
        [&] { return logIn(); },
        [&] { return settle(); },
        [&] {
          return c.checkLogin(memberLogin() ? kMemberAccount : kBackButton);
        },
        [&] { return linkStep(QStringLiteral("管理ページ"), kManagementLink); },
        [&] { return linkStep(QStringLiteral("記事管理"), kArticlesLink); },
        [&] { return reauthenticate(); },
        [&] { return settle(); },
        [&] { return linkStep(QStringLiteral("ファイル管理"), kFilesLink); },
        [&] {
          return c.uploadItems(QStringLiteral("参照ボタン・アップロード検索"),
                               [&](int row) { return uploadRow(row); });
        },
        [&] { return logOut(); },
    });
  }

private:
  Flow settle() { return c.settlePage(settingInt(UpPageWait)); }

  Flow linkStep(const QString &name, const Target &link) {
    const Flow f = c.followLinkOnce(name, link);
    return f == Flow::Continue ? settle() : f;
  }

  // The site's login and log-out are image links: an "a" whose next
  // element is a picture with the wanted alt text.
  int findImageLink(const QString &alt) {
    const Snapshot rows = c.web()->snapshot({QStringLiteral("alt")});
    QCoreApplication::processEvents();
    for (int i = 0; i + 1 < rows.size(); ++i) {
      if (rows[i].value(0) != QLatin1String("a"))
        continue;
      const QStringList &next = rows[i + 1];
      if (next.value(0).contains(QLatin1String("img")) &&
          trimSpaces(next.value(1)).toLower().contains(alt))
        return i;
    }
    return 0;
  }

  Flow startPageLogin() {
    log(QStringLiteral("ログイン検索"));
    return c.retryLoop([&](int) {
      const int i = findImageLink(QStringLiteral("ログイン"));
      if (c.stopped())
        return Try::Leave;
      if (i <= 0) {
        log(QStringLiteral("既にログインされている?"));
        return Try::Success;
      }
      log(QStringLiteral("ログイン押下"));
      c.clickElement(i);
      const int r = wait0();
      if (c.stopped())
        return Try::Leave;
      if (r == 0) {
        log(QStringLiteral("ログイン押下完了"));
        return Try::Success;
      }
      log(QStringLiteral("応答なし1"));
      return Try::Failure;
    });
  }

  Flow logIn() {
    log(QStringLiteral("ログイン検索"));
    const bool member = memberLogin();
    return c.retryLoop([&](int) {
      const ScanResult s =
          c.scanPage({member ? kMemberAccount : kMailAccount,
                      member ? kMemberPassword : kMailPassword, kLoginButton});
      if (c.stopped())
        return Try::Leave;
      if (!s.found(0) || !s.found(1) || !s.found(2)) {
        log(QStringLiteral("ログインが見つかりませんでした"));
        return Try::Failure;
      }
      log(QStringLiteral("ログイン情報入力"));
      if (!isOn(ManualLogin)) {
        c.setValue(s[0], setting(UserId));
        c.setValue(s[1], setting(Password));
      } else {
        waitManualLogin();
        if (c.stopped())
          return Try::Leave;
      }
      if (isOn(UseConfirmPress) && !c.launchConfirmPress(setting(SecTitle)))
        return Try::Error;
      log(QStringLiteral("ログイン押下"));
      c.clickElement(s[2]);
      log(QStringLiteral("ページ切替待ち開始"));
      // The site's pages after the login raise a script error in some
      // browsers; that box is not one the companion tool presses.
      log(QStringLiteral("スクリプト エラー画面が表示される場合は、手動でOK"
                         "ボタンを押してください。m(__)m"));
      pauseSec(settingInt(UpPageWait));
      if (c.stopped()) {
        c.closeConfirmPress();
        return Try::Leave;
      }
      const int r = wait0();
      c.closeConfirmPress();
      if (c.stopped())
        return Try::Leave;
      if (r == 0) {
        log(QStringLiteral("ログイン押下完了"));
        return Try::Success;
      }
      log(QStringLiteral("応答なし1"));
      return Try::Failure;
    });
  }

  // The site may ask for the password again before the file manager.
  Flow reauthenticate() {
    log(QStringLiteral("再認証チェック開始"));
    const bool member = memberLogin();
    QVector<Target> targets;
    if (member)
      targets << kMemberPassword << kReauthButton;
    else
      targets << kMailAccount << kMailPassword << kLoginButton;
    targets << kFilesLink;
    const int password = member ? 0 : 1;
    const int button = password + 1;
    const int files = button + 1;
    return c.retryLoop([&](int) {
      const ScanResult s = c.scanPage(targets);
      if (c.stopped())
        return Try::Leave;
      if (s.found(password) && s.found(button)) {
        log(QStringLiteral("ログイン情報入力(再認証)"));
        if (!isOn(ManualLogin)) {
          c.setValue(s[password], setting(Password));
          // Never write into whatever element a missing field would name.
          if (!member && s.found(0))
            c.setValue(s[0], setting(UserId));
        } else {
          waitManualLogin();
          if (c.stopped())
            return Try::Leave;
        }
        log(QStringLiteral("ログイン押下(再認証)"));
        c.clickElement(s[button]);
        const int r = wait0();
        if (c.stopped())
          return Try::Leave;
        if (r == 0) {
          log(QStringLiteral("ログイン押下完了(再認証)"));
          return Try::Success;
        }
        log(QStringLiteral("応答なし1"));
        return Try::Failure;
      }
      if (s.found(files)) {
        log(QStringLiteral("再認証画面ではありません"));
        return Try::Success;
      }
      return Try::Failure;
    });
  }

  Try uploadRow(int row) {
    const ScanResult s = c.scanPage({kFileInput, kSubmit});
    if (c.stopped())
      return Try::Leave;
    if (!s.found(0) || !s.found(1)) {
      if (!s.found(0))
        log(QStringLiteral("参照ボタンが見つかりませんでした"));
      if (!s.found(1))
        log(QStringLiteral("アップロードが見つかりませんでした"));
      return Try::Failure;
    }
    log(QStringLiteral("アップロード情報入力"));
    Try t = c.handOffFile(s[0], c.itemPath(row));
    if (t != Try::Success)
      return t;
    if ((t = c.submitUpload(s[1])) != Try::Success)
      return t;
    c.markDone(row);
    return Try::Success;
  }

  Flow logOut() {
    if (!isOn(LogOut))
      return Flow::Success;
    // A log-out that cannot be done does not fail the run.
    const Flow f = c.followFoundOnce(
        QStringLiteral("ログアウト"),
        [&] { return findImageLink(QStringLiteral("ログアウト")); },
        Flow::Success);
    if (f != Flow::Continue)
      return f;
    const Flow s = settle();
    return s == Flow::Continue ? Flow::Success : s;
  }

  ScriptContext c;
};
} // namespace

ServiceScript sonetScript() {
  return [](const ScriptHost &host) { return SonetScript(host).run(); };
}
