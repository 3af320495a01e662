#include "webry.h"

#include "skeleton.h"

#include "browser/browserwindow.h"
#include "browser/pagewait.h"
#include "browser/webbrowser.h"

#include "core/itemlist.h"
#include "core/paths.h"
#include "core/runlog.h"
#include "core/runstate.h"
#include "core/settings.h"
#include "core/urllist.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

namespace {
// The Webry pages as the script sees them: the login and the way to the
// settings in the primary window, the file manager in the second one.
const Target kLoginFormLink{"a", "innerText", Match::Exact, "ログインはこちら",
                            Hit::First};
const Target kAccount{"input", "Name", Match::Exact, "userid"};
const Target kPassword{"input", "Name", Match::Exact, "password"};
const Target kLoginButton{"input", "Value", Match::Exact, "ログイン",
                          Hit::First};
const Target kSettingsLink{"a", "innerText", Match::Exact, "設定", Hit::First};
const Target kOptionsLink{"a", "innerHtml", Match::Contains, "オプション",
                          Hit::First};
const QString kFileManagerSection = QStringLiteral("ファイルマネージャー");
const QString kSettingsScreen = QStringLiteral("設定画面へ");
const QString kFolderHeading = QStringLiteral("フォルダ");
const Target kFolderName{"input", "Name", Match::Exact, "foldername"};
const Target kCreateButton{"input", "Value", Match::Exact, "作成", Hit::First};
const Target kFileInput{"input", "Name", Match::Exact, "filedata"};
const Target kSubmit{"input", "Value", Match::Exact, "アップロード"};
const Target kOverwrite{"input", "Name", Match::Exact, "overwriteflg",
                        Hit::First};

void log(const QString &s) { setLog(s); }

int wait1(int mode) { return waitBrowser(networkMessage(), mode); }
int wait2(int mode) { return waitBrowser2(networkMessage(), mode); }

// The file's name up to its last dot: the file manager lists uploads by
// that name.
QString baseName(const QString &fileName) {
  const int dot = fileName.lastIndexOf(QLatin1Char('.'));
  return dot < 0 ? fileName : fileName.left(dot);
}

class WebryScript {
public:
  explicit WebryScript(ScriptHost host)
      : c(withBrowsers(std::move(host)), false) {}

  bool run() {
    const bool result = c.run({
        [&] { return c.openStartPage(); },
        [&] {
          return linkStep(QStringLiteral("ログインはこちら"), kLoginFormLink);
        },
        [&] { return c.logIn(loginForm()); },
        [&] { return settle(); },
        [&] { return c.checkLogin(kAccount); },
        [&] { return linkStep(QStringLiteral("設定"), kSettingsLink); },
        [&] { return linkStep(QStringLiteral("オプション"), kOptionsLink); },
        [&] { return openFileManager(); },
        [&] { return openFolder(); },
        [&] {
          return c.uploadItems(QStringLiteral("参照ボタン・アップロード検索"),
                               [&](int row) { return uploadRow(row); });
        },
    });
    // The second window is this script's own: it goes whatever the ending.
    log(QStringLiteral("ブラウザ2を閉じる"));
    unloadBrowser2();
    return result;
  }

private:
  // From the file manager on, every scan and click is made in the second
  // window.
  ScriptHost withBrowsers(ScriptHost host) {
    host.web = [this]() -> WebBrowser * {
      return secondary ? frmBrowser2()->WebBrowser1 : frmBrowser()->WebBrowser1;
    };
    return host;
  }

  static LoginForm loginForm() {
    LoginForm f{kAccount, kPassword, kLoginButton};
    f.companionTool = false;
    return f;
  }

  Flow settle() {
    if (!secondary)
      return c.settlePage(settingInt(UpPageWait));
    // The same settle, on the second window.
    auto settleWait = [&](const QString &line) {
      log(line);
      const int r = wait2(1);
      if (c.stopped())
        return Flow::Quiet;
      return r != 0 ? Flow::Error : Flow::Continue;
    };
    Flow f = settleWait(QStringLiteral("ページ読込開始"));
    if (f != Flow::Continue)
      return f;
    log(QStringLiteral("ページ切替待ち開始"));
    pauseSec(settingInt(UpPageWait));
    if (c.stopped())
      return Flow::Quiet;
    return settleWait(QStringLiteral("ページ読込開始2"));
  }

