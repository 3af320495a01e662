#include "jugem.h"

#include "skeleton.h"

#include "browser/webbrowser.h"

#include "core/itemlist.h"
#include "core/paths.h"
#include "core/runlog.h"
#include "core/runstate.h"
#include "core/settings.h"
#include "core/urllist.h"

namespace {
// The Jugem pages as the script sees them.
const Target kAccount{"input", "Name", Match::Exact, "account_name"};
const Target kPassword{"input", "Name", Match::Exact, "password"};
const Target kLoginButton{"input", "Value", Match::Exact, "ログイン",
                          Hit::First};
const Target kManagementLink{"a", "innerText", Match::Exact, "管理者ページ",
                             Hit::First};
const Target kImagesLink{"a", "innerHtml", Match::Contains, "画像の管理",
                         Hit::First};
const Target kImageUploadLink{"a", "innerHtml", Match::ExactCase,
                              "画像アップロード", Hit::First};
const Target kFileInput{"input", "Id", Match::Exact, "upfile0"};
const Target kAltField{"input", "Id", Match::Exact, "alt0"};
const Target kMakeThumb{"input", "Id", Match::Exact, "create_thumb"};
const Target kNoThumb{"input", "Id", Match::Exact, "not_create_thumb"};
const Target kSubmit{"input", "Type", Match::Exact, "submit", Hit::First};
const Target kImageUrl{"input", "Name", Match::Exact, "image_alt", Hit::First};
const Target kLogout{"a", "innerHtml", Match::Contains, "ログアウト",
                     Hit::First};

void log(const QString &s) { setLog(s); }

// The page shows the signed-in user's name. Account names are not case
// sensitive, so the name is compared in lower case on both sides: an
// account typed with capitals must still be recognised as logged in.
Target userNameMarker() {
  return Target{"span", "innerText", Match::Exact, setting(UserId).toLower()};
}

LoginForm loginForm() {
  LoginForm f{kAccount, kPassword, kLoginButton, userNameMarker()};
  f.assumeLoggedIn = false;
  f.buttonNotFoundLine = QStringLiteral("ログインが見つかりませんでした");
  f.companionTool = false;
  return f;
}

class JugemScript {
public:
  explicit JugemScript(const ScriptHost &host) : c(host, false) {}

  bool run() {
    return c.run({
        [&] { return c.openStartPage(); },
        [&] { return c.logIn(loginForm()); },
        [&] { return settle(); },
        [&] { return c.checkLogin(kAccount); },
        [&] {
          return linkStep(QStringLiteral("管理者ページ"), kManagementLink,
                          true);
        },
        [&] { return linkStep(QStringLiteral("画像の管理"), kImagesLink); },
        [&] {
          return linkStep(QStringLiteral("画像アップロード"), kImageUploadLink);
        },
        [&] {
          return c.uploadItems(QStringLiteral("参照ボタン・アップロード検索"),
                               [&](int row) { return uploadRow(row); });
        },
        [&] { return logOut(); },
    });
  }

private:
  Flow settle() { return c.settlePage(settingInt(UpPageWait)); }

  int find(const Target &t) { return c.scanPage({t})[0]; }

  Flow linkStep(const QString &name, const Target &link,
                bool clearTarget = false, Flow exhausted = Flow::Error) {
    // The management link asks for a new window; without its target it
    // opens in this one, where the script goes on.
    auto beforeClick = [&](int i) {
      if (clearTarget)
        c.web()->setProperty(i, QStringLiteral("Target"), QString());
    };
    const Flow f = c.followFoundOnce(
        name, [&] { return find(link); }, exhausted, {}, beforeClick);
    return f == Flow::Continue ? settle() : f;
  }

  Try uploadRow(int row) {
    const Target thumb = isOn(Thumbnail) ? kMakeThumb : kNoThumb;
    const ScanResult s = c.scanPage({kFileInput, kAltField, thumb, kSubmit});
    if (c.stopped())
      return Try::Leave;
    if (!s.found(0) || !s.found(3)) {
      if (!s.found(0))
        log(QStringLiteral("参照ボタンが見つかりませんでした"));
      if (!s.found(3))
        log(QStringLiteral("アップロードが見つかりませんでした"));
      return Try::Failure;
    }
    log(QStringLiteral("アップロード情報入力"));
    if (s.found(1))
      c.setValue(s[1], c.host.items->item(row).name);
    if (s.found(2))
      c.clickElement(s[2]);
    Try t = c.handOffFile(s[0], c.itemPath(row));
    if (t != Try::Success)
      return t;
    if ((t = c.submitUpload(s[3])) != Try::Success)
      return t;
    // A stored image's result page carries its address field (empty or
    // not); a page without it, such as a server error, stored nothing, so
    // the item must stay pending rather than be reported as uploaded.
    const bool answered = find(kImageUrl) > 0;
    if (c.stopped())
      return Try::Leave;
    if (!answered) {
      log(QStringLiteral("アップロード確認失敗"));
      return Try::Failure;
    }
    c.markDone(row);
    return recordUrl();
  }

  // The result page shows the stored image's address in a field. An item
  // whose address cannot be read stays uploaded; only its URL is missing.
  Try recordUrl() {
    if (!isOn(MakeUrlList))
      return Try::Success;
    log(QStringLiteral("画像のURL検索"));
    const Flow f = c.retryLoop(
        [&](int) {
          const int i = find(kImageUrl);
          if (c.stopped())
            return Try::Leave;
          const QString url =
              i > 0 ? c.readProperty(i, QStringLiteral("Value")) : QString();
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

  Flow logOut() {
    if (!isOn(LogOut))
      return Flow::Success;
    // A log-out that cannot be done does not fail the run.
    const Flow f = c.followFoundOnce(
        QStringLiteral("ログアウト"), [&] { return find(kLogout); },
        Flow::Success);
    if (f != Flow::Continue)
      return f;
    const Flow s = settle();
    return s == Flow::Continue ? Flow::Success : s;
  }

  ScriptContext c;
};
} // namespace

ServiceScript jugemScript() {
  return [](const ScriptHost &host) { return JugemScript(host).run(); };
}
