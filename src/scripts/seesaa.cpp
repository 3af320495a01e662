#include "seesaa.h"

#include "skeleton.h"

#include "browser/pagewait.h"

#include "core/runlog.h"
#include "core/settings.h"

namespace {
// The SeeSaa pages as the script sees them.
const Target kSignInLink{"a", "innerText", Match::Exact, "サインイン",
                         Hit::First};
const Target kWriteLink{"a", "innerText", Match::Exact, "ブログを書く",
                        Hit::First};
const Target kAccount{"input", "Name", Match::Exact, "member__email"};
const Target kPassword{"input", "Name", Match::Exact, "member__password"};
const Target kLoginButton{"input", "Value", Match::Exact, "サインイン",
                          Hit::First};
const Target kSignOutLink{"a", "innerText", Match::Exact, "サインアウト"};
const Target kFileInput{"input", "Name", Match::Exact, "upload__file"};
const Target kDirList{"select",  "Name", Match::Exact, "upload__dirname_select",
                      Hit::Last, true};
const Target kNewDir{"input", "Name", Match::Exact, "upload__dirname"};
const Target kAddDir{"input", "Value", Match::Exact, "追加"};
const Target kSubmit{"input", "Value", Match::Exact, "アップロード",
                     Hit::First};
const Target kLogout{"a", "innerText", Match::Exact, "サインアウト",
                     Hit::First};

LoginForm loginForm() {
  LoginForm f{kAccount, kPassword, kLoginButton, kSignOutLink, false};
  f.pressLine = QStringLiteral("サインイン押下");
  f.doneLine = QStringLiteral("サインイン押下完了");
  f.buttonNotFoundLine = QStringLiteral("サインインが見つかりませんでした");
  f.companionTool = false;
  return f;
}

void log(const QString &s) { setLog(s); }

// A page wait of a settle: a stop wins over the result, a failed page ends
// the pass.
Flow settleWait(ScriptContext &c, const QString &line) {
  log(line);
  const int r = waitBrowser(networkMessage(), 1);
  if (c.stopped())
    return Flow::Quiet;
  return r != 0 ? Flow::Error : Flow::Continue;
}

// The first half of a settle; the second wait comes once both halves (the
// sign-in's and the login's) are through.
Flow settleStart(ScriptContext &c) {
  const Flow f = settleWait(c, QStringLiteral("ページ読込開始"));
  if (f != Flow::Continue)
    return f;
  log(QStringLiteral("ページ切替待ち開始"));
  pauseSec(settingInt(UpPageWait));
  return c.stopped() ? Flow::Quiet : Flow::Continue;
}

class SeesaaScript {
public:
  explicit SeesaaScript(const ScriptHost &host) : c(host, true) {}

  bool run() {
    return c.run({
        [&] { return c.openStartPage(); },
        [&] { return signIn(); },
        [&] { return settleStart(c); },
        [&] { return signedIn ? Flow::Continue : logIn(); },
        [&] { return settleWait(c, QStringLiteral("ページ読込開始2")); },
        [&] { return c.checkLogin(kAccount); },
        [&] { return blogLink(); },
        [&] { return linkThenSettle(QStringLiteral("ファイルマネージャ")); },
        [&] {
          return c.uploadItems(QStringLiteral("参照ボタン･アップロード検索"),
                               [&](int row) { return uploadRow(row); });
        },
        [&] {
          return c.logOut(kLogout, false, QStringLiteral("サインアウト"));
        },
    });
  }

private:
  // The start page offers the sign-in link, or the write link to a browser
  // that is still signed in; the latter skips the login form.
  Flow signIn() {
    log(QStringLiteral("サインイン検索"));
    return c.retryLoop([&](int) {
      const ScanResult s = c.scanPage({kSignInLink, kWriteLink});
      if (c.stopped())
        return Try::Leave;
      QString text;
      int link = 0;
      if (s.found(0)) {
        text = QStringLiteral("サインイン");
        link = s[0];
        signedIn = false;
      } else if (!s.found(1)) {
        log(QStringLiteral("ブログを書くが見つかりませんでした"));
        return Try::Failure;
      } else {
        text = QStringLiteral("ブログを書く");
        link = s[1];
        signedIn = true;
      }
      log(text + QStringLiteral("押下"));
      c.clickElement(link);
      const int r = waitBrowser(networkMessage(), 0);
      if (c.stopped())
        return Try::Leave;
      if (r != 0) {
        log(QStringLiteral("応答なし1"));
        return Try::Failure;
      }
      log(text + QStringLiteral("押下完了"));
      return Try::Success;
    });
  }

