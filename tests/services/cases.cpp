#include "cases.h"

#include "fakeameba.h"
#include "fakecocolog.h"
#include "fakecsc.h"
#include "fakedti.h"
#include "fakefc2.h"
#include "fakegoo.h"
#include "fakejugem.h"
#include "fakelivedoor.h"
#include "fakeninja.h"
#include "fakerakuten.h"
#include "fakeseesaa.h"
#include "fakesonet.h"
#include "fakewebry.h"

#include <QElapsedTimer>

namespace {

template <class S> std::function<std::unique_ptr<fake::FakeSite>()> maker() {
  return [] { return std::make_unique<S>(); };
}

void set(SettingId id, const char *value) { setting(id) = value; }

QString str(const std::string &s) { return QString::fromStdString(s); }

// The log lines around the submit shared by services that wait twice.
const QStringList kTwoWaits = {"ページ読込開始", "ページ切替待ち開始",
                               "ページ読込開始2"};

QStringList join(std::initializer_list<QStringList> parts) {
  QStringList out;
  for (const auto &p : parts)
    out << p;
  return out;
}

} // namespace

bool holdsRun(const QStringList &lines, const QStringList &run) {
  for (int i = 0; i + run.size() <= lines.size(); ++i)
    if (lines.mid(i, run.size()) == run)
      return true;
  return false;
}