  int pageWait(int mode) { return secondary ? wait2(mode) : wait1(mode); }

  Flow linkStep(const QString &name, const Target &link) {
    const Flow f = c.followFoundOnce(
        name, [&] { return c.scanPage({link})[0]; }, Flow::Error,
        [&](int mode) { return pageWait(mode); });
    return f == Flow::Continue ? settle() : f;
  }

  // The first "設定画面へ" button after the file-manager section: other
  // sections carry buttons of the same caption.
  int findSettingsScreenButton() {
    const Snapshot rows = c.web()->snapshot(
        {QStringLiteral("innerHtml"), QStringLiteral("Value")},
        {QStringLiteral("div"), QStringLiteral("input")});
    QCoreApplication::processEvents();
    bool inSection = false;
    for (int i = 0; i < rows.size(); ++i) {
      const QString tag = rows[i].value(0);
      if (tag == QLatin1String("div") &&
          trimSpaces(rows[i].value(1)).contains(kFileManagerSection))
        inSection = true;
      else if (inSection && tag == QLatin1String("input") &&
               trimSpaces(rows[i].value(2)).toLower().contains(kSettingsScreen))
        return i;
    }
    return 0;
  }

  // The button opens the file manager as a new window, which lands in the
  // second browser window; the page is looked for there once it came.
  Flow openFileManager() {
    const QString before = browser2Loaded()
                               ? frmBrowser2()->WebBrowser1->url().toString()
                               : QString();
    const Flow f = c.followFoundOnce(
        kSettingsScreen, [&] { return findSettingsScreenButton(); },
        Flow::Error,
        [&](int mode) {
          if (!secondWindowArrived(before))
            return -1;
          return wait2(mode);
        });
    if (f != Flow::Continue)
      return f;
    secondary = true;
    return settle();
  }

  // The new window is requested by the page a moment after the click.
  bool secondWindowArrived(const QString &before) {
    QDeadlineTimer deadline(
        qMax<qint64>(1000, qint64(settingInt(TimeOut)) * 1000));
    while (!c.stopped() && !deadline.hasExpired()) {
      if (browser2Loaded()) {
        const QString now = frmBrowser2()->WebBrowser1->url().toString();
        if (!now.isEmpty() && now != QLatin1String("about:blank") &&
            now != before)
          return true;
      }
      timerWait(100);
    }
    return c.stopped();
  }

  // A folder link counts only inside the table headed "フォルダ".
  int findFolderLink(const QString &name) {
    const Snapshot rows =
        c.web()->snapshot({QStringLiteral("innerHtml")},
                          {QStringLiteral("th"), QStringLiteral("a")});
    QCoreApplication::processEvents();
    bool inTable = false;
    for (int i = 0; i < rows.size(); ++i) {
      const QString tag = rows[i].value(0);
      const QString html = trimSpaces(rows[i].value(1));
      if (tag == QLatin1String("th") && html == kFolderHeading)
        inTable = true;
      else if (inTable && tag == QLatin1String("a") && html == name)
        return i;
    }
    return 0;
  }

  Flow openFolder() {
    const QString name = setting(DirName);
    if (name.isEmpty())
      return Flow::Continue;
    log(QStringLiteral("フォルダ検索"));
    const Flow f = c.retryLoop([&](int) {
      const int i = findFolderLink(name);
      if (c.stopped())
        return Try::Leave;
      if (i > 0) {
        log(QStringLiteral("フォルダ押下"));
        c.clickElement(i);
        const int r = wait2(0);
        if (c.stopped())
          return Try::Leave;
        if (r != 0) {
          log(QStringLiteral("応答なし1"));
          return Try::Failure;
        }
        log(QStringLiteral("フォルダ押下完了"));
        return Try::Success;
      }
      log(QStringLiteral("フォルダが見つかりませんでした"));
      const Flow made = createFolder(name);
      if (made == Flow::Continue)
        return settle() == Flow::Continue
                   ? Try::Failure
                   : (c.stopped() ? Try::Leave : Try::Error);
      return made == Flow::Quiet ? Try::Leave : Try::Error;
    });
    return f == Flow::Continue ? settle() : f;
  }