  Flow logIn() {
    const Flow f = c.logIn(loginForm());
    return f == Flow::Continue ? settleStart(c) : f;
  }

  // The blog's own link, by its name as the user gave it: spaces around it
  // do not matter, letter case does.
  Flow blogLink() {
    const Target blog{"a", "innerText", Match::ExactCase,
                      trimSpaces(setting(ToolName)), Hit::First};
    const Flow f = c.followLinkOnce(QStringLiteral("ブログ名"), blog);
    return f == Flow::Continue ? c.settlePage(settingInt(UpPageWait)) : f;
  }

  Flow linkThenSettle(const QString &text) {
    const Flow f = c.followLinkOnce(text);
    return f == Flow::Continue ? c.settlePage(settingInt(UpPageWait)) : f;
  }

  Try uploadRow(int row) {
    const ScanResult s =
        c.scanPage({kFileInput, kDirList, kNewDir, kAddDir, kSubmit});
    if (c.stopped())
      return Try::Leave;
    if (!s.found(0) || !s.found(4)) {
      if (!s.found(0))
        log(QStringLiteral("参照ボタンが見つかりませんでした"));
      if (!s.found(4))
        log(QStringLiteral("アップロードが見つかりませんでした"));
      return Try::Failure;
    }
    log(QStringLiteral("アップロード情報入力"));
    const QString path = c.itemPath(row);
    const QString dir = setting(DirName);
    int fileInput = s[0];
    int submit = s[4];
    if (!dir.isEmpty() && chooseDirectory(s, dir)) {
      // The add button puts a new option into the list, which moves every
      // element after it: the form's elements are looked up again, or the
      // press would land on the wrong element and the file never be sent.
      const ScanResult again = c.scanPage({kFileInput, kSubmit});
      if (c.stopped())
        return Try::Leave;
      if (!again.found(0) || !again.found(1)) {
        if (!again.found(0))
          log(QStringLiteral("参照ボタンが見つかりませんでした"));
        if (!again.found(1))
          log(QStringLiteral("アップロードが見つかりませんでした"));
        return Try::Failure;
      }
      fileInput = again[0];
      submit = again[1];
    }
    Try t = c.handOffFile(fileInput, path);
    if (t != Try::Success)
      return t;
    t = c.submitUpload(submit);
    if (t != Try::Success)
      return t;
    // The file manager shows no confirmation to check.
    c.markDone(row);
    return Try::Success;
  }

  // An existing directory is chosen from the list; a new one is typed in
  // and added on the page itself (no page load follows the add button).
  // True when the add button was pressed.
  bool chooseDirectory(const ScanResult &s, const QString &dir) {
    log(QStringLiteral("ディレクトリ名を選択開始"));
    for (const Option &o : s.options) {
      if (o.text == dir) {
        c.selectOption(o.index);
        log(QStringLiteral("ディレクトリ名の選択完了"));
        return false;
      }
    }
    if (!s.found(2)) {
      log(QStringLiteral("ディレクトリ名が見つかりませんでした。"));
      return false;
    }
    c.setValue(s[2], dir);
    log(QStringLiteral("ディレクトリ名の入力完了"));
    if (!s.found(3)) {
      log(QStringLiteral("追加が見つかりませんでした。"));
      return false;
    }
    log(QStringLiteral("追加押下"));
    c.clickElement(s[3]);
    log(QStringLiteral("追加押下完了"));
    return true;
  }

  ScriptContext c;
  bool signedIn = false; // came in through the write link
};
} // namespace

ServiceScript seesaaScript() {
  return [](const ScriptHost &host) { return SeesaaScript(host).run(); };
}
