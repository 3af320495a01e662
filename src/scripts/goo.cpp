#include "goo.h"

#include "skeleton.h"

#include "browser/pagewait.h"
#include "browser/webbrowser.h"

#include "core/itemlist.h"
#include "core/runlog.h"
#include "core/settings.h"

namespace {
// The goo pages as the script sees them.
const Target kLoginLink{"a", "innerHtml", Match::Contains, "ログイン",
                        Hit::First};
const Target kEditButton{"input", "Value", Match::Exact, "作成・編集",
                         Hit::First};
const Target kAccount{"input", "Name", Match::Exact, "uname"};
const Target kPassword{"input", "Name", Match::Exact, "pass"};
const Target kLoginButton{"input", "alt", Match::Alt, "ログイン", Hit::First};
const Target kImageFolder{"a", "innerText", Match::Exact, "画像フォルダ",
                          Hit::First};
const Target kSizeChoice{"input", "Name", Match::Exact, "upload_size"};
const Target kFileInput{"input", "Name", Match::Exact, "userfile[0]"};
const Target kTitle{"input", "Name", Match::Exact, "raw_title[0]"};
const Target kSubmit{"input", "Value", Match::Exact, "アップロード",
                     Hit::First};
const Target kLogoutButton{"input", "Value", Match::Exact, "ログアウト",
                           Hit::First};

// The size choice that stands for a video upload.
constexpr int kVideoChoice = 2;

LoginForm loginForm() {
  LoginForm f{kAccount, kPassword, kLoginButton};
  f.assumeLoggedIn = false;
  f.buttonNotFoundLine = QStringLiteral("ログインが見つかりませんでした");
  f.pauseAfterPress = true;
  return f;
}

void log(const QString &s) { setLog(s); }

class GooScript {
public:
  explicit GooScript(const ScriptHost &host) : c(host, false) {}

  bool run() {
    return c.run({
        [&] { return c.openStartPage(); },
        [&] { return startPage(); },
        [&] { return loginBehindLink(); },
        [&] { return toImageFolder(); },
        [&] {
          return c.uploadItems(QStringLiteral("参照ボタン・アップロード検索"),
                               [&](int row) { return uploadRow(row); });
        },
        [&] { return logOut(); },
    });
  }

private:
  int find(const Target &t) { return c.scanPage({t})[0]; }

  // The start page offers a login link to a visitor and an edit button to
  // a user who is logged in already.
  Flow startPage() {
    log(QStringLiteral("ログイン検索"));
    const Flow f = c.retryLoop([&](int) {
      const ScanResult s = c.scanPage({kLoginLink, kEditButton});
      if (c.stopped())
        return Try::Leave;
      loginLinkFound = s.found(0);
      QString name;
      if (s.found(0)) {
        name = QStringLiteral("ログイン");
      } else if (s.found(1)) {
        name = QStringLiteral("作成・編集");
      } else {
        // Nothing to press; whether the user is in shows on the next page.
        log(QStringLiteral("作成・編集が見つかりませんでした"));
        return Try::Success;
      }
      log(name + QStringLiteral("押下"));
      c.clickElement(s.found(0) ? s[0] : s[1]);
      const int r = waitBrowser(networkMessage(), 0);
      if (c.stopped())
        return Try::Leave;
      if (r != 0) {
        log(QStringLiteral("応答なし1"));
        return Try::Failure;
      }
      log(name + QStringLiteral("押下完了"));
      return Try::Success;
    });
    if (f != Flow::Continue)
      return f;
    return c.settlePage(settingInt(UpPageWait));
  }

  Flow loginBehindLink() {
    if (!loginLinkFound)
      return Flow::Continue;
    Flow f = c.logIn(loginForm());
    if (f != Flow::Continue)
      return f;
    f = c.settleTwice(settingInt(UpPageWait),
                      QStringLiteral("ページ切替待ち開始2"));
    if (f != Flow::Continue)
      return f;
    return c.checkLogin(kAccount);
  }

  Flow toImageFolder() {
    const Flow f = c.followFoundOnce(QStringLiteral("画像フォルダ"),
                                     [&] { return find(kImageFolder); });
    if (f != Flow::Continue)
      return f;
    return c.settlePage(settingInt(UpPageWait));
  }

  Try uploadRow(int row) {
    QVector<Option> sizes;
    const ScanResult s =
        c.scanPageListing({kFileInput, kTitle, kSubmit}, kSizeChoice, sizes,
                          QStringLiteral("Value"));
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
    const ItemRow item = c.host.items->item(row);
    if (!setting(GooSize).isEmpty())
      chooseSize(sizes, item.path());
    if (s.found(1))
      c.setValue(s[1], item.name);
    const Try t = c.handOffFile(s[0], item.path());
    if (t != Try::Success)
      return t;
    const Try sent = c.submitUpload(s[2], {}, QStringLiteral("アップロード"),
                                    QStringLiteral("ページ読込開始"));
    if (sent != Try::Success)
      return sent;
    c.markDone(row);
    return Try::Success;
  }

  // Videos take the third choice whatever the setting says; other files
  // the choice valued as the setting.
  void chooseSize(const QVector<Option> &sizes, const QString &path) {
    log(QStringLiteral("ファイルの種類を選択"));
    int choice = -1;
    if (isVideo(path)) {
      if (sizes.size() <= kVideoChoice) {
        // A page without the video choice still takes the file; the
        // service decides what to make of it.
        log(QStringLiteral("動画ファイルの選択肢が見つかりませんでした"));
        return;
      }
      choice = sizes[kVideoChoice].index;
    } else {
      for (const Option &o : sizes) {
        if (o.text == setting(GooSize)) {
          choice = o.index;
          break;
        }
      }
    }
    if (choice < 0)
      return;
    c.web()->setProperty(choice, QStringLiteral("Checked"), true);
    log(QStringLiteral("ファイルの種類を選択完了"));
  }

  static bool isVideo(const QString &path) {
    const QString ext =
        path.mid(path.lastIndexOf(QLatin1Char('.')) + 1).toLower();
    return ext == QLatin1String("amc") || ext == QLatin1String("3gp") ||
           ext == QLatin1String("3gp2");
  }

  Flow logOut() {
    if (!isOn(LogOut))
      return Flow::Success;
    const Flow f = c.followFoundOnce(
        QStringLiteral("ログアウト"), [&] { return find(kLogoutButton); },
        Flow::Success);
    if (f != Flow::Continue)
      return f;
    const Flow settled = c.settlePage(settingInt(UpPageWait));
    return settled == Flow::Continue ? Flow::Success : settled;
  }

  ScriptContext c;
  bool loginLinkFound = false;
};
} // namespace

ServiceScript gooScript() {
  return [](const ScriptHost &host) { return GooScript(host).run(); };
}
