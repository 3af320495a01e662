#include "customscript.h"

#include "skeleton.h"

#include "browser/filedialog.h"
#include "browser/pagewait.h"
#include "browser/webbrowser.h"

#include "core/itemlist.h"
#include "core/paths.h"
#include "core/runlog.h"
#include "core/runstate.h"
#include "core/settings.h"
#include "core/textfile.h"

#include <QCoreApplication>
#include <QFileInfo>

// --- the file --------------------------------------------------------------

namespace {
// Error numbers of the failure ending, one per kind of fault.
constexpr int kErrFileNotFound = 53;
constexpr int kErrUnreadable = 75;
constexpr int kErrShortFile = 62;
constexpr int kErrBadLine = 9;
constexpr int kErrNotANumber = 13;

bool isWholeNumber(const QString &s) {
  bool ok = false;
  s.trimmed().toInt(&ok);
  return ok;
}

bool fail(CustomScriptError *error, int number, const QString &text) {
  if (error)
    *error = {number, text};
  return false;
}
} // namespace

bool CustomRow::inUse() const { return attribute.trimmed().toInt() != 0; }

bool loadCustomScript(const QString &path, CustomScript &script,
                      CustomScriptError *error) {
  const QString name = QFileInfo(path).fileName();
  const TextFile file = readTextFile(path);
  if (file.status == ReadStatus::Missing)
    return fail(error, kErrFileNotFound,
                QStringLiteral("%1 が見つかりません (%2)").arg(name, path));
  if (file.status == ReadStatus::Unreadable)
    return fail(error, kErrUnreadable, unreadableMessage(path, file.error));
  const QStringList &lines = file.lines;
  if (lines.size() < kCustomLineCount)
    return fail(error, kErrShortFile,
                QStringLiteral("%1 の行が足りません: %2 行必要ですが %3 行です")
                    .arg(name)
                    .arg(kCustomLineCount)
                    .arg(lines.size()));

  CustomScript parsed;
  for (int r = 0; r < kCustomRowCount; ++r) {
    const QStringList f = lines[r].split(QLatin1Char('\t'));
    const int lineNo = r + 1;
    if (f.size() != 5)
      return fail(error, kErrBadLine,
                  QStringLiteral("%1 の %2 行目: TAB 区切りの項目は 5 つ必要で"
                                 "すが %3 つです")
                      .arg(name)
                      .arg(lineNo)
                      .arg(f.size()));
    if (!isWholeNumber(f[1]))
      return fail(error, kErrNotANumber,
                  QStringLiteral("%1 の %2 行目: 検索対象の番号「%3」が数値で"
                                 "はありません")
                      .arg(name)
                      .arg(lineNo)
                      .arg(f[1]));
    parsed.rows[r] = CustomRow{f[0], f[1], f[2], f[3], f[4]};
  }
  const QStringList flag = lines[kCustomRowCount].split(QLatin1Char('\t'));
  if (flag.size() < 2)
    return fail(error, kErrBadLine,
                QStringLiteral("%1 の %2 行目: 戻る設定の項目がありません")
                    .arg(name)
                    .arg(kCustomLineCount));
  parsed.backAfterUpload = flag[1] == QLatin1String("1");
  script = parsed;
  return true;
}

QString cleanCustomField(const QString &text) {
  QString s = text;
  s.remove(QLatin1Char('\t'));
  s.remove(QLatin1Char('\r'));
  s.remove(QLatin1Char('\n'));
  return s;
}

QStringList customScriptLines(const CustomScript &script) {
  QStringList lines;
  const QString tab = QStringLiteral("\t");
  for (const CustomRow &r : script.rows)
    lines << QStringList{cleanCustomField(r.tag), cleanCustomField(r.attribute),
                         cleanCustomField(r.search), cleanCustomField(r.action),
                         cleanCustomField(r.value)}
                 .join(tab);
  lines << tab +
               (script.backAfterUpload ? QStringLiteral("1")
                                       : QStringLiteral("0")) +
               tab + tab + tab;
  return lines;
}

bool saveCustomScript(const QString &path, const CustomScript &script) {
  return writeTextLines(path, customScriptLines(script), true);
}

// --- finding elements --------------------------------------------------------

QString customProperty(const QString &attributeCode) {
  if (attributeCode == QLatin1String("1"))
    return QStringLiteral("Name");
  if (attributeCode == QLatin1String("2"))
    return QStringLiteral("Value");
  if (attributeCode == QLatin1String("3"))
    return QStringLiteral("innerText");
  if (attributeCode == QLatin1String("4"))
    return QStringLiteral("alt");
  if (attributeCode == QLatin1String("5"))
    return QStringLiteral("Type");
  return QString();
}

