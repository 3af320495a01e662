#include "rakuten.h"

#include "skeleton.h"

#include "browser/webbrowser.h"

#include "core/itemlist.h"
#include "core/paths.h"
#include "core/runlog.h"
#include "core/settings.h"
#include "core/urllist.h"

namespace {
// The Rakuten pages as the script sees them.
const Target kAccount{"input", "Name", Match::Exact, "u"};
const Target kPassword{"input", "Name", Match::Exact, "p"};
const Target kLoginButton{"input", "Value", Match::Contains, "ログイン",
                          Hit::First};
const Target kLoggedIn{"a", "innerText", Match::ExactCase, "ログアウト"};
const Target kUploadLink{"a", "innerText", Match::Exact, "フォトをアップロード",
                         Hit::First};
const Target kFileInput{"input", "Name", Match::Exact, "image[]"};
const Target kFileName{"input", "Name", Match::Exact, "name[]"};
// Every option of the page is an album of the album list.
const Target kAnyOption{"option", "innerText", Match::Contains, ""};
const Target kSubmit{"input", "alt", Match::Exact, "フォトをアップロード",
                     Hit::First};
const Target kResultText{"textarea", "Value", Match::Contains, "", Hit::First};
const Target kLogout{"a", "innerText", Match::Exact, "ログアウト", Hit::First};

LoginForm loginForm() {
  LoginForm f{kAccount, kPassword, kLoginButton, kLoggedIn};
  f.assumeLoggedIn = false;
  f.buttonNotFoundLine = QStringLiteral("ログインが見つかりませんでした");
  f.companionTool = false;
  return f;
}

void log(const QString &s) { setLog(s); }

class RakutenScript {
public:
  explicit RakutenScript(const ScriptHost &host) : c(host, false) {}

  bool run() {
    return c.run({
        [&] { return c.openStartPage(); },
        [&] { return c.logIn(loginForm()); },
        [&] { return c.settleTwice(settingInt(UpPageWait)); },
        [&] { return c.checkLogin(kAccount); },
        [&] { return toUploadPage(); },
        [&] {
          return c.uploadItems(QStringLiteral("参照ボタン・アップロード検索"),
                               [&](int row) { return uploadRow(row); });
        },
        [&] { return logOut(); },
    });
  }

private:
  int find(const Target &t) {
    const ScanResult s = c.scanPage({t});
    return s[0];
  }

  // The links may ask for a window of their own; emptying their target
  // keeps the page in the browser the script drives.
  void keepInThisWindow(int i) {
    c.web()->setProperty(i, QStringLiteral("Target"), QString());
  }

  Flow toUploadPage() {
    const Flow f = c.followFoundOnce(
        QStringLiteral("フォトをアップロード"),
        [&] { return find(kUploadLink); }, Flow::Error, {},
        [&](int i) { keepInThisWindow(i); });
    if (f != Flow::Continue)
      return f;
    return c.settleTwice(settingInt(UpPageWait));
  }

  Try uploadRow(int row) {
    QVector<Option> albums;
    const ScanResult s =
        c.scanPageListing({kFileInput, kFileName}, kAnyOption, albums);
    if (c.stopped())
      return Try::Leave;
    if (!s.found(0) || !s.found(1)) {
      if (!s.found(0))
        log(QStringLiteral("参照ボタンが見つかりませんでした"));
      if (!s.found(1))
        log(QStringLiteral("ファイル名が見つかりませんでした"));
      return Try::Failure;
    }
    log(QStringLiteral("アップロード情報入力"));
    const QString album = setting(ToolName);
    if (!album.isEmpty()) {
      log(QStringLiteral("登録先のアルバムを選択"));
      for (const Option &o : albums) {
        if (trimSpaces(o.text) == album) {
          c.selectOption(o.index);
          log(QStringLiteral("登録先のアルバムを選択完了"));
          break;
        }
      }
    }
    const ItemRow item = c.host.items->item(row);
    c.setValue(s[1], item.name);
    Try t = c.handOffFile(s[0], item.path());
    if (t != Try::Success)
      return t;

    // The button is looked for only now: choosing the file may rebuild
    // the form.
    log(QStringLiteral("フォトをアップロード検索"));
    const ScanResult submit = c.scanPage({kSubmit});
    if (c.stopped())
      return Try::Leave;
    if (!submit.found(0)) {
      log(QStringLiteral("フォトをアップロードが見つかりませんでした"));
      return Try::Failure;
    }
    t = c.submitUpload(submit[0], {}, QStringLiteral("フォトをアップロード"));
    if (t != Try::Success)
      return t;
    c.markDone(row);
    if (!isOn(MakeUrlList))
      return Try::Success;
    const Flow f = recordUrl(item.path());
    if (f == Flow::Continue)
      return Try::Success;
    return f == Flow::Quiet ? Try::Leave : Try::Error;
  }

  // The result page shows the picture's address in a text area; the form
  // is one page back.
  Flow recordUrl(const QString &path) {
    log(QStringLiteral("テキストエリア検索"));
    const Flow f = c.retryLoop(
        [&](int) {
          const ScanResult s = c.scanPage({kResultText});
          if (c.stopped())
            return Try::Leave;
          // A text area's text is its value: the engine renders it apart
          // from the page, so it has no rendered inner text.
          const QString text =
              s.found(0) ? c.readProperty(s[0], QStringLiteral("Value"))
                         : QString();
          if (text.isEmpty()) {
            log(QStringLiteral("テキストエリア検索失敗"));
            return Try::Failure;
          }
          log(QStringLiteral("テキストエリア検索成功"));
          addUrlList(dataFile(QString::fromUtf8(kUrlListFileName)), path, text);
          log(QStringLiteral("URL対応リスト追加完了"));
          return Try::Success;
        },
        Flow::Continue); // the upload itself went through
    if (f != Flow::Continue)
      return f;
    return c.goBackAfterUpload(QStringLiteral("応答なし1"));
  }

  Flow logOut() {
    if (!isOn(LogOut))
      return Flow::Success;
    const Flow f = c.followFoundOnce(
        QStringLiteral("ログアウト"), [&] { return find(kLogout); },
        Flow::Success, {}, [&](int i) { keepInThisWindow(i); });
    if (f != Flow::Continue)
      return f;
    const Flow settled = c.settleTwice(settingInt(UpPageWait));
    return settled == Flow::Continue ? Flow::Success : settled;
  }

  ScriptContext c;
};
} // namespace

ServiceScript rakutenScript() {
  return [](const ScriptHost &host) { return RakutenScript(host).run(); };
}
