#include "ninja.h"

#include "skeleton.h"

#include "browser/pagewait.h"
#include "browser/webbrowser.h"

#include "core/itemlist.h"
#include "core/paths.h"
#include "core/runlog.h"
#include "core/settings.h"
#include "core/urllist.h"

#include <QCoreApplication>

namespace {
// The Ninja pages as the script sees them.
const Target kAccount{"input", "Name", Match::Exact, "login[id]"};
const Target kPassword{"input", "Name", Match::Exact, "login[password]"};
const Target kLoginButton{"input", "Value", Match::Exact,
                          "管理ページへログイン", Hit::First};
// The log-out image shows only to a logged-in browser.
const Target kLoggedIn{"img", "alt", Match::Exact, "ログアウト"};
const Target kFileInput{"input", "Name", Match::Exact, "file"};
const Target kOverwrite{"input", "Name", Match::Exact, "overwrite"};
const Target kSubmit{"input", "Value", Match::Exact, "アップロード",
                     Hit::First};
// The file list highlights the row of the file just uploaded.
const Target kConfirmCell{"td", "className", Match::Exact, "changebg2",
                          Hit::First};
const Target kCheckAll{"input", "Id", Match::Exact, "checkall"};
// Only the list that answers a post links back to the plain file list.
const Target kListLink{"a", "innerText", Match::Exact, "ファイル一覧に戻る",
                       Hit::First};
const Target kLogout{"a", "innerHtml", Match::Contains, "ログアウト",
                     Hit::First};

LoginForm loginForm() {
  LoginForm f{kAccount, kPassword, kLoginButton, kLoggedIn, false};
  f.searchLine = QStringLiteral("管理ページへログイン検索");
  f.pressLine = QStringLiteral("管理ページへログイン押下");
  f.doneLine = QStringLiteral("管理ページへログイン押下完了");
  f.buttonNotFoundLine =
      QStringLiteral("管理ページへログインが見つかりませんでした");
  f.companionTool = false;
  return f;
}

void log(const QString &s) { setLog(s); }

// The text between the first two apostrophes; empty when there are not two.
QString quotedPart(const QString &html) {
  const int open = html.indexOf(QLatin1Char('\''));
  if (open < 0)
    return QString();
  const int close = html.indexOf(QLatin1Char('\''), open + 1);
  if (close < 0)
    return QString();
  return html.mid(open + 1, close - open - 1);
}

class NinjaScript {
public:
  explicit NinjaScript(const ScriptHost &host) : c(host, false) {}

  bool run() {
    return c.run({
        [&] { return c.openStartPage(); },
        [&] { return c.logIn(loginForm()); },
        [&] { return c.settlePage(settingInt(LoginWait)); },
        [&] { return c.checkLogin(kAccount); },
        [&] { return link(QStringLiteral("ブログ名"), blogLink()); },
        [&] { return link(QStringLiteral("ファイルアップロード")); },
        [&] {
          return c.uploadItems(QStringLiteral("参照ボタン･アップロード検索"),
                               [&](int row) { return uploadRow(row); });
        },
        [&] { return leave(); },
    });
  }

private:
  // The blog is picked by its name as the tool list shows it, in any case.
  static Target blogLink() {
    return Target{"a", "innerText", Match::Exact,
                  trimSpaces(setting(ToolName)).toLower(), Hit::First};
  }

  Flow link(const QString &text,
            const std::optional<Target> &target = std::nullopt) {
    const Flow f = c.followLinkOnce(text, target);
    if (f != Flow::Continue)
      return f;
    return c.settlePage(settingInt(UpPageWait));
  }

  Flow leave() {
    if (!isOn(LogOut))
      return Flow::Success;
    const Flow f = link(QStringLiteral("ツール一覧に戻る"));
    if (f != Flow::Continue)
      return f;
    return c.logOut(kLogout, false, QStringLiteral("ログアウト"),
                    [&] { return c.settlePage(settingInt(UpPageWait)); });
  }

  Try uploadRow(int row) {
    const ScanResult s = c.scanPage({kFileInput, kOverwrite, kSubmit});
    if (c.stopped())
      return Try::Leave;
    if (!s.found(0) || !s.found(2)) {
      if (!s.found(0))
        log(QStringLiteral("参照ボタンが見つかりませんでした"));
      if (!s.found(2))
        log(QStringLiteral("アップロードが見つかりませんでした"));
      return Try::Failure;
    }
    log(QStringLiteral("アップロード情報入力"));
    if (s.found(1))
      c.setCheckbox(s[1], isOn(OverWrite),
                    QStringLiteral("同名のファイルを上書きするのチェックする"),
                    QStringLiteral("同名のファイルを上書きするのチェック外す"));
    else
      log(QStringLiteral("overwriteが見つかりませんでした"));
    Try t = c.handOffFile(s[0], c.itemPath(row));
    if (t != Try::Success)
      return t;
    if ((t = c.submitUpload(s[2])) != Try::Success)
      return t;

    if ((t = verify(row)) != Try::Success)
      return t;

    bool marked = true;
    if (isOn(OverWrite) || !isOn(MakeUrlList)) {
      c.markDone(row);
    } else {
      const Flow f = recordNewestFile(row, &marked);
      if (f == Flow::Quiet)
        return Try::Leave;
    }

    // The item is uploaded whatever follows: it must not be sent again in
    // this pass, so a failed way back ends the pass instead.
    const Flow f = link(QStringLiteral("ファイル一覧に戻る"));
    if (f == Flow::Quiet)
      return Try::Leave;
    if (f == Flow::Error)
      return Try::Error;
    // Uploaded but without its address: it stays pending for a later pass
    // and the walk goes on.
    return marked ? Try::Success : Try::Leave;
  }