QStringList customScanProperties(const QVector<CustomRow> &rows) {
  QStringList props;
  for (const CustomRow &r : rows) {
    const QString p = customProperty(r.attribute);
    if (!p.isEmpty() && !props.contains(p))
      props << p;
  }
  return props;
}

QStringList customScanTags(const QVector<CustomRow> &rows) {
  QStringList tags;
  for (const CustomRow &r : rows)
    if (!customProperty(r.attribute).isEmpty() && !tags.contains(r.tag))
      tags << r.tag;
  return tags;
}

int findCustomElement(const Snapshot &snapshot, const QStringList &properties,
                      const CustomRow &row) {
  const QString property = customProperty(row.attribute);
  if (property.isEmpty())
    return 0;
  const int column = properties.indexOf(property) + 1;
  if (column <= 0)
    return 0;
  const QString wanted = trimSpaces(row.search).toLower();
  const bool lastWins = row.attribute == QLatin1String("1");
  int found = 0;
  for (int i = 0; i < snapshot.size(); ++i) {
    const QStringList &e = snapshot[i];
    // The snapshot's node names are lower case, so a tag written in
    // capitals never matches.
    if (e.size() <= column || e[0] != row.tag)
      continue;
    if (trimSpaces(e[column]).toLower() != wanted)
      continue;
    found = i;
    if (!lastWins)
      break;
  }
  return found;
}

// --- the run -----------------------------------------------------------------

namespace {
void log(const QString &s) { setLog(s); }
int wait(int mode) { return waitBrowser(networkMessage(), mode); }

class CustomRunner {
public:
  explicit CustomRunner(const ScriptHost &host) : c(host, false) {}

  bool run() {
    CustomScriptError error;
    if (!loadCustomScript(dataFile(QString::fromUtf8(kCustomFileName)), script,
                          &error)) {
      c.setError(error.number, error.description);
      return c.endError();
    }
    return c.run({
        [&] { return c.openStartPage(); },
        [&] { return signIn(); },
        [&] { return logIn(); },
        [&] { return intermediate(RowLink1, QStringLiteral("経由ページ1")); },
        [&] { return intermediate(RowLink2, QStringLiteral("経由ページ2")); },
        [&] { return uploadItems(); },
    });
  }

private:
  const CustomRow &row(int r) const { return script.rows[r]; }

  // Finds several rows on the page now shown: one look at the page serves
  // them all, since nothing is done to it between the searches.
  QVector<int> find(const QVector<int> &rows) {
    QVector<CustomRow> wanted;
    for (int r : rows)
      wanted << row(r);
    const QStringList props = customScanProperties(wanted);
    QVector<int> found(rows.size(), 0);
    if (props.isEmpty())
      return found;
    const Snapshot snap = c.web()->snapshot(props, customScanTags(wanted));
    QCoreApplication::processEvents();
    c.forgetFound();
    for (int k = 0; k < rows.size(); ++k) {
      found[k] = findCustomElement(snap, props, wanted[k]);
      c.rememberElement(snap, props, found[k],
                        customProperty(wanted[k].attribute));
    }
    return found;
  }

  void apply(const CustomRow &r, int index) {
    if (r.action == QLatin1String("1"))
      c.clickElement(index);
    else if (r.action == QLatin1String("2"))
      c.setValue(index, r.value);
  }

  // A failed settle ends the pass; a stop in it ends it quietly.
  Flow settle(SettingId seconds) { return c.settlePage(settingInt(seconds)); }

  Flow signIn() {
    if (!row(RowSignIn).inUse())
      return Flow::Continue;
    log(QStringLiteral("サインイン検索"));
    const Flow f = c.retryLoop([&](int) {
      const int at = find({RowSignIn})[0];
      if (c.stopped())
        return Try::Leave;
      if (at == 0) {
        log(QStringLiteral("サインインが見つかりませんでした"));
        return Try::Failure;
      }
      log(QStringLiteral("サインイン押下"));
      apply(row(RowSignIn), at);
      return afterPress(QStringLiteral("サインインへ移動完了"));
    });
    if (f != Flow::Continue)
      return f;
    return settle(LoginWait);
  }

  // The mode-0 wait after a press: success logs `doneLine`.
  Try afterPress(const QString &doneLine) {
    const int r = wait(0);
    if (c.stopped())
      return Try::Leave;
    if (r != 0) {
      log(QStringLiteral("応答なし1"));
      return Try::Failure;
    }
    log(doneLine);
    return Try::Success;
  }