const std::vector<ServiceCase> &serviceCases() {
  using Site = fake::FakeSite;
  static const std::vector<ServiceCase> cases = {
      {"fc2",
       SvcFc2,
       maker<fake::FakeFc2>(),
       "/",
       "user@example.com",
       [](Site &s) {
         setFc2TopUrl(str(static_cast<fake::FakeFc2 &>(s).topUrl()));
       },
       "",
       "/logout.php",
       [](Site &s, int, const QString &n) {
         return str(s.baseUrl()) + "/file/" + n;
       },
       {{"参照ボタン・アップロード検索", "アップロード情報入力",
         "同名ファイルを選択開始", "別名で保存を選択", "参照ボタン押下"},
        join({{"アップロード押下"},
              kTwoWaits,
              {"アップロード押下完了", "アップロード確認",
               "アップロード確認成功", "URL対応リスト追加完了",
               "参照ボタン・アップロード検索"}}),
        {"ログイン押下完了"},
        {"ファイルアップロード押下完了"}}},
      {"seesaa",
       SvcSeesaa,
       maker<fake::FakeSeesaa>(),
       "/",
       "user@example.com",
       [](Site &) {
         set(ToolName, "Photo Album");
         set(DirName, "");
       },
       "photos/",
       "/signout",
       nullptr,
       {{"参照ボタン･アップロード検索", "アップロード情報入力",
         "参照ボタン押下"},
        join({{"アップロード押下"},
              kTwoWaits,
              {"アップロード押下完了", "参照ボタン･アップロード検索"}}),
        {"ブログ名押下完了"},
        {"ファイルマネージャ押下完了"}}},
      {"livedoor",
       SvcLivedoor,
       maker<fake::FakeLivedoor>(),
       "/",
       "user1",
       [](Site &) {
         set(DirName, "Travel Notes");
         set(ToolName, "写真");
         set(Thumbnail, "1");
         set(CheckUpload, "1");
       },
       "Travel Notes/写真",
       "/logout",
       [](Site &s, int, const QString &n) {
         return str(static_cast<fake::FakeLivedoor &>(s).fileUrl(
             "Travel Notes", n.toStdString()));
       },
       {{"選択したファイルをアップロードする押下完了", "アップロード確認",
         "アップロード確認成功", "ファイルタイトル検索",
         "ファイルタイトル検索成功", "URL対応ﾘｽﾄ追加完了",
         "ファイルのアップロード検索"},
        {"変更押下完了"},
        {"ファイルの管理・お絵描き押下完了"}},
       [](const fake::Upload &u) {
         EXPECT_EQ(u.fields.at("name_1"), u.filename);
         EXPECT_EQ(u.fields.at("make_thumbnail_1"), "1");
       }},
      {"dti",
       SvcDti,
       maker<fake::FakeDti>(),
       "/login.html",
       "user1",
       [](Site &) {
         set(Thumbnail, "1");
         set(CheckUpload, "1");
       },
       "",
       "/logout",
       nullptr,
       {{"管理画面へログイン押下完了", "ページ読込開始", "ページ切替待ち開始",
         "ページ読込開始2", "ページ切替待ち開始2", "ページ読込開始3",
         "ログインチェック開始"},
        {"参照ボタン・アップロード検索", "アップロード情報入力",
         "標準サイズ画像を作るのチェックする", "参照ボタン押下"},
        {"アップロード押下", "ページ読込開始", "ページ切替待ち開始",
         "ページ切替待ち開始2", "アップロード押下完了", "アップロード確認",
         "アップロード確認成功", "参照ボタン・アップロード検索"}},
       [](const fake::Upload &u) { EXPECT_EQ(u.fields.count("thumb"), 1u); }},
      {"ninja",
       SvcNinja,
       maker<fake::FakeNinja>(),
       "/login.html",
       "ninja-user",
       [](Site &) {
         // The tool list shows "My Photo Blog"; a second blog comes first.
         set(ToolName, "my photo BLOG");
         set(OverWrite, "0");
         set(CheckUpload, "1");
       },
       "My Photo Blog",
       "/logout.html",
       [](Site &s, int, const QString &n) {
         return str(static_cast<fake::FakeNinja &>(s).fileUrl("My Photo Blog",
                                                              n.toStdString()));
       },
       {{"参照ボタン･アップロード検索", "アップロード情報入力",
         "参照ボタン押下"},
        join({{"アップロード押下"},
              kTwoWaits,
              {"アップロード押下完了", "アップロード済ファイル検索",
               "アップロード済ファイルが見つかりました",
               "URL対応リスト追加完了", "ファイル一覧に戻る検索",
               "ファイル一覧に戻る押下", "ファイル一覧に戻る押下完了"},
              kTwoWaits,
              {"参照ボタン･アップロード検索"}}),
        {"ブログ名押下完了"},
        {"ツール一覧に戻る押下完了"}}},
      {"csc",
       SvcCsc,
       maker<fake::FakeCsc>(),
       "/",
       "csc@example.com",
       [](Site &) { set(CheckUpload, "1"); },
       "",
       "/logout",
       nullptr,
       {{"ログイン押下完了", "ページ読込開始", "ページ切替待ち開始",
         "ページ読込開始2", "ページ切替待ち開始2", "ページ読込開始3",
         "ログインチェック開始"},
        {"参照ボタン・アップロード検索", "アップロード情報入力",
         "参照ボタン押下"},
        {"画像を追加する押下", "ページ読込開始", "ページ切替待ち開始",
         "ページ読込開始", "画像を追加する押下完了",
         "参照ボタン・アップロード検索"},
        {"画像の管理押下完了"}}},
      {"ameba",
       SvcAmeba,
       maker<fake::FakeAmeba>(),
       "/",
       "ameba_user",
       [](Site &) {},
       "",
       "/logout",
       nullptr,
       {{"Ameba (アメーバ)ログイン押下完了", "ページ読込開始",
         "ページ切替待ち開始", "ページ読込開始2", "ページ切替待ち開始",
         "ページ読込開始3", "ログインチェック開始"},
        {"参照ボタン・アップロード検索", "アップロード情報入力",
         "参照ボタン押下"},
        {"アップロード押下", "ページ読込開始", "ページ切替待ち開始",
         "ページ読込開始", "アップロード押下完了", "ページ読込開始",
         "ページ切替待ち開始", "ページ読込開始2", "ページ切替待ち開始2",
         "ページ読込開始3", "ページ切替待ち開始2", "ページ読込開始4",
         "参照ボタン・アップロード検索"},
        {"ログアウト押下完了", "ページ読込開始", "ページ切替待ち開始",
         "ページ読込開始2", "ページ切替待ち開始", "ページ読込開始3"},
        {"記事を書く押下完了"},
        {"画像フォルダ押下完了"}}},
      {"rakuten",
       SvcRakuten,
       maker<fake::FakeRakuten>(),
       "/",
       "rakuten-user",
       [](Site &) { set(ToolName, "旅行"); },
       "旅行",
       "/logout",
       [](Site &s, int i, const QString &n) {
         return str(static_cast<fake::FakeRakuten &>(s).pictureUrl(
             i + 1, n.toStdString()));
       },
       {{"参照ボタン・アップロード検索", "アップロード情報入力",
         "登録先のアルバムを選択", "登録先のアルバムを選択完了",
         "参照ボタン押下"},
        join({{"フォトをアップロード検索", "フォトをアップロード押下"},
              kTwoWaits,
              {"フォトをアップロード押下完了", "テキストエリア検索",
               "テキストエリア検索成功", "URL対応リスト追加完了", "戻る開始",
               "戻る完了"},
              kTwoWaits,
              {"参照ボタン・アップロード検索"}})},
       [](const fake::Upload &u) {
         EXPECT_EQ(u.fields.at("name[]"), u.filename);
       }},
      {"goo",
       SvcGoo,
       maker<fake::FakeGoo>(),
       "/",
       "goo-user",
       [](Site &) { set(GooSize, "1"); },
       "",
       "/logout",
       nullptr,
       {{"ログイン押下完了", "ページ読込開始", "ページ切替待ち開始",
         "ページ読込開始2", "ページ切替待ち開始2", "ページ読込開始3",
         "ログインチェック開始", "ログインチェック成功", "画像フォルダ検索"},
        {"参照ボタン・アップロード検索", "アップロード情報入力",
         "ファイルの種類を選択", "ファイルの種類を選択完了", "参照ボタン押下"},
        // The second wait after the submit is logged as the first one.
        {"アップロード押下", "ページ読込開始", "ページ切替待ち開始",
         "ページ読込開始", "アップロード押下完了",
         "参照ボタン・アップロード検索"}},
       [](const fake::Upload &u) {
         EXPECT_EQ(u.fields.at("raw_title[0]"), u.filename);
         EXPECT_EQ(u.fields.at("upload_size"), "1");
       }},
      {"cocolog",
       SvcCocolog,
       maker<fake::FakeCocolog>(),
       "/t/app",
       "coco-user",
       [](Site &) {
         set(CocologTarget, "0");
         set(ToolName, "日記"); // the second album, its heading padded
         set(DirName, "");
       },
       "日記",
       "/t/app/logout",
       nullptr,
       {{"ログイン押下", "ページ切替待ち開始", "ログイン押下完了"},
        {"参照ボタン・アップロード検索", "アップロード情報入力",
         "参照ボタン押下"},
        join({{"写真を追加する押下"},
              kTwoWaits,
              {"写真を追加する押下完了", "戻る開始", "戻る完了"},
              kTwoWaits,
              {"参照ボタン・アップロード検索"}}),
        {"マイフォト押下完了"},
        {"新しい写真の追加押下完了"}}},
      {"jugem",
       SvcJugem,
       maker<fake::FakeJugem>(),
       "/",
       "jugemuser",
       [](Site &) { set(Thumbnail, "1"); },
       "",
       "/logout",
       [](Site &s, int, const QString &n) {
         return str(s.baseUrl()) + "/img/" + n;
       },
       // One wait per link: the management link opens in this window
       // although the page asks for a new one.
       {{"管理者ページ押下", "管理者ページ押下完了", "ページ読込開始"},
        {"画像の管理押下", "画像の管理押下完了", "ページ読込開始"},
        {"画像アップロード押下", "画像アップロード押下完了", "ページ読込開始"},
        {"アップロード押下完了", "画像のURL検索", "画像のURL検索成功",
         "URL対応リスト追加完了", "参照ボタン・アップロード検索"}},
       [](const fake::Upload &u) {
         EXPECT_EQ(u.field, "upfile0");
         EXPECT_EQ(u.fields.at("alt0"), u.filename);
         EXPECT_EQ(u.fields.at("thumb"), "1");
       }},
      {"webry",
       SvcWebry,
       maker<fake::FakeWebry>(),
       "/",
       "webryuser",
       [](Site &s) {
         auto &site = static_cast<fake::FakeWebry &>(s);
         site.addFolder("misc");
         site.addFolder("photos"); // also shown under the recent folders
         set(DirName, "photos");
         set(OverWrite, "1");
       },
       "photos",
       "",
       [](Site &s, int, const QString &n) {
         return str(static_cast<fake::FakeWebry &>(s).fileUrl("photos",
                                                              n.toStdString()));
       },
       {{"設定画面へ押下", "設定画面へ押下完了", "ページ読込開始"},
        {"フォルダ検索", "フォルダ押下", "フォルダ押下完了"},
        // The second window goes first, then the driver closes the first.
        {"ブラウザ2を閉じる", "ブラウザを閉じる"}},
       [](const fake::Upload &u) {
         EXPECT_EQ(u.fields.count("overwriteflg"), 1u);
       }},
      {"sonet",
       SvcSonet,
       maker<fake::FakeSonet>(),
       "/",
       "sonetuser",
       [](Site &) { set(CocologTarget, "0"); },
       "",
       "/logout",
       nullptr,
       {{"ログイン押下", "ページ切替待ち開始",
         "スクリプト エラー画面が表示される場合は、手動でOKボタンを押して"
         "ください。m(__)m",
         "ログイン押下完了"},
        {"再認証チェック開始", "再認証画面ではありません"},
        {"ファイル管理押下完了"}}},
  };
  return cases;
}

