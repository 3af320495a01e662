#include "fc2.h"

#include "skeleton.h"

#include "browser/pagewait.h"

#include "core/runlog.h"
#include "core/services.h"
#include "core/settings.h"

namespace {
// The FC2 pages as the script sees them.
const Target kAccount{"input", "Name", Match::Exact, "email"};
const Target kPassword{"input", "Name", Match::Exact, "pass"};
const Target kLoginButton{"input", "alt", Match::Alt, "ログイン", Hit::First};
const Target kManagementLink{"a", "innerText", Match::Exact,
                             "・ブログ管理画面へ"};
const Target kLoginLink{"a", "innerText", Match::ExactCase, "ログイン"};
const Target kThumbnail{"input", "Name", Match::Exact, "thumb"};
const Target kFileInput{"input", "Name", Match::Exact, "upfile[]"};
const Target kOverwrite{"select",    "Name",    Match::Exact,
                        "overwrite", Hit::Last, true};
const Target kSubmit{"input", "Value", Match::Exact, "アップロード",
                     Hit::First};
const Target kConfirmation{"span", "innerText", Match::Contains,
                           "ファイルをアップロードしました : ", Hit::First};
const Target kLogout{"a", "innerText", Match::Exact, "ログアウト", Hit::First};

const LoginForm kForm{kAccount,     kPassword, kLoginButton,
                      std::nullopt, true,      QStringLiteral("ログイン押下"),
                      QString(),    true};

void log(const QString &s) { setLog(s); }

class Fc2Script {
public:
  explicit Fc2Script(const ScriptHost &host) : c(host, true) {}

  bool run() {
    return c.run({
        [&] { return c.openStartPage(); },
        [&] { return logIn(); },
        [&] { return postLoginSettle(); },
        [&] { return c.checkLogin(kAccount); },
        [&] { return c.followLink(QStringLiteral("ファイルアップロード")); },
        [&] {
          return c.uploadItems(QStringLiteral("参照ボタン・アップロード検索"),
                               [&](int row) { return uploadRow(row); });
        },
        [&] { return c.logOut(kLogout, true); },
    });
  }

private:
  // The login page is the usual start; starting at the blog's top page
  // takes the way through its links.
  Flow logIn() {
    if (setting(BlogUrl) != fc2TopUrl())
      return c.logIn(kForm);
    log(QStringLiteral("ログイン検索"));
    return c.retryLoop([&](int) { return fromTopPage(); });
  }

  Try fromTopPage() {
    const ScanResult s = c.scanPage(
        {kAccount, kPassword, kLoginButton, kManagementLink, kLoginLink});
    if (c.stopped())
      return Try::Leave;
    if (s.found(0) && s.found(1) && s.found(2))
      return c.pressLoginForm(kForm, s, 0, 1, 2);

    if (s.found(3)) {
      log(QStringLiteral("既にログインされている?"));
      log(QStringLiteral("・ブログ管理画面へ押下"));
      c.clickElement(s[3]);
      const int r = waitBrowser(networkMessage(), 0);
      if (c.stopped())
        return Try::Leave;
      if (r != 0) {
        log(QStringLiteral("応答なし1"));
        return Try::Failure;
      }
      log(QStringLiteral("・ブログ管理画面へ押下完了"));
      detour = false;
      const Flow f = c.settlePage(settingInt(UpPageWait));
      if (f != Flow::Continue)
        return f == Flow::Quiet ? Try::Leave : Try::Error;
      log(QStringLiteral("ログイン画面チェック開始"));
      Target account = kAccount;
      account.hit = Hit::First;
      const ScanResult check = c.scanPage({account});
      if (c.stopped())
        return Try::Leave;
      if (check.found(0)) {
        log(QStringLiteral("ログイン画面なのでリトライ"));
        return Try::Failure;
      }
      log(QStringLiteral("ログイン画面ではありません"));
      detour = true;
      return Try::Success;
    }

    if (!s.found(4)) {
      if (!s.found(0))
        log(QStringLiteral("'email'が見つかりませんでした"));
      if (!s.found(1))
        log(QStringLiteral("'pass'が見つかりませんでした"));
      if (!s.found(2))
        log(QStringLiteral("'ログイン'が見つかりませんでした"));
      return Try::Failure;
    }

    log(QStringLiteral("トップ画面が表示されています"));
    log(QStringLiteral("ログイン押下"));
    c.clickElement(s[4]);
    const int r = waitBrowser(networkMessage(), 0);
    if (c.stopped())
      return Try::Leave;
    if (r != 0) {
      log(QStringLiteral("応答なし1"));
      return Try::Failure;
    }
    log(QStringLiteral("ログイン押下完了"));
    const Flow f = c.settlePage(settingInt(UpPageWait));
    if (f != Flow::Continue)
      return f == Flow::Quiet ? Try::Leave : Try::Error;
    // The next attempt finds the login form on the page now shown.
    return Try::Failure;
  }

  // After the management-link detour the page is already settled.
  Flow postLoginSettle() {
    return c.settlePage(settingInt(UpPageWait), !detour);
  }

  Try uploadRow(int row) {
    const ScanResult s =
        c.scanPage({kThumbnail, kFileInput, kOverwrite, kSubmit});
    if (c.stopped())
      return Try::Leave;
    if (!s.found(1) || !s.found(3)) {
      if (!s.found(1))
        log(QStringLiteral("参照ボタンが見つかりませんでした"));
      if (!s.found(3))
        log(QStringLiteral("アップロードが見つかりませんでした"));
      return Try::Failure;
    }
    log(QStringLiteral("アップロード情報入力"));
    if (!s.found(0))
      log(QStringLiteral("thumbが見つかりませんでした"));
    else
      c.setCheckbox(s[0], isOn(Thumbnail),
                    QStringLiteral("サムネイルも作成するのチェックをする"),
                    QStringLiteral("サムネイルも作成するのチェックを外す"));
    if (s.options.isEmpty()) {
      log(QStringLiteral("overwriteが見つかりませんでした"));
    } else {
      log(QStringLiteral("同名ファイルを選択開始"));
      if (isOn(OverWrite)) {
        // A list with a single choice offers only that one.
        c.selectOption(s.options.value(1, s.options[0]).index);
        log(QStringLiteral("上書き保存を選択"));
      } else {
        c.selectOption(s.options[0].index);
        log(QStringLiteral("別名で保存を選択"));
      }
    }
    Try t = c.handOffFile(s[1], c.itemPath(row));
    if (t != Try::Success)
      return t;
    const QString confirm =
        isOn(Fc2OverWrt) ? setting(Fc2OverTitle) + QStringLiteral(",30,1")
                         : QString();
    t = c.submitUpload(s[3], confirm);
    if (t != Try::Success)
      return t;
    return c.verifyUpload(row, kConfirmation);
  }

  ScriptContext c;
  bool detour = false;
};
} // namespace

bool runFc2Script(const ScriptHost &host) { return Fc2Script(host).run(); }