  // Only an overwritten file keeps its name, so only then can the list be
  // searched for it. Otherwise the page must at least be the list that
  // answers a post: any other page, such as a server error, stored nothing
  // and must not mark the item as uploaded.
  Try verify(int row) {
    const bool byName = isOn(OverWrite) && isOn(CheckUpload);
    if (byName)
      log(QStringLiteral("アップロード確認"));
    const bool confirmed =
        byName ? confirmationCell(c.host.items->item(row).name) > 0
               : c.scanPage({kListLink}).found(0);
    if (c.stopped())
      return Try::Leave;
    if (confirmed) {
      if (byName)
        log(QStringLiteral("アップロード確認成功"));
      return Try::Success;
    }
    log(QStringLiteral("アップロード確認失敗"));
    log(QStringLiteral("戻る開始"));
    c.web()->GoBack();
    const Flow f = c.retryLoop([&](int) {
      const int r = waitBrowser(networkMessage(), 0);
      if (c.stopped())
        return Try::Leave;
      if (r == 0) {
        log(QStringLiteral("戻る完了"));
        return Try::Success;
      }
      log(QStringLiteral("応答なし1"));
      return Try::Failure;
    });
    if (f == Flow::Quiet)
      return Try::Leave;
    if (f != Flow::Continue)
      return Try::Error;
    // The form page only has to be there again for the next attempt.
    auto loose = [&](const QString &line) {
      log(line);
      if (waitBrowser(networkMessage(), 1) != 0 && !c.stopped())
        log(QStringLiteral("応答なし2"));
      return !c.stopped();
    };
    if (!loose(QStringLiteral("ページ読込開始")))
      return Try::Leave;
    log(QStringLiteral("ページ切替待ち開始"));
    pauseSec(settingInt(UpPageWait));
    if (c.stopped() || !loose(QStringLiteral("ページ読込開始2")))
      return Try::Leave;
    c.lastFailureWasVerification = true;
    return Try::Failure;
  }

  // The highlighted cell whose text names the file, in any case.
  int confirmationCell(const QString &fileName) {
    const QStringList props{QStringLiteral("className"),
                            QStringLiteral("innerText")};
    const Snapshot rows = c.web()->snapshot(props, {QStringLiteral("td")});
    QCoreApplication::processEvents();
    const QString name = fileName.toLower();
    for (int i = 0; i < rows.size(); ++i) {
      const QStringList &r = rows[i];
      if (r.size() > 2 && r[0] == kConfirmCell.tag &&
          matches(kConfirmCell, r[1]) &&
          trimSpaces(r[2]).toLower().contains(name))
        return i;
    }
    return 0;
  }

  // The file list shows the newest file first, right after the box that
  // ticks them all; its link carries the address in quotes.
  QString newestFileUrl() {
    const QStringList props{QStringLiteral("Id"), QStringLiteral("outerHTML")};
    const Snapshot rows = c.web()->snapshot(
        props, {QStringLiteral("input"), QStringLiteral("a")});
    QCoreApplication::processEvents();
    const int box = scanSnapshot(rows, props, {kCheckAll})[0];
    if (box <= 0)
      return QString();
    for (int i = box + 1; i < rows.size(); ++i)
      if (rows[i].size() > 2 && rows[i][0] == QLatin1String("a"))
        return quotedPart(rows[i][2]);
    return QString();
  }

  Flow recordNewestFile(int row, bool *marked) {
    *marked = false;
    log(QStringLiteral("アップロード済ファイル検索"));
    return c.retryLoop(
        [&](int) {
          const QString url = newestFileUrl();
          if (c.stopped())
            return Try::Leave;
          if (url.isEmpty()) {
            log(QStringLiteral("アップロード済ファイルが見つかりませんでした"));
            return Try::Failure;
          }
          log(QStringLiteral("アップロード済ファイルが見つかりました"));
          addUrlList(dataFile(QString::fromUtf8(kUrlListFileName)),
                     c.itemPath(row), url);
          log(QStringLiteral("URL対応リスト追加完了"));
          c.markDone(row);
          *marked = true;
          return Try::Success;
        },
        Flow::Continue);
  }

  ScriptContext c;
};
} // namespace

ServiceScript ninjaScript() {
  return [](const ScriptHost &host) { return NinjaScript(host).run(); };
}