const ServiceCase &serviceCase(const std::string &name) {
  for (const auto &c : serviceCases())
    if (name == c.name)
      return c;
  throw std::invalid_argument(name);
}

ServiceTest::ServiceTest(const char *name)
    : svcCase(serviceCase(name)), base(svcCase.make()) {}

void ServiceTest::SetUp() {
  ServiceRunTest::SetUp();
  ASSERT_TRUE(base->start());
  setting(BlogUrl) = QString::fromStdString(base->url(svcCase.startPath));
  setServiceLoginUrl(svcCase.service, setting(BlogUrl));
  setting(UserId) = svcCase.user;
  setting(Password) = "secret";
  for (SettingId id : {MakeUrlList, LogOut, CheckLogin})
    setting(id) = "1";
  svcCase.settings(*base);
  queueTwoFiles();
}

void ServiceTest::TearDown() {
  ServiceRunTest::TearDown();
  base->stop();
}

void ServiceTest::requeue(
    const std::vector<std::pair<QString, QByteArray>> &list) {
  window()->items()->clear();
  files.clear();
  queueFiles(list);
}

int ServiceTest::requestsTo(const std::string &path) const {
  int n = 0;
  for (const auto &r : base->requests())
    n += r.path == path;
  return n;
}

int ServiceTest::postsSeen(const std::string &path) const {
  int n = 0;
  for (const auto &r : base->requests())
    n += r.method == "POST" && r.path == path;
  return n;
}

