#include "livedoor.h"

#include "skeleton.h"

#include "browser/pagewait.h"

#include "core/itemlist.h"
#include "core/paths.h"
#include "core/runlog.h"
#include "core/settings.h"
#include "core/urllist.h"

namespace {
// The livedoor pages as the script sees them.
const Target kManagementLink{"a", "innerText", Match::Exact, "管理ページ",
                             Hit::First};
const Target kAccount{"input", "Name", Match::Exact, "livedoor_id"};
const Target kPassword{"input", "Name", Match::Exact, "password"};
const Target kLoginButton{"input", "Value", Match::Contains, "ログイン",
                          Hit::First};
const Target kOldScreenLink{"a", "innerText", Match::Exact, "旧管理画面",
                            Hit::First};
const Target kFilesLink{"a", "innerText", Match::Exact,
                        "ファイルの管理・お絵描き", Hit::First};
const Target kChangeButton{"input", "Value", Match::ExactCase, "変更",
                           Hit::First};
const Target kFileInput{"input", "Name", Match::Exact, "file_1"};
const Target kTitle{"input", "Name", Match::Exact, "name_1"};
const Target kThumbnailRadio{"input", "Name", Match::Exact, "make_thumbnail_1"};
const Target kFolderList{"select",      "Name",    Match::Exact,
                         "folder_id_1", Hit::Last, true};
const Target kSubmit{"input", "Value", Match::Exact,
                     "選択したファイルをアップロードする", Hit::First};
const Target kConfirmation{"strong", "innerText", Match::Exact,
                           "設定が完了しました。", Hit::First};
const Target kLogout{"a", "innerText", Match::Exact, "ログアウト", Hit::First};

const char kUploadPage[] = "ファイルのアップロード";
const char kSubmitText[] = "選択したファイルをアップロードする";

LoginForm loginForm() {
  LoginForm f{kAccount, kPassword, kLoginButton};
  f.pauseAfterPress = true;
  f.companionTool = false;
  return f;
}

void log(const QString &s) { setLog(s); }

// A page wait: a stop wins over the result; a failure logs `failLine`.
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

class LivedoorScript {
public:
  explicit LivedoorScript(const ScriptHost &host) : c(host, true) {}

  bool run() {
    return c.run({
        [&] { return c.openStartPage(); },
        [&] { return linkThenSettle(QStringLiteral("管理ページ")); },
        [&] { return settled(logIn()); },
        [&] { return c.checkLogin(kAccount); },
        [&] { return settled(oldScreen()); },
        [&] { return settled(chooseBlog()); },
        [&] { return filesPage(); },
        [&] { return uploadPage(); },
        [&] {
          return c.uploadItems(QStringLiteral("参照ボタン・アップロード検索"),
                               [&](int row) { return uploadRow(row); });
        },
        [&] { return c.logOut(kLogout, false); },
    });
  }

private:
  Flow settled(Flow f) {
    return f == Flow::Continue ? c.settlePage(settingInt(UpPageWait)) : f;
  }

  Flow linkThenSettle(const QString &text) {
    return settled(c.followLinkOnce(text));
  }

  Flow uploadPage() { return linkThenSettle(QString::fromUtf8(kUploadPage)); }

  // The old-screen link on the page means the management page is already
  // open; so does a login form with a part missing.
  Flow logIn() {
    const LoginForm form = loginForm();
    log(form.searchLine);
    return c.retryLoop([&](int) {
      const ScanResult s =
          c.scanPage({kAccount, kPassword, kLoginButton, kOldScreenLink});
      if (c.stopped())
        return Try::Leave;
      if (s.found(3) || !s.found(0) || !s.found(1) || !s.found(2)) {
        log(QStringLiteral("既にログインされている?"));
        return Try::Success;
      }
      return c.pressLoginForm(form, s, 0, 1, 2);
    });
  }

