#include "cases.h"

using JugemRun = SiteTest<fake::FakeJugem>;

TEST_F(JugemRun, AlreadyLoggedInIsRecognisedByTheUserNameInAnyCase) {
  // The site shows the account as it was registered; the setting has it
  // in other letters.
  site.set("user", "JugemUser");
  setting(UserId) = "JUGEMUSER";
  setting(Thumbnail) = "0";
  setting(MakeUrlList) = "0";
  runLoggedIn(log);
  EXPECT_FALSE(log.contains("画像のURL検索"));
  expectAllIn("");
  EXPECT_EQ(sentField("thumb"), QStringList({"0", "0"}));
  EXPECT_TRUE(urlListLines().isEmpty());

  // Someone else's name is no login, and there is no form either.
  again();
  setting(UserId) = "someoneelse";
  setting(RetryCount) = "2";
  startRun(); // no box may come up: the error goes to the log
  expectGaveUp(log, "ログイン", 2);
}

TEST_F(JugemRun, AnEmptyAddressFieldCostsOnlyTheUrlEntry) {
  site.set("emptyUrlField", true);
  setting(RetryCount) = "2";
  startRun();
  expectAllIn("");
  EXPECT_EQ(log.count("画像のURLが見つかりませんでした"), 4);
  EXPECT_EQ(log.count("リトライしたが失敗"), 2);
  EXPECT_TRUE(urlListLines().isEmpty());
  EXPECT_TRUE(log.contains("ログアウト押下完了"));
}
