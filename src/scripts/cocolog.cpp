#include "cocolog.h"

#include "skeleton.h"

#include "browser/webbrowser.h"

#include "core/itemlist.h"
#include "core/runlog.h"
#include "core/settings.h"

#include <QCoreApplication>

namespace {
// The Cocolog pages as the script sees them.
const Target kAccount{"input", "Name", Match::Exact, "username"};
const Target kPassword{"input", "Name", Match::Exact, "password"};
const Target kLoginButton{"input", "Value", Match::Contains, "ログイン",
                          Hit::First};
const Target kLoggedIn{"a", "innerText", Match::ExactCase, "ログアウト"};
const QString kAddPhoto = QStringLiteral("新しい写真の追加");
const Target kLogout{"a", "innerText", Match::ExactCase, "ログアウト",
                     Hit::First};

Target linkNamed(const QString &text) {
  return Target{"a", "innerText", Match::ExactCase, text, Hit::First};
}

// The two places a file can go, each with its own form.
struct Destination {
  Target fileInput;
  Target submit;
  QString submitName;
};

const Destination kAlbum{
    {"input", "Name", Match::Exact, "file1"},
    {"input", "Value", Match::Exact, "写真を追加する", Hit::First},
    QStringLiteral("写真を追加する")};
const Destination kControlPanel{
    {"input", "Name", Match::Exact, "file"},
    {"input", "Value", Match::Exact, "アップロード", Hit::First},
    QStringLiteral("アップロード")};

LoginForm loginForm() {
  LoginForm f{kAccount, kPassword, kLoginButton, kLoggedIn};
  f.assumeLoggedIn = false;
  f.buttonNotFoundLine = QStringLiteral("ログインが見つかりませんでした");
  f.pauseAfterPress = true;
  f.companionTool = false;
  return f;
}

void log(const QString &s) { setLog(s); }

class CocologScript {
public:
  explicit CocologScript(const ScriptHost &host)
      : c(host, false), toAlbum(setting(CocologTarget) == QLatin1String("0")),
        dest(toAlbum ? kAlbum : kControlPanel) {}

  bool run() {
    return c.run({
        [&] { return c.openStartPage(); },
        [&] { return c.logIn(loginForm()); },
        [&] { return c.settlePage(settingInt(UpPageWait)); },
        [&] { return c.checkLogin(kAccount); },
        [&] { return toAlbum ? toAlbumForm() : toFileManager(); },
        [&] {
          return c.uploadItems(QStringLiteral("参照ボタン・アップロード検索"),
                               [&](int row) { return uploadRow(row); });
        },
        [&] { return logOut(); },
    });
  }

private:
  // A link step: one page wait per attempt, then the page settles.
  // Links that would open a window of their own (which goes to the
  // desktop's browser for this service) get their target emptied first.
  Flow linkStep(const QString &name, const std::function<int()> &find,
                bool keepInThisWindow, Flow exhausted = Flow::Error) {
    std::function<void(int)> before;
    if (keepInThisWindow)
      before = [&](int i) {
        c.web()->setProperty(i, QStringLiteral("Target"), QString());
      };
    const Flow f = c.followFoundOnce(name, find, exhausted, {}, before);
    if (f != Flow::Continue)
      return f;
    return c.settlePage(settingInt(UpPageWait));
  }

  std::function<int()> finder(const Target &t) {
    return [this, t] { return c.scanPage({t})[0]; };
  }

  Flow toAlbumForm() {
    const Flow f =
        linkStep(QStringLiteral("マイフォト"),
                 finder(linkNamed(QStringLiteral("マイフォト"))), true);
    if (f != Flow::Continue)
      return f;
    return linkStep(
        kAddPhoto, [&] { return addPhotoLink(); }, false);
  }

  // The album page lists every album under an h4 heading with its own
  // add-photo link; only the link under the heading named ToolName counts.
  int addPhotoLink() {
    const QString album = setting(ToolName);
    const Snapshot rows =
        c.web()->snapshot({QStringLiteral("innerText")},
                          {QStringLiteral("h4"), QStringLiteral("a")});
    QCoreApplication::processEvents();
    bool underAlbum = false;
    for (int i = 0; i < rows.size(); ++i) {
      const QStringList &row = rows[i];
      if (row.size() < 2)
        continue;
      if (row[0] == QLatin1String("h4"))
        underAlbum = trimSpaces(row[1]) == album;
      else if (row[0] == QLatin1String("a") && underAlbum &&
               trimSpaces(row[1]) == kAddPhoto)
        return i;
    }
    return 0;
  }

  Flow toFileManager() {
    Flow f =
        linkStep(QStringLiteral("コントロールパネル"),
                 finder(linkNamed(QStringLiteral("コントロールパネル"))), true);
    if (f != Flow::Continue)
      return f;
    f = linkStep(QStringLiteral("ファイル"),
                 finder(linkNamed(QStringLiteral("ファイル"))), true);
    if (f != Flow::Continue || setting(DirName).isEmpty())
      return f;
    return linkStep(QStringLiteral("フォルダ"),
                    finder(linkNamed(setting(DirName))), false);
  }

  Try uploadRow(int row) {
    const ScanResult s = c.scanPage({dest.fileInput, dest.submit});
    if (c.stopped())
      return Try::Leave;
    if (!s.found(0) || !s.found(1)) {
      if (!s.found(0))
        log(QStringLiteral("参照ボタンが見つかりませんでした"));
      if (!s.found(1))
        log(dest.submitName + QStringLiteral("が見つかりませんでした"));
      return Try::Failure;
    }
    log(QStringLiteral("アップロード情報入力"));
    Try t = c.handOffFile(s[0], c.itemPath(row));
    if (t != Try::Success)
      return t;
    t = c.submitUpload(s[1], {}, dest.submitName);
    if (t != Try::Success)
      return t;
    c.markDone(row);
    // The result page has no form; the next file starts from the form.
    const Flow f = c.goBackAfterUpload(QStringLiteral("応答なし2"));
    if (f == Flow::Continue)
      return Try::Success;
    return f == Flow::Quiet ? Try::Leave : Try::Error;
  }

  Flow logOut() {
    if (!isOn(LogOut))
      return Flow::Success;
    const Flow f = linkStep(QStringLiteral("ログアウト"), finder(kLogout), true,
                            Flow::Success);
    return f == Flow::Continue ? Flow::Success : f;
  }

  ScriptContext c;
  const bool toAlbum;
  const Destination dest;
};
} // namespace

ServiceScript cocologScript() {
  return [](const ScriptHost &host) { return CocologScript(host).run(); };
}