  Flow oldScreen() {
    log(QStringLiteral("旧管理画面検索"));
    return c.retryLoop([&](int) {
      const ScanResult s = c.scanPage({kOldScreenLink, kFilesLink});
      if (c.stopped())
        return Try::Leave;
      if (!s.found(0)) {
        if (s.found(1)) {
          log(QStringLiteral("既に旧管理画面表示？"));
          return Try::Success;
        }
        log(QStringLiteral("旧管理画面が見つかりませんでした"));
        return Try::Failure;
      }
      log(QStringLiteral("旧管理画面押下"));
      c.clickElement(s[0]);
      const Try t = pageWait(c, 0, "応答なし1");
      if (t == Try::Success)
        log(QStringLiteral("旧管理画面押下完了"));
      return t;
    });
  }

  // Accounts with several blogs pick one from a list by its title; an
  // account with one blog has no list, which is not an error. The title
  // is compared without regard to letter case on both sides, so a title
  // typed as the blog shows it is always found.
  Flow chooseBlog() {
    log(QStringLiteral("ブログタイトル検索"));
    const Target entry{"option", "innerText", Match::Exact,
                       setting(DirName).toLower()};
    return c.retryLoop([&](int) {
      const ScanResult found = c.scanPage({entry});
      if (c.stopped())
        return Try::Leave;
      ScanResult button;
      if (found.found(0)) {
        button = c.scanPage({kChangeButton});
        if (c.stopped())
          return Try::Leave;
      }
      if (!found.found(0) || !button.found(0)) {
        if (!found.found(0))
          log(QStringLiteral("ブログタイトルが見つかりませんでした。"));
        else
          log(QStringLiteral("変更が見つかりませんでした"));
        log(QStringLiteral("複数ブログではない?"));
        return Try::Success;
      }
      c.selectOption(found[0]);
      log(QStringLiteral("変更押下"));
      c.clickElement(button[0]);
      const Try t = pageWait(c, 0, "応答なし1");
      if (t == Try::Success)
        log(QStringLiteral("変更押下完了"));
      return t;
    });
  }

  // The file-management page takes a second look before its link is used.
  Flow filesPage() {
    Flow f = linkThenSettle(QStringLiteral("ファイルの管理・お絵描き"));
    if (f != Flow::Continue)
      return f;
    log(QStringLiteral("ページ切替待ち開始"));
    pauseSec(settingInt(UpPageWait));
    if (c.stopped())
      return Flow::Quiet;
    log(QStringLiteral("ページ読込開始3"));
    const int r = waitBrowser(networkMessage(), 1);
    if (c.stopped())
      return Flow::Quiet;
    return r != 0 ? Flow::Error : Flow::Continue;
  }

  // One attempt at a row: fill in and send the form, check the result, look
  // up the file's address, then back to the upload form for what follows.
  // A failed check or look-up leaves the row pending and counts as a failed
  // attempt, so the row is sent again within the attempts it has left.
  Try uploadRow(int row) {
    Try t = fillAndSend(row);
    if (t != Try::Success)
      return t;
    log(QString::fromUtf8(kSubmitText) + QStringLiteral("押下完了"));
    const Try result = confirmAndRecord(row);
    if (result == Try::Leave || result == Try::Error)
      return result;
    const Flow back = uploadPage();
    if (back == Flow::Quiet)
      return Try::Leave;
    if (back != Flow::Continue)
      return Try::Error;
    if (result == Try::Failure)
      c.lastFailureWasVerification = true;
    return result;
  }