  Flow logIn() {
    if (!row(RowUserId).inUse() && !row(RowPassword).inUse() &&
        !row(RowLoginButton).inUse() && !row(RowLoggedIn).inUse())
      return Flow::Continue;
    log(QStringLiteral("ログイン検索"));
    const Flow f = c.retryLoop([&](int) {
      const QVector<int> at =
          find({RowUserId, RowPassword, RowLoginButton, RowLoggedIn});
      if (c.stopped())
        return Try::Leave;
      if (at[3] > 0) {
        log(QStringLiteral("既にログインされている?"));
        log(QStringLiteral("ログイン済み押下"));
        apply(row(RowLoggedIn), at[3]);
        return afterPress(QStringLiteral("ログイン済み移動完了"));
      }
      if (row(RowUserId).inUse()) {
        if (at[0] == 0) {
          log(QStringLiteral("ユーザー名が見つかりませんでした"));
        } else {
          log(QStringLiteral("ユーザー名入力"));
          apply(row(RowUserId), at[0]);
        }
      }
      if (row(RowPassword).inUse()) {
        if (at[1] == 0) {
          log(QStringLiteral("パスワードが見つかりませんでした"));
        } else {
          log(QStringLiteral("パスワード入力"));
          apply(row(RowPassword), at[1]);
        }
      }
      if (!row(RowLoginButton).inUse())
        return Try::Failure;
      if (at[2] == 0) {
        log(QStringLiteral("ログインが見つかりませんでした"));
        return Try::Failure;
      }
      log(QStringLiteral("ログイン押下"));
      apply(row(RowLoginButton), at[2]);
      return afterPress(QStringLiteral("ログイン完了"));
    });
    if (f != Flow::Continue)
      return f;
    return settle(UpPageWait);
  }

  Flow intermediate(int r, const QString &name) {
    if (!row(r).inUse())
      return Flow::Continue;
    log(name + QStringLiteral("検索"));
    const Flow f = c.retryLoop([&](int) {
      const int at = find({r})[0];
      if (c.stopped())
        return Try::Leave;
      if (at == 0) {
        log(name + QStringLiteral("が見つかりませんでした"));
        return Try::Failure;
      }
      log(name + QStringLiteral("押下"));
      apply(row(r), at);
      if (const Try t = c.waitForNextPage(); t != Try::Success)
        return t;
      log(name + QStringLiteral("移動完了"));
      return Try::Success;
    });
    if (f != Flow::Continue)
      return f;
    return settle(UpPageWait);
  }

  // Back to the upload form after an upload. Only a page that did not
  // load through the attempts ends the pass; a failed settle lets the item
  // go on from wherever the browser is.
  Flow goBack() {
    log(QStringLiteral("戻る開始"));
    c.web()->GoBack();
    const Flow f = c.retryLoop([&](int) {
      const int r = wait(0);
      if (c.stopped())
        return Try::Leave;
      if (r != 0) {
        log(QStringLiteral("応答なし1"));
        return Try::Failure;
      }
      log(QStringLiteral("戻る完了"));
      return Try::Success;
    });
    if (f != Flow::Continue)
      return f;
    log(QStringLiteral("ページ読込開始"));
    if (wait(1) != 0) {
      if (c.stopped())
        return Flow::Quiet;
      log(QStringLiteral("応答なし2"));
      return Flow::Continue;
    }
    if (c.stopped())
      return Flow::Quiet;
    log(QStringLiteral("ページ切替待ち開始"));
    pauseSec(settingInt(UpPageWait));
    if (c.stopped())
      return Flow::Quiet;
    log(QStringLiteral("ページ読込開始2"));
    const int r = wait(1);
    if (c.stopped())
      return Flow::Quiet;
    if (r != 0) {
      log(QStringLiteral("応答なし2"));
      return Flow::Continue;
    }
    lastUploaded = false;
    return Flow::Continue;
  }

  // The file hand-off of the Browse row. Without the chooser nothing can
  // be uploaded, so its failure stops the whole run.
  Try handOff(int item, int fileInput) {
    return c.handOffFile(fileInput, c.itemPath(item), true);
  }

