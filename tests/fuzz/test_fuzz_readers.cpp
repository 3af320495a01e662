// Bad input never crashes, never hangs and never loses the files: the
// readers of the settings file and the list file are fed random and
// mutated files from a fixed seed.
#include "core/itemlist.h"
#include "core/settings.h"
#include "core/textfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace {
const WorkArea kScreen{28800, 16200};

// Random bytes, rich in what the readers split on: line breaks, commas,
// TABs and the done mark.
QByteArray randomBytes(std::mt19937 &rng, int maxSize) {
  const QByteArray special[] = {"\r\n", ",", "\t", "済"};
  std::uniform_int_distribution<int> size(0, maxSize);
  std::uniform_int_distribution<int> kind(0, 9);
  QByteArray out;
  for (int i = size(rng); i > 0; --i) {
    const int k = kind(rng);
    out += k < 4 ? special[k] : QByteArray(1, char(rng()));
  }
  return out;
}

// A valid file with some bytes changed, inserted or removed.
QByteArray mutate(std::mt19937 &rng, QByteArray b) {
  std::uniform_int_distribution<int> op(0, 2);
  for (int k = 0; k < 8 && !b.isEmpty(); ++k) {
    std::uniform_int_distribution<int> at(0, int(b.size()) - 1);
    const int i = at(rng), what = op(rng);
    const char c = char(rng());
    if (what == 0)
      b[i] = c;
    else if (what == 1)
      b.insert(i, c);
    else
      b.remove(i, 1);
  }
  return b;
}

void put(const QString &path, const QByteArray &bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}
} // namespace

TEST(FuzzReaders, SettingsFileAlwaysLoadsWithSaneDefaults) {
  QTemporaryDir dir;
  const QString path = dir.filePath("Sendora.ini");
  std::mt19937 rng(20261207);
  QByteArray valid;
  for (int i = 0; i < 45; ++i)
    valid += QByteArray::number(i) + "\r\n";
  for (int round = 0; round < 400; ++round) {
    put(path, round % 2 ? randomBytes(rng, 4000) : mutate(rng, valid));
    clearSettings();
    loadSettings(path, kScreen);
    ASSERT_EQ(setting(IniVersion), "0.54");
    ASSERT_TRUE(isNumeric(setting(TimeOut)));
    ASSERT_TRUE(isNumeric(setting(RetryCount)));
    ASSERT_TRUE(setting(AutoRetry) == "0" || setting(AutoRetry) == "1");
    // what loads saves as 45 whole lines and loads back the same
    ASSERT_TRUE(saveSettings(path));
    ASSERT_EQ(readTextLines(path).size(), 45);
    const QStringList before = settingsLines();
    clearSettings();
    loadSettings(path, kScreen);
    ASSERT_EQ(settingsLines(), before);
  }
}

TEST(FuzzReaders, ListFileAlwaysLoadsAndRoundTrips) {
  QTemporaryDir dir;
  const QString path = dir.filePath("Default.sdr");
  std::mt19937 rng(7);
  const QByteArray valid =
      "済,/a/b.jpg,5\r\n,/c/日本.png,5\r\n,/d,e/f.gif,9\r\n";
  for (int round = 0; round < 400; ++round) {
    put(path, round % 2 ? randomBytes(rng, 6000) : mutate(rng, valid));
    ItemListModel m;
    ASSERT_TRUE(loadItemList(m, path));
    for (const ItemRow &r : m.items())
      ASSERT_TRUE(r.folder.isEmpty() || r.folder.endsWith('/'));
    ASSERT_TRUE(saveItemList(m, path));
    ItemListModel back;
    ASSERT_TRUE(loadItemList(back, path));
    ASSERT_EQ(back.itemCount(), m.itemCount());
    for (int i = 0; i < m.itemCount(); ++i) {
      ASSERT_EQ(back.item(i).path(), m.item(i).path());
      ASSERT_EQ(back.item(i).status, m.item(i).status);
    }
  }
}