  Try fillAndSend(int row) {
    const ScanResult s =
        c.scanPage({kFileInput, kTitle, kThumbnailRadio, kFolderList, kSubmit});
    if (c.stopped())
      return Try::Leave;
    // The radio pair shares its name: the first is "make a thumbnail", the
    // second "make none".
    Target firstRadio = kThumbnailRadio;
    firstRadio.hit = Hit::First;
    const ScanResult first = c.scanPage({firstRadio});
    if (c.stopped())
      return Try::Leave;
    const int makeRadio = first[0];
    const int noneRadio = s[2] != makeRadio ? s[2] : 0;
    if (!s.found(0) || !s.found(1) || makeRadio == 0 || noneRadio == 0 ||
        !s.found(4)) {
      if (!s.found(0))
        log(QStringLiteral("参照ボタンが見つかりませんでした"));
      if (!s.found(1))
        log(QStringLiteral("ファイル名が見つかりませんでした"));
      if (makeRadio == 0)
        log(QStringLiteral("サムネイルが見つかりませんでした"));
      if (noneRadio == 0)
        log(QStringLiteral("サムネイルが見つかりませんでした"));
      if (!s.found(4))
        log(QString::fromUtf8(kSubmitText) +
            QStringLiteral("が見つかりませんでした"));
      return Try::Failure;
    }
    log(QStringLiteral("アップロード情報入力"));
    const ItemRow &item = c.host.items->item(row);
    c.setValue(s[1], item.name);
    if (isOn(Thumbnail)) {
      log(QStringLiteral("サムネイル作成するにチェック"));
      c.clickElement(makeRadio);
      log(QStringLiteral("サムネイル作成するにチェック完了"));
    } else {
      log(QStringLiteral("サムネイル作成しないにチェック"));
      c.clickElement(noneRadio);
      log(QStringLiteral("サムネイル作成しないにチェック完了"));
    }
    const QString folder = setting(ToolName);
    if (!folder.isEmpty()) {
      log(QStringLiteral("フォルダを選択"));
      bool chosen = false;
      for (const Option &o : s.options) {
        if (o.text == folder) {
          c.selectOption(o.index);
          chosen = true;
          break;
        }
      }
      log(chosen ? QStringLiteral("フォルダの選択完了")
                 : QStringLiteral("フォルダが見つかりませんでした"));
    }
    Try t = c.handOffFile(s[0], item.path());
    if (t != Try::Success)
      return t;

    log(QString::fromUtf8(kSubmitText) + QStringLiteral("押下"));
    c.clickElement(s[4]);
    if ((t = pageWait(c, 0, "応答なし1")) != Try::Success)
      return t;
    log(QStringLiteral("ページ読込開始"));
    if ((t = pageWait(c, 1, "応答なし2")) != Try::Success)
      return t;
    log(QStringLiteral("ページ切替待ち開始"));
    pauseSec(settingInt(UpLoadWait));
    if (c.stopped())
      return Try::Leave;
    log(QStringLiteral("ページ読込開始2"));
    return pageWait(c, 1, "応答なし2");
  }

  Try confirmAndRecord(int row) {
    if (isOn(CheckUpload)) {
      log(QStringLiteral("アップロード確認"));
      const ScanResult s = c.scanPage({kConfirmation});
      if (c.stopped())
        return Try::Leave;
      if (!s.found(0)) {
        log(QStringLiteral("アップロード確認失敗"));
        return Try::Failure;
      }
      log(QStringLiteral("アップロード確認成功"));
    }
    if (!isOn(MakeUrlList)) {
      c.markDone(row);
      return Try::Success;
    }
    return recordUrl(row);
  }

  // The address comes from the link the result page shows for the file.
  Try recordUrl(int row) {
    const ItemRow item = c.host.items->item(row);
    const Target link{"a", "innerText", Match::Exact, item.name.toLower(),
                      Hit::First};
    log(QStringLiteral("ファイルタイトル検索"));
    bool recorded = false;
    const Flow f = c.retryLoop(
        [&](int) {
          const ScanResult s = c.scanPage({link});
          if (c.stopped())
            return Try::Leave;
          const QString href =
              s.found(0) ? c.readProperty(s[0], QStringLiteral("href"))
                         : QString();
          if (href.isEmpty()) {
            log(QStringLiteral("ファイルタイトルが見つかりませんでした"));
            return Try::Failure;
          }
          log(QStringLiteral("ファイルタイトル検索成功"));
          addUrlList(dataFile(QString::fromUtf8(kUrlListFileName)), item.path(),
                     href);
          log(QStringLiteral("URL対応ﾘｽﾄ追加完了"));
          c.markDone(row);
          recorded = true;
          return Try::Success;
        },
        Flow::Continue);
    if (f == Flow::Quiet || c.stopped())
      return Try::Leave;
    return recorded ? Try::Success : Try::Failure;
  }

  ScriptContext c;
};
} // namespace

ServiceScript livedoorScript() {
  return [](const ScriptHost &host) { return LivedoorScript(host).run(); };
}
