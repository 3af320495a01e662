#include "cases.h"

#include <QElapsedTimer>

namespace {

template <class S> ServiceSite siteOf(const char *name, int service) {
  return {name, service, &typeid(S),
          [] { return std::unique_ptr<fake::FakeSite>(new S); }};
}

QString str(const std::string &s) { return QString::fromStdString(s); }

// Files served right under the site, as BASE + prefix + name.
UrlOf under(const char *prefix) {
  return [prefix](fake::FakeSite &s, int, const QString &n) {
    return str(s.baseUrl()) + prefix + n;
  };
}

// The log lines around the submit shared by services that wait twice.
const QStringList kTwoWaits = {"ページ読込開始", "ページ切替待ち開始",
                               "ページ読込開始2"};
// The login's three waits up to the check, logged alike by several services.
const QStringList kThreeWaits = {"ページ読込開始",  "ページ切替待ち開始",
                                 "ページ読込開始2", "ページ切替待ち開始2",
                                 "ページ読込開始3", "ログインチェック開始"};
const QStringList kSearchAndPress = {"参照ボタン・アップロード検索",
                                     "アップロード情報入力", "参照ボタン押下"};

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

bool comesAfter(const QStringList &lines, const QString &first,
                const QString &later) {
  const int at = lines.indexOf(first);
  return at >= 0 && lines.indexOf(later, at) > at;
}

const std::vector<ServiceCase> &serviceCases() {
  using Site = fake::FakeSite;
  static const std::vector<ServiceCase> cases = {
      {siteOf<fake::FakeFc2>("fc2", SvcFc2),
       "/",
       {{UserId, "user@example.com"}},
       "",
       "/logout.php",
       under("/file/"),
       {{"参照ボタン・アップロード検索", "アップロード情報入力",
         "同名ファイルを選択開始", "別名で保存を選択", "参照ボタン押下"},
        join({{"アップロード押下"},
              kTwoWaits,
              {"アップロード押下完了", "アップロード確認",
               "アップロード確認成功", "URL対応リスト追加完了",
               "参照ボタン・アップロード検索"}}),
        {"ログイン押下完了"},
        {"ファイルアップロード押下完了"}},
       {},
       [](Site &s) {
         setFc2TopUrl(str(static_cast<fake::FakeFc2 &>(s).topUrl()));
       }},
      {siteOf<fake::FakeSeesaa>("seesaa", SvcSeesaa),
       "/",
       {{UserId, "user@example.com"}, {ToolName, "Photo Album"}, {DirName, ""}},
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
      {siteOf<fake::FakeLivedoor>("livedoor", SvcLivedoor),
       "/",
       {{UserId, "user1"},
        {DirName, "Travel Notes"},
        {ToolName, "写真"},
        {Thumbnail, "1"},
        {CheckUpload, "1"}},
       "Travel Notes/写真",
       "/logout",
       fileIn<fake::FakeLivedoor>("Travel Notes"),
       {{"選択したファイルをアップロードする押下完了", "アップロード確認",
         "アップロード確認成功", "ファイルタイトル検索",
         "ファイルタイトル検索成功", "URL対応ﾘｽﾄ追加完了",
         "ファイルのアップロード検索"},
        {"変更押下完了"},
        {"ファイルの管理・お絵描き押下完了"}},
       {{"name_1", kFileName}, {"make_thumbnail_1", "1"}}},
      {siteOf<fake::FakeDti>("dti", SvcDti),
       "/login.html",
       {{UserId, "user1"}, {Thumbnail, "1"}, {CheckUpload, "1"}},
       "",
       "/logout",
       nullptr,
       {join({{"管理画面へログイン押下完了"}, kThreeWaits}),
        {"参照ボタン・アップロード検索", "アップロード情報入力",
         "標準サイズ画像を作るのチェックする", "参照ボタン押下"},
        {"アップロード押下", "ページ読込開始", "ページ切替待ち開始",
         "ページ切替待ち開始2", "アップロード押下完了", "アップロード確認",
         "アップロード確認成功", "参照ボタン・アップロード検索"}},
       {{"thumb", "1"}}},
      {siteOf<fake::FakeNinja>("ninja", SvcNinja),
       "/login.html",
       // The tool list shows "My Photo Blog"; a second blog comes first.
       {{UserId, "ninja-user"},
        {ToolName, "my photo BLOG"},
        {OverWrite, "0"},
        {CheckUpload, "1"}},
       "My Photo Blog",
       "/logout.html",
       fileIn<fake::FakeNinja>("My Photo Blog"),
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
      {siteOf<fake::FakeCsc>("csc", SvcCsc),
       "/",
       {{UserId, "csc@example.com"}, {CheckUpload, "1"}},
       "",
       "/logout",
       nullptr,
       {join({{"ログイン押下完了"}, kThreeWaits}),
        kSearchAndPress,
        {"画像を追加する押下", "ページ読込開始", "ページ切替待ち開始",
         "ページ読込開始", "画像を追加する押下完了",
         "参照ボタン・アップロード検索"},
        {"画像の管理押下完了"}}},
      {siteOf<fake::FakeAmeba>("ameba", SvcAmeba),
       "/",
       {{UserId, "ameba_user"}},
       "",
       "/logout",
       nullptr,
       {{"Ameba (アメーバ)ログイン押下完了", "ページ読込開始",
         "ページ切替待ち開始", "ページ読込開始2", "ページ切替待ち開始",
         "ページ読込開始3", "ログインチェック開始"},
        kSearchAndPress,
        {"アップロード押下", "ページ読込開始", "ページ切替待ち開始",
         "ページ読込開始", "アップロード押下完了", "ページ読込開始",
         "ページ切替待ち開始", "ページ読込開始2", "ページ切替待ち開始2",
         "ページ読込開始3", "ページ切替待ち開始2", "ページ読込開始4",
         "参照ボタン・アップロード検索"},
        {"ログアウト押下完了", "ページ読込開始", "ページ切替待ち開始",
         "ページ読込開始2", "ページ切替待ち開始", "ページ読込開始3"},
        {"記事を書く押下完了"},
        {"画像フォルダ押下完了"}}},
      {siteOf<fake::FakeRakuten>("rakuten", SvcRakuten),
       "/",
       {{UserId, "rakuten-user"}, {ToolName, "旅行"}},
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
       {{"name[]", kFileName}}},
      {siteOf<fake::FakeGoo>("goo", SvcGoo),
       "/",
       {{UserId, "goo-user"}, {GooSize, "1"}},
       "",
       "/logout",
       nullptr,
       {join({{"ログイン押下完了"},
              kThreeWaits,
              {"ログインチェック成功", "画像フォルダ検索"}}),
        {"参照ボタン・アップロード検索", "アップロード情報入力",
         "ファイルの種類を選択", "ファイルの種類を選択完了", "参照ボタン押下"},
        // The second wait after the submit is logged as the first one.
        {"アップロード押下", "ページ読込開始", "ページ切替待ち開始",
         "ページ読込開始", "アップロード押下完了",
         "参照ボタン・アップロード検索"}},
       {{"raw_title[0]", kFileName}, {"upload_size", "1"}}},
      {siteOf<fake::FakeCocolog>("cocolog", SvcCocolog),
       "/t/app",
       // The second album, its heading padded.
       {{UserId, "coco-user"},
        {CocologTarget, "0"},
        {ToolName, "日記"},
        {DirName, ""}},
       "日記",
       "/t/app/logout",
       nullptr,
       {{"ログイン押下", "ページ切替待ち開始", "ログイン押下完了"},
        kSearchAndPress,
        join({{"写真を追加する押下"},
              kTwoWaits,
              {"写真を追加する押下完了", "戻る開始", "戻る完了"},
              kTwoWaits,
              {"参照ボタン・アップロード検索"}}),
        {"マイフォト押下完了"},
        {"新しい写真の追加押下完了"}}},
      {siteOf<fake::FakeJugem>("jugem", SvcJugem),
       "/",
       {{UserId, "jugemuser"}, {Thumbnail, "1"}},
       "",
       "/logout",
       under("/img/"),
       // One wait per link: the management link opens in this window
       // although the page asks for a new one.
       {{"管理者ページ押下", "管理者ページ押下完了", "ページ読込開始"},
        {"画像の管理押下", "画像の管理押下完了", "ページ読込開始"},
        {"画像アップロード押下", "画像アップロード押下完了", "ページ読込開始"},
        {"アップロード押下完了", "画像のURL検索", "画像のURL検索成功",
         "URL対応リスト追加完了", "参照ボタン・アップロード検索"}},
       {{"alt0", kFileName}, {"thumb", "1"}}},
      {siteOf<fake::FakeWebry>("webry", SvcWebry),
       "/",
       {{UserId, "webryuser"}, {DirName, "photos"}, {OverWrite, "1"}},
       "photos",
       "",
       fileIn<fake::FakeWebry>("photos"),
       {{"設定画面へ押下", "設定画面へ押下完了", "ページ読込開始"},
        {"フォルダ検索", "フォルダ押下", "フォルダ押下完了"},
        // The second window goes first, then the driver closes the first.
        {"ブラウザ2を閉じる", "ブラウザを閉じる"}},
       {{"overwriteflg", "1"}},
       [](Site &s) {
         auto &site = static_cast<fake::FakeWebry &>(s);
         site.addFolder("misc");
         site.addFolder("photos"); // also shown under the recent folders
       }},
      {siteOf<fake::FakeSonet>("sonet", SvcSonet),
       "/",
       {{UserId, "sonetuser"}, {CocologTarget, "0"}},
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
    if (name == c.site.name)
      return c;
  throw std::invalid_argument(name);
}

const ServiceCase &caseOfSite(const std::type_info &type) {
  for (const auto &c : serviceCases())
    if (*c.site.type == type)
      return c;
  throw std::invalid_argument(type.name());
}

// The window takes over the log when it is made: it must exist before the
// fixture's log capture.
ServiceTest::ServiceTest(const ServiceCase &c)
    : svcCase(c), base((window(), c.site.make())) {}

void ServiceTest::SetUp() {
  ServiceRunTest::SetUp();
  ASSERT_TRUE(base->start());
  setting(BlogUrl) = QString::fromStdString(base->url(svcCase.startPath));
  setServiceLoginUrl(svcCase.site.service, setting(BlogUrl));
  setting(Password) = "secret";
  for (SettingId id : {MakeUrlList, LogOut, CheckLogin})
    setting(id) = "1";
  for (const auto &s : svcCase.settings)
    setting(s.first) = s.second;
  if (svcCase.prepare)
    svcCase.prepare(*base);
  queueTwoFiles();
  log.clear();
}

void ServiceTest::requeue(
    const std::vector<std::pair<QString, QByteArray>> &list) {
  window()->items()->clear();
  files.clear();
  queueFiles(list);
}

void ServiceTest::again() {
  base->clearUploads();
  window()->items()->purgeDone(false);
  log.clear();
}

int ServiceTest::requestsTo(const std::string &path,
                            const std::string &method) const {
  int n = 0;
  for (const auto &r : base->requests())
    n += r.path == path && (method.empty() || r.method == method);
  return n;
}

QStringList ServiceTest::sentNames() const {
  QStringList out;
  for (const auto &u : base->uploads())
    out << str(u.filename);
  return out;
}

QStringList ServiceTest::sentField(const std::string &field) const {
  QStringList out;
  for (const auto &u : base->uploads())
    out << (u.fields.count(field) ? str(u.fields.at(field)) : "-");
  return out;
}

QStringList ServiceTest::urlsOf(const UrlOf &url) const {
  QStringList out;
  for (size_t i = 0; i < files.size(); ++i)
    out << data.file("up/" + files[i].first) + "\t" +
               url(*base, int(i), files[i].first);
  return out;
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
  const std::map<QString, QByteArray> sent(files.begin(), files.end());
  for (const auto &u : base->uploads())
    EXPECT_EQ(QByteArray::fromStdString(u.bytes), sent.at(str(u.filename)))
        << u.filename;
  const QStringList received = sentNames();
  for (const ItemRow &r : window()->items()->items()) {
    const bool there = received.contains(r.name);
    if (r.done())
      EXPECT_TRUE(there) << r.name.toStdString() << " marked, not there";
    else if (complete)
      EXPECT_FALSE(there) << r.name.toStdString() << " there, not marked";
  }
  const QStringList lines = listFileLines();
  ASSERT_EQ(lines.size(), window()->items()->itemCount());
  for (int i = 0; i < lines.size(); ++i)
    EXPECT_EQ(lines[i].startsWith("済,"), window()->items()->item(i).done());
}

void ServiceTest::expectAllIn(const QString &folder) {
  EXPECT_EQ(statuses(), QStringList(int(files.size()), "済"));
  for (const auto &u : base->uploads())
    EXPECT_EQ(QString::fromStdString(u.folder), folder) << u.filename;
  expectQueueTellsTheTruth(true);
}

void ServiceTest::expectGaveUp(const LogCapture &log, const QString &what,
                               int attempts) {
  EXPECT_EQ(log.count(what + "が見つかりませんでした"), attempts);
  EXPECT_TRUE(log.contains("リトライしたが失敗"));
  EXPECT_TRUE(log.contains(kLoggedError));
  EXPECT_TRUE(base->uploads().empty());
  EXPECT_EQ(statuses(), QStringList(int(files.size()), ""));
  EXPECT_TRUE(window()->Idle);
}

void ServiceTest::runLoggedIn(const LogCapture &log) {
  base->setNewSessionsLoggedIn(true);
  setting(LogOut) = "0";
  startRun();
  EXPECT_TRUE(log.contains("既にログインされている?"));
  EXPECT_FALSE(log.contains("ログイン情報入力"));
}
