#include "core/services.h"
#include "core/settings.h"
#include "core/textfile.h"
#include "testsupport.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
const WorkArea kScreen{28800, 16200}; // 1920x1080 at 15 twips a pixel

// Loads the settings afresh from `path`, first writing `lines` there when
// given.
void loadFrom(const QString &path, const QStringList *lines = nullptr) {
  if (lines)
    writeTextLines(path, *lines);
  clearSettings();
  loadSettings(path, kScreen);
}

} // namespace

// Each row: the value the file holds, the value the program then uses.
// Unreadable numbers and flags fall back to their defaults.
TEST(Settings, NormalisationOfNumbersFlagsAndWindowPlaces) {
  struct Row {
    SettingId id;
    const char *written, *used;
  };
  const std::vector<std::vector<Row>> files = {
      {{RetryCount, "0", "1"},
       {Thumbnail, "7", "1"},
       {OverWrite, "0", "0"},
       {UseCustom, "abc", "0"},
       {AutoRetry, "2", "0"},
       {GooSize, "2", "2"},
       {LoginWait, "x", "5"},
       {ShowAd, "0", "1"}, // another version
       {IniVersion, "0.53", "0.54"},
       {UseConfirmPress, "0", "0"},
       {CocologTarget, "1", "1"},
       // Window places: a minimised window, junk, beyond the screen.
       {MainLeft, "-32000", "-1"},
       {MainTop, "junk", "0"},
       {MainWidth, "99999", "0"},
       {BrowserTop, "-5", "-1"},
       {BrowserHeight, "", "3600"}},
      // A count below one or not whole, a time-out of zero or less: no
      // attempt at all or a page wait without end, so normalised.
      {{RetryCount, "-2", "1"},
       {TimeOut, "-5", "30"},
       {ShowAd, "0", "0"},
       {IniVersion, "0.54", "0.54"},
       {GooSize, "3", "0"}},
      {{RetryCount, "2.5", "3"}, {TimeOut, "0", "30"}},
      {{RetryCount, "99999", "32767"}, {TimeOut, "0.5", "0.5"}},
      {{LoginWait, "x\xff", "5"},
       {UpPageWait, "", "5"},
       {UpLoadWait, "1e", "10"},
       {RetryCount, "\x01", "3"},
       {Thumbnail, "-", "0"},
       {CheckUpload, "yes", "1"},
       {LowCpu, "2", "1"},
       {MakeUrlList, "1 ", "0"},
       {CocologTarget, "x", "0"},
       {TimeOut, "\xe3", "30"},
       {IniVersion, "junk", "0.54"}}};
  QTemporaryDir dir;
  for (const auto &rows : files) {
    QStringList l(SettingCount); // every line present and empty
    for (const Row &r : rows)
      l[r.id] = QString::fromLatin1(r.written);
    loadFrom(dir.filePath("Sendora.ini"), &l);
    for (const Row &r : rows)
      EXPECT_EQ(setting(r.id), QString::fromLatin1(r.used))
          << r.id << " '" << r.written << "'";
  }
}

TEST(Settings, TheWorkAreaClamp) {
  // Negative values stay; beyond the width (or height) they become 0.
  const struct {
    const char *in;
    bool horizontal;
    const char *out;
  } clamps[] = {{"-30000", true, "-30000"},
                {"28800", true, "28800"},
                {"28801", true, "0"},
                {"20000", false, "0"},
                {"", false, "0"}};
  for (const auto &c : clamps) {
    QString v = c.in;
    clampToWorkArea(kScreen, v, c.horizontal);
    EXPECT_EQ(v, c.out) << c.in;
  }
}

TEST(Settings, SaveAndLoadRoundTrip) {
  QTemporaryDir dir;
  const QString path = dir.filePath("Sendora.ini");
  QStringList l(SettingCount);
  for (int extra = 45; extra < 50; ++extra)
    l << QString("extra%1").arg(extra);
  l[BlogUrl] = "https://admin.blog.fc2.com/";
  l[UserId] = "ユーザー";
  l[Password] = "パス,ワード";
  l[DlgTitle] = "ファイルの選択";
  loadFrom(path, &l);
  setting(MainTop) = "-1234";
  ASSERT_TRUE(saveSettings(path));

  const QStringList saved = readTextLines(path);
  ASSERT_EQ(saved.size(), 45); // lines 45 to 49 are dropped
  EXPECT_EQ(saved[MainTop], "-1");
  EXPECT_TRUE(readFile(path).startsWith("https://admin.blog.fc2.com/\r\n"));
  // it holds the password: the user alone may read it
  EXPECT_EQ(QFileInfo(path).permissions() & 0x0077, 0);

  loadFrom(path);
  EXPECT_EQ(setting(UserId), "ユーザー");
  EXPECT_EQ(setting(Password), "パス,ワード");
  EXPECT_EQ(setting(DlgTitle), "ファイルの選択");
}

TEST(Services, SelectionByFragment) {
  fillServiceTable();
  ASSERT_EQ(serviceTable().size(), 13);
  for (int i = 0; i < ServiceCount; ++i) {
    const BlogService &s = serviceTable()[i];
    EXPECT_EQ(selectService(s.loginUrl), i) << i;
    EXPECT_EQ(selectService(s.loginUrl.toUpper()), i) << i;
  }
  EXPECT_EQ(selectService("http://myblog.blog.fc2.com/"), SvcFc2);
  EXPECT_EQ(selectService("http://fc2.com.localhost:4000/"), SvcFc2);
  EXPECT_EQ(selectService("http://example.org/"), -1);
}
