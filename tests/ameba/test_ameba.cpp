// The Ameba script end to end: the real main window, the real browser, the
// real file chooser, against the fake Ameba site.
#include "servicerun.h"

#include "core/itemlist.h"
#include "core/services.h"
#include "core/settings.h"
#include "fakeameba.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/rundriver.h"

#include <QTimer>

#include <gtest/gtest.h>

namespace {
class AmebaRun : public ServiceRunTest {
protected:
  void SetUp() override {
    ServiceRunTest::SetUp();
    ASSERT_TRUE(site.start());
    setting(BlogUrl) = QString::fromStdString(site.loginUrl());
    setting(UserId) = "ameba_user";
    setting(Password) = "secret";
    setting(MakeUrlList) = "1"; // not used by this service
    setting(LogOut) = "1";
    setting(CheckLogin) = "1";
    setServiceLoginUrl(SvcAmeba, setting(BlogUrl));
    queueTwoFiles();
  }
  void TearDown() override {
    ServiceRunTest::TearDown();
    site.stop();
  }
  void setSite(const std::function<void(fake::FakeAmeba::Options &)> &f) {
    auto o = site.options();
    f(o);
    site.setOptions(o);
  }

  fake::FakeAmeba site;
};
} // namespace

TEST_F(AmebaRun, UploadsEveryImageTitledByItsFileName) {
  LogCapture log;
  startRun();

  const auto got = byName(site.uploads());
  ASSERT_EQ(got.size(), files.size());
  const auto stored = site.stored();
  for (const auto &f : files) {
    EXPECT_EQ(got.at(f.first), f.second) << f.first.toStdString();
    EXPECT_EQ(QString::fromStdString(stored.at(f.first.toStdString()).title),
              f.first);
  }
  EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  for (const QString &l : listFileLines())
    EXPECT_TRUE(l.startsWith("済,")) << l.toStdString();
  EXPECT_TRUE(urlListLines().isEmpty());

  const QStringList l = log.lines();
  EXPECT_EQ(l.mid(0, 3), QStringList({"ブラウザを開く", "アメーバブログで動作",
                                      "ブログ表示開始"}));
  const int login = l.indexOf("Ameba (アメーバ)ログイン押下完了");
  ASSERT_GE(login, 0);
  EXPECT_EQ(l.mid(login + 1, 6),
            QStringList({"ページ読込開始", "ページ切替待ち開始",
                         "ページ読込開始2", "ページ切替待ち開始",
                         "ページ読込開始3", "ログインチェック開始"}));
  EXPECT_TRUE(log.contains("記事を書く押下完了"));
  EXPECT_TRUE(log.contains("画像フォルダ押下完了"));
  const int from = l.indexOf("参照ボタン・アップロード検索");
  ASSERT_GE(from, 0);
  // The file chooser logs its own steps between these two parts.
  const QStringList item = {"参照ボタン・アップロード検索",
                            "アップロード情報入力", "参照ボタン押下"};
  EXPECT_EQ(l.mid(from, item.size()), item);
  const int submit = l.indexOf("アップロード押下", from);
  ASSERT_GT(submit, from);
  const QStringList tail = {"アップロード押下",
                            "ページ読込開始",
                            "ページ切替待ち開始",
                            "ページ読込開始",
                            "アップロード押下完了",
                            "ページ読込開始",
                            "ページ切替待ち開始",
                            "ページ読込開始2",
                            "ページ切替待ち開始2",
                            "ページ読込開始3",
                            "ページ切替待ち開始2",
                            "ページ読込開始4",
                            "参照ボタン・アップロード検索"};
  EXPECT_EQ(l.mid(submit, tail.size()), tail);
  const int out = l.indexOf("ログアウト押下完了");
  ASSERT_GE(out, 0);
  EXPECT_EQ(
      l.mid(out + 1, 5),
      QStringList({"ページ読込開始", "ページ切替待ち開始", "ページ読込開始2",
                   "ページ切替待ち開始", "ページ読込開始3"}));
  EXPECT_EQ(l.last(), "ブラウザを閉じる");
}

TEST_F(AmebaRun, LoginButtonInCapitalsAndTheAccountIdBlock) {
  // The button's alt text in capitals still matches.
  setSite([](auto &o) { o.loginAlt = "AMEBA (アメーバ)ログイン"; });
  setting(LogOut) = "0"; // the browser stays logged in for the next run
  {
    LogCapture log;
    startRun();
    EXPECT_TRUE(log.contains("Ameba (アメーバ)ログイン押下完了"));
    EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  }

  // Logged in: the id block with a link to this account.
  window()->items()->purgeDone(false);
  {
    LogCapture log;
    startRun();
    EXPECT_TRUE(log.contains("既にログインされている?"));
    EXPECT_FALSE(log.contains("ログイン情報入力"));
    EXPECT_EQ(statuses(), QStringList({"済", "済"}));
  }

  // The same block for another account: no login form, so no way in.
  window()->items()->purgeDone(false);
  setSite([](auto &o) { o.shownAccount = "someone_else"; });
  const size_t before = site.uploads().size();
  {
    LogCapture log;
    startRun();
    EXPECT_FALSE(log.contains("既にログインされている?"));
    EXPECT_EQ(log.count("Ameba (アメーバ)ログインが見つかりませんでした"), 3);
    EXPECT_TRUE(
        log.contains("エラーが発生しました。ログを確認してください。m(__)m"));
    EXPECT_EQ(site.uploads().size(), before);
    EXPECT_EQ(statuses(), QStringList({"", ""}));
  }
}

TEST_F(AmebaRun, StopWhileThePageSettlesAfterAnUploadLeavesItPending) {
  setting(UpPageWait) = "1";
  LogCapture log;
  QTimer poll;
  poll.setInterval(10);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (log.contains("ページ切替待ち開始2")) {
      poll.stop();
      stopRun();
    }
  });
  poll.start();
  startRun();

  EXPECT_EQ(site.uploads().size(), 1u); // the file itself went up
  EXPECT_EQ(statuses(), QStringList({"", ""}));
  EXPECT_FALSE(listFileLines().first().startsWith("済"));
  EXPECT_TRUE(log.contains("中断されました"));
  EXPECT_FALSE(log.contains("ログアウト検索"));
  EXPECT_TRUE(window()->Idle);
}

int main(int argc, char **argv) { return runTestsWithApp(argc, argv); }