  Try submit(int at) {
    const CustomRow &r = row(RowSubmit);
    if (r.action != QLatin1String("1")) {
      // Anything but a click leaves the form where it is: no upload.
      apply(r, at);
      return Try::Failure;
    }
    c.clickElement(at);
    QCoreApplication::processEvents();
    if (const Try t = c.waitForNextPage(); t != Try::Success)
      return t;
    log(QStringLiteral("ページ切替待ち開始"));
    pauseSec(settingInt(UpLoadWait));
    if (c.stopped())
      return Try::Leave;
    log(QStringLiteral("ページ読込開始2"));
    const int w = wait(1);
    if (c.stopped())
      return Try::Leave;
    if (w != 0) {
      log(QStringLiteral("応答なし2"));
      return Try::Failure;
    }
    return Try::Success;
  }

  Try uploadAttempt(int item) {
    const bool thumbnailOff = setting(Thumbnail) == QLatin1String("0");
    QVector<int> rows;
    if (thumbnailOff)
      rows << RowThumbnail;
    rows << RowBrowse << RowFileName << RowSubmit;
    for (int r = RowField1; r <= RowField5; ++r)
      rows << r;
    const QVector<int> found = find(rows);
    if (c.stopped())
      return Try::Leave;
    auto at = [&](int r) { return found[rows.indexOf(r)]; };

    if (thumbnailOff && row(RowThumbnail).inUse()) {
      if (at(RowThumbnail) == 0) {
        log(QStringLiteral("サムネイルが見つかりませんでした"));
      } else {
        log(QStringLiteral("サムネイルのチェックを外す"));
        apply(row(RowThumbnail), at(RowThumbnail));
      }
    }

    if (row(RowBrowse).inUse()) {
      const CustomRow &b = row(RowBrowse);
      if (at(RowBrowse) == 0) {
        log(QStringLiteral("参照ボタンが見つかりませんでした"));
      } else {
        log(QStringLiteral("参照ボタン押下"));
        if (b.action == QLatin1String("3")) {
          const Try t = handOff(item, at(RowBrowse));
          if (t != Try::Success)
            return t;
        } else {
          apply(b, at(RowBrowse));
        }
      }
    }

    if (row(RowFileName).inUse()) {
      const CustomRow &n = row(RowFileName);
      if (at(RowFileName) == 0) {
        log(QStringLiteral("ファイル名が見つかりませんでした"));
      } else {
        log(QStringLiteral("ファイル名をセット"));
        if (n.action == QLatin1String("1"))
          c.clickElement(at(RowFileName));
        else if (n.action == QLatin1String("2"))
          c.setValue(at(RowFileName),
                     n.value == QLatin1String(kFileNamePlaceholder)
                         ? c.host.items->item(item).name
                         : n.value);
      }
    }

    for (int r = RowField1; r <= RowField5; ++r) {
      if (!row(r).inUse())
        continue;
      const QString field = QStringLiteral("項目%1").arg(r - RowField1 + 1);
      if (at(r) == 0) {
        log(field + QStringLiteral("が見つかりませんでした"));
      } else {
        log(field + QStringLiteral("をセット"));
        apply(row(r), at(r));
      }
    }

    if (!row(RowSubmit).inUse())
      return Try::Failure;
    if (at(RowSubmit) == 0) {
      log(QStringLiteral("アップロードが見つかりませんでした"));
      return Try::Failure;
    }
    log(QStringLiteral("アップロード開始"));
    return submit(at(RowSubmit));
  }

  Flow uploadItems() {
    ItemListModel *items = c.host.items;
    const int count = items->itemCount();
    for (int item = 0; item < count && item < items->itemCount(); ++item) {
      if (items->item(item).done())
        continue;
      if (lastUploaded && script.backAfterUpload) {
        const Flow f = goBack();
        if (f != Flow::Continue)
          return f;
      }
      if (!row(RowThumbnail).inUse() && !row(RowBrowse).inUse() &&
          !row(RowFileName).inUse() && !row(RowSubmit).inUse())
        continue;
      if (row(RowBrowse).action == QLatin1String("3") && !c.fileReady(item))
        continue;
      log(QStringLiteral("アップロードページ検索"));
      const Flow f = c.retryLoop([&](int) { return uploadAttempt(item); });
      if (f == Flow::Error)
        c.giveUp(item, LeftReason::AttemptsUsedUp);
      if (f != Flow::Continue)
        return f;
      if (c.stopped())
        return Flow::Quiet;
      log(QStringLiteral("アップロード完了"));
      c.noteSent();
      c.markDone(item);
      lastUploaded = true;
    }
    return c.stopped() ? Flow::Quiet : Flow::Continue;
  }

  ScriptContext c;
  CustomScript script;
  bool lastUploaded = false;
};
} // namespace

bool runCustomScript(const ScriptHost &host) {
  return CustomRunner(host).run();
}
