// The Jugem script end to end: the real main window, the real browser, the
// real file chooser, against the fake Jugem site.
#include "cases.h"

#include "fakejugem.h"

namespace {
struct JugemRun : SiteTest<fake::FakeJugem> {
  JugemRun() : SiteTest("jugem") {}
  QString imageUrl(const QString &name) const {
    return QString::fromStdString(site.baseUrl()) + "/img/" + name;
  }
};
} // namespace

TEST_F(JugemRun, AlreadyLoggedInIsRecognisedByTheUserNameInAnyCase) {
  // The site shows the account as it was registered; the setting has it
  // in other letters.
  auto o = site.options();
  o.account = "JugemUser";
  site.setOptions(o);
  site.setNewSessionsLoggedIn(true);
  setting(UserId) = "JUGEMUSER";
  setting(Thumbnail) = "0";
  setting(MakeUrlList) = "0";
  LogCapture log;
  startRun();
  EXPECT_TRUE(log.contains("既にログインされている?"));
  EXPECT_FALSE(log.contains("ログイン情報入力"));
  EXPECT_FALSE(log.contains("画像のURL検索"));
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  for (const auto &u : site.uploads())
    EXPECT_EQ(u.fields.at("thumb"), "0");
  EXPECT_TRUE(urlListLines().isEmpty());
}

TEST_F(JugemRun, NoLoginFormAndNoUserNameEndsWithTheErrorInTheLog) {
  site.setNewSessionsLoggedIn(true);
  setting(UserId) = "someoneelse";
  setting(RetryCount) = "2";
  setting(AutoRetry) = "0";
  LogCapture log;
  startRun(); // no box may come up: the error goes to the log
  EXPECT_EQ(log.count("ログインが見つかりませんでした"), 2);
  EXPECT_TRUE(log.contains("リトライしたが失敗"));
  EXPECT_TRUE(
      log.contains("エラーが発生しました。ログを確認してください。m(__)m"));
  EXPECT_TRUE(site.uploads().empty());
  EXPECT_TRUE(window()->Idle);
}

TEST_F(JugemRun, AnEmptyAddressFieldCostsOnlyTheUrlEntry) {
  auto o = site.options();
  o.emptyUrlField = true;
  site.setOptions(o);
  setting(RetryCount) = "2";
  LogCapture log;
  startRun();
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  EXPECT_EQ(site.uploads().size(), 2u);
  EXPECT_EQ(log.count("画像のURLが見つかりませんでした"), 4);
  EXPECT_EQ(log.count("リトライしたが失敗"), 2);
  EXPECT_TRUE(urlListLines().isEmpty());
  EXPECT_TRUE(log.contains("ログアウト押下完了"));
}
