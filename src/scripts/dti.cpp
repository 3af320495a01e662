#include "dti.h"

#include "skeleton.h"

#include "browser/pagewait.h"
#include "browser/webbrowser.h"

#include "core/itemlist.h"
#include "core/runlog.h"
#include "core/settings.h"

namespace {
// The DTI pages as the script sees them.
const Target kAccount{"input", "Name", Match::Exact, "id"};
const Target kPassword{"input", "Name", Match::Exact, "pass"};
const Target kLoginButton{"input", "Value", Match::Exact, "管理画面へログイン",
                          Hit::First};
const Target kThumbnail{"input", "Name", Match::Exact, "thumb"};
const Target kFileInput{"input", "Name", Match::Exact, "upfile"};
const Target kSubmit{"input", "Value", Match::Exact, "アップロード",
                     Hit::First};
const Target kLogout{"a", "innerText", Match::Exact, "ログアウト", Hit::First};

// A login page without its form is a failure here: the page offers no sign
// of a session that is still open.
LoginForm loginForm() {
  LoginForm f{kAccount, kPassword, kLoginButton, std::nullopt, false};
  f.searchLine = QStringLiteral("管理画面へログイン検索");
  f.pressLine = QStringLiteral("管理画面へログイン押下");
  f.doneLine = QStringLiteral("管理画面へログイン押下完了");
  f.buttonNotFoundLine =
      QStringLiteral("管理画面へログインが見つかりませんでした");
  f.companionTool = false;
  return f;
}

void log(const QString &s) { setLog(s); }

Try pageWait(ScriptContext &c, int mode, const char *failLine) {
  const int r = waitBrowser(networkMessage(), mode);
  if (c.stopped())
    return Try::Leave;
  if (r != 0) {
    log(QString::fromUtf8(failLine));
    return Try::Failure;
  }
  return Try::Success;
}

// Is there a result cell ("cell6") that names the file? Letter case does
// not matter.
bool listsFile(const Snapshot &rows, const QString &fileName) {
  const QString wanted = fileName.toLower();
  for (const QStringList &row : rows) {
    if (row.size() < 3 || row[0] != QLatin1String("td"))
      continue;
    if (trimSpaces(row[1]).toLower() == QLatin1String("cell6") &&
        trimSpaces(row[2]).toLower().contains(wanted))
      return true;
  }
  return false;
}

class DtiScript {
public:
  explicit DtiScript(const ScriptHost &host) : c(host, true) {}

  bool run() {
    return c.run({
        [&] { return c.openStartPage(); },
        [&] { return c.logIn(loginForm()); },
        [&] { return loginSettle(); },
        [&] { return c.checkLogin(kAccount); },
        [&] {
          const Flow f =
              c.followLinkOnce(QStringLiteral("ファイルアップロード"));
          return f == Flow::Continue ? c.settlePage(settingInt(UpPageWait)) : f;
        },
        [&] {
          return c.uploadItems(QStringLiteral("参照ボタン・アップロード検索"),
                               [&](int row) { return uploadRow(row); });
        },
        [&] { return c.logOut(kLogout, false); },
    });
  }

private:
  Flow settleWait(const QString &line) {
    log(line);
    const int r = waitBrowser(networkMessage(), 1);
    if (c.stopped())
      return Flow::Quiet;
    return r != 0 ? Flow::Error : Flow::Continue;
  }

  Flow pause(const QString &line) {
    log(line);
    pauseSec(settingInt(LoginWait));
    return c.stopped() ? Flow::Quiet : Flow::Continue;
  }

  // The management pages take two rounds to come up after the login.
  Flow loginSettle() {
    Flow f = settleWait(QStringLiteral("ページ読込開始"));
    if (f == Flow::Continue)
      f = pause(QStringLiteral("ページ切替待ち開始"));
    if (f == Flow::Continue)
      f = settleWait(QStringLiteral("ページ読込開始2"));
    if (f == Flow::Continue)
      f = pause(QStringLiteral("ページ切替待ち開始2"));
    if (f == Flow::Continue)
      f = settleWait(QStringLiteral("ページ読込開始3"));
    return f;
  }

  // One attempt at a row: send it, then look for it in the page's list of
  // files. A row that is not listed stays pending and counts as a failed
  // attempt, so it is sent again within the attempts it has left.
  Try uploadRow(int row) {
    Try t = send(row);
    if (t != Try::Success)
      return t;
    log(QStringLiteral("アップロード押下完了"));
    if (!isOn(CheckUpload)) {
      c.markDone(row);
      return Try::Success;
    }
    log(QStringLiteral("アップロード確認"));
    const Snapshot rows = c.web()->snapshot(
        {QStringLiteral("className"), QStringLiteral("innerText")},
        {QStringLiteral("td")});
    if (c.stopped())
      return Try::Leave;
    if (!listsFile(rows, c.host.items->item(row).name)) {
      log(QStringLiteral("アップロード確認失敗"));
      c.lastFailureWasVerification = true;
      return Try::Failure;
    }
    log(QStringLiteral("アップロード確認成功"));
    c.markDone(row);
    return Try::Success;
  }

  Try send(int row) {
    const ScanResult s = c.scanPage({kThumbnail, kFileInput, kSubmit});
    if (c.stopped())
      return Try::Leave;
    if (!s.found(1) || !s.found(2)) {
      if (!s.found(2))
        log(QStringLiteral("アップロードが見つかりませんでした"));
      if (!s.found(1))
        log(QStringLiteral("参照ボタンが見つかりませんでした"));
      return Try::Failure;
    }
    log(QStringLiteral("アップロード情報入力"));
    if (!s.found(0))
      log(QStringLiteral("標準サイズ画像を作るが見つかりませんでした"));
    else
      c.setCheckbox(s[0], isOn(Thumbnail),
                    QStringLiteral("標準サイズ画像を作るのチェックする"),
                    QStringLiteral("標準サイズ画像を作るのチェック外す"));
    Try t = c.handOffFile(s[1], c.itemPath(row));
    if (t != Try::Success)
      return t;

    log(QStringLiteral("アップロード押下"));
    c.clickElement(s[2]);
    if ((t = pageWait(c, 0, "応答なし1")) != Try::Success)
      return t;
    log(QStringLiteral("ページ読込開始"));
    if ((t = pageWait(c, 1, "応答なし2")) != Try::Success)
      return t;
    log(QStringLiteral("ページ切替待ち開始"));
    pauseSec(settingInt(UpLoadWait));
    if (c.stopped())
      return Try::Leave;
    log(QStringLiteral("ページ切替待ち開始2"));
    return pageWait(c, 1, "応答なし2");
  }

  ScriptContext c;
};
} // namespace

ServiceScript dtiScript() {
  return [](const ScriptHost &host) { return DtiScript(host).run(); };
}
