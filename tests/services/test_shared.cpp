// What every service's run must do: each file received byte for byte in
// the right place, marked done in the grid and the list file, the address
// list written where the service keeps one, the log-out reached, and none
// of the page's look-alikes taken.
#include "cases.h"

#include <QRegularExpression>

namespace {

class EveryService : public ServiceTest,
                     public ::testing::WithParamInterface<ServiceCase> {
protected:
  EveryService() : ServiceTest(GetParam()) {}
};

TEST_P(EveryService, UploadsMarksRecordsAndLogsOut) {
  startRun();
  EXPECT_TRUE(window()->Idle);

  expectAllIn(svcCase.folder);
  QStringList names; // in the queue's order
  for (const auto &f : files)
    names << f.first;
  EXPECT_EQ(sentNames(), names);
  for (const auto &[field, value] : svcCase.fields)
    EXPECT_EQ(sentField(field),
              value == kFileName ? names : QStringList(names.size(), value))
        << field;
  EXPECT_EQ(urlListLines(), svcCase.url ? urlsOf(svcCase.url) : QStringList());

  const QStringList l = log.lines();
  EXPECT_EQ(l.mid(0, 2),
            QStringList({"ブラウザを開く",
                         serviceTable()[svcCase.site.service].logLabel}));
  EXPECT_EQ(l.last(), "ブラウザを閉じる");
  EXPECT_TRUE(log.contains("ログインチェック成功"));
  for (const QStringList &run : svcCase.steps)
    EXPECT_TRUE(holdsRun(l, run)) << run.join(" / ").toStdString();
  if (!svcCase.logoutPath.empty()) {
    // "ログアウト押下完了" or "サインアウト押下完了"
    EXPECT_EQ(l.filter(QRegularExpression("アウト押下完了$")).size(), 1);
    EXPECT_EQ(requestsTo(svcCase.logoutPath), 1);
  } else {
    EXPECT_FALSE(log.contains("ログアウト検索"));
  }
  EXPECT_EQ(base->trapped(), 0);
  EXPECT_FALSE(browserLoaded());
  EXPECT_FALSE(browser2Loaded());
}

// The services whose pages lead a browser still logged in past the login
// form, the sessions of the fake taken as logged in. (A fresh fixture: the
// browser keeps the cookie of the session the first run logged out.)
class LoggedInService : public EveryService {};

TEST_P(LoggedInService, PassesOverTheLoginForm) {
  runLoggedIn(log);
  expectAllIn(svcCase.folder);
  EXPECT_FALSE(log.contains("ログアウト検索"));
  EXPECT_EQ(requestsTo(svcCase.logoutPath), 0);
  EXPECT_EQ(base->trapped(), 0);
}

std::string nameOf(const ::testing::TestParamInfo<ServiceCase> &info) {
  return info.param.site.name;
}

INSTANTIATE_TEST_SUITE_P(All, EveryService, ::testing::ValuesIn(serviceCases()),
                         nameOf);
INSTANTIATE_TEST_SUITE_P(All, LoggedInService,
                         ::testing::Values(serviceCase("fc2"),
                                           serviceCase("ninja"),
                                           serviceCase("csc"),
                                           serviceCase("rakuten"),
                                           serviceCase("cocolog")),
                         nameOf);

} // namespace

int main(int argc, char **argv) { return runTestsWithApp(argc, argv); }