void ServiceTest::run() {
  QElapsedTimer clock;
  clock.start();
  bool cut = false;
  Trigger watchdog([&] { return clock.elapsed() > 60000; },
                   [&] {
                     cut = true;
                     stopRun();
                   });
  startRun();
  ASSERT_FALSE(cut) << "the run did not end";
}

void ServiceTest::expectQueueTellsTheTruth(bool complete) {
  const auto got = base->uploads();
  for (const ItemRow &r : window()->items()->items()) {
    QByteArray sent;
    for (const auto &f : files)
      if (f.first == r.name)
        sent = f.second;
    bool received = false;
    for (const auto &u : got)
      if (QString::fromStdString(u.filename) == r.name) {
        received = true;
        EXPECT_EQ(QByteArray::fromStdString(u.bytes), sent)
            << r.name.toStdString();
      }
    if (r.done())
      EXPECT_TRUE(received) << r.name.toStdString() << " marked, not there";
    else if (complete)
      EXPECT_FALSE(received) << r.name.toStdString() << " there, not marked";
  }
  const QStringList lines = listFileLines();
  ASSERT_EQ(lines.size(), window()->items()->itemCount());
  for (int i = 0; i < lines.size(); ++i)
    EXPECT_EQ(lines[i].startsWith("済,"), window()->items()->item(i).done());
}

std::map<QString, QString> ServiceTest::foldersByName() const {
  std::map<QString, QString> out;
  for (const auto &u : base->uploads())
    out[QString::fromStdString(u.filename)] = QString::fromStdString(u.folder);
  return out;
}

void ServiceTest::expectAllIn(const QString &folder) {
  const auto got = byName(base->uploads());
  ASSERT_EQ(got.size(), files.size());
  for (const auto &f : files)
    EXPECT_EQ(got.at(f.first), f.second) << f.first.toStdString();
  for (const auto &p : foldersByName())
    EXPECT_EQ(p.second, folder) << p.first.toStdString();
  EXPECT_EQ(statuses(), QStringList(int(files.size()), "済"));
  for (const QString &l : listFileLines())
    EXPECT_TRUE(l.startsWith("済,")) << l.toStdString();
}

void ServiceTest::runLoggedIn(const LogCapture &log) {
  base->setNewSessionsLoggedIn(true);
  setting(LogOut) = "0";
  startRun();
  EXPECT_TRUE(log.contains("既にログインされている?"));
  EXPECT_FALSE(log.contains("ログイン情報入力"));
}