  Flow createFolder(const QString &name) {
    log(QStringLiteral("作成検索"));
    return c.retryLoop([&](int) {
      const ScanResult s = c.scanPage({kFolderName, kCreateButton});
      if (c.stopped())
        return Try::Leave;
      if (!s.found(0) || !s.found(1)) {
        log(QStringLiteral("作成が見つかりませんでした"));
        return Try::Failure;
      }
      c.setValue(s[0], name);
      log(QStringLiteral("作成押下"));
      c.clickElement(s[1]);
      const int r = wait2(0);
      if (c.stopped())
        return Try::Leave;
      if (r != 0) {
        log(QStringLiteral("応答なし1"));
        return Try::Failure;
      }
      log(QStringLiteral("作成押下完了"));
      return Try::Success;
    });
  }

  Try uploadRow(int row) {
    const ScanResult s = c.scanPage({kFileInput, kSubmit, kOverwrite});
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
    if (s.found(2))
      c.setCheckbox(s[2], isOn(OverWrite),
                    QStringLiteral("同名のファイルを上書きするのチェックする"),
                    QStringLiteral("同名のファイルを上書きするのチェック外す"));
    Try t = c.handOffFile(s[0], c.itemPath(row));
    if (t != Try::Success)
      return t;
    if ((t = submit(s[1])) != Try::Success)
      return t;
    c.markDone(row);
    return recordUrl(c.host.items->item(row).name);
  }

  // The skeleton's submit, with the waits of the second window.
  Try submit(int button) {
    log(QStringLiteral("アップロード押下"));
    c.clickElement(button);
    QCoreApplication::processEvents();
    auto step = [&](int mode, const QString &failLine) {
      const int r = wait2(mode);
      if (c.stopped())
        return Try::Leave;
      if (r != 0) {
        log(failLine);
        return Try::Failure;
      }
      return Try::Success;
    };
    Try t = step(0, QStringLiteral("応答なし1"));
    if (t != Try::Success)
      return t;
    log(QStringLiteral("ページ読込開始"));
    if ((t = step(1, QStringLiteral("応答なし2"))) != Try::Success)
      return t;
    log(QStringLiteral("ページ切替待ち開始"));
    pauseSec(settingInt(UpLoadWait));
    if (c.stopped())
      return Try::Leave;
    log(QStringLiteral("ページ読込開始2"));
    if ((t = step(1, QStringLiteral("応答なし2"))) != Try::Success)
      return t;
    log(QStringLiteral("アップロード押下完了"));
    return Try::Success;
  }

  // The address is that of the uploaded file's link in the list. An item
  // whose address cannot be found stays uploaded; only its URL is missing.
  Try recordUrl(const QString &fileName) {
    if (!isOn(MakeUrlList))
      return Try::Success;
    const Target link{"a", "innerText", Match::Contains, baseName(fileName),
                      Hit::First};
    log(QStringLiteral("画像のURL検索"));
    const Flow f = c.retryLoop(
        [&](int) {
          const int i = c.scanPage({link})[0];
          if (c.stopped())
            return Try::Leave;
          const QString url =
              i > 0 ? c.readProperty(i, QStringLiteral("href")) : QString();
          if (url.isEmpty()) {
            log(QStringLiteral("画像のURLが見つかりませんでした"));
            return Try::Failure;
          }
          log(QStringLiteral("画像のURL検索成功"));
          addUrlList(dataFile(QString::fromUtf8(kUrlListFileName)), UploadPath,
                     url);
          log(QStringLiteral("URL対応リスト追加完了"));
          return Try::Success;
        },
        Flow::Continue);
    return f == Flow::Quiet ? Try::Leave : Try::Success;
  }

  ScriptContext c;
  bool secondary = false;
};
} // namespace

ServiceScript webryScript() {
  return [](const ScriptHost &host) { return WebryScript(host).run(); };
}
