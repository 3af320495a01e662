#include "core/itemlist.h"
#include "core/textfile.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
QStringList names(const ItemListModel &m) {
  QStringList out;
  for (const ItemRow &r : m.items())
    out << r.name;
  return out;
}
} // namespace

TEST(ItemList, SaveLoadRoundTripKeepsStatusesAndPriorities) {
  QTemporaryDir dir;
  const QString path = dir.filePath("Default.sdr");
  ItemListModel m;
  // A TAB or a long name is no trouble for the list file.
  const QString tab = "/a/b\tc.jpg", longName = QString(300, QChar(u'長'));
  m.appendItems({"/home/u/写真/犬.jpg", "/top.png", tab, "/x/" + longName}, 5);
  m.setStatus(0, "済");
  ASSERT_TRUE(saveItemList(m, path));
  EXPECT_EQ(readTextLines(path).mid(0, 3),
            QStringList(
                {"済,/home/u/写真/犬.jpg,5", ",/top.png,5", ",/a/b\tc.jpg,5"}));

  ItemListModel back;
  ASSERT_TRUE(loadItemList(back, path));
  ASSERT_EQ(back.itemCount(), 4);
  EXPECT_EQ(back.item(0).status, "済");
  EXPECT_EQ(back.item(0).folder, "/home/u/写真/");
  EXPECT_EQ(back.item(0).name, "犬.jpg");
  EXPECT_EQ(back.item(1).folder, "/"); // root folder keeps its "/"
  EXPECT_EQ(back.item(1).priority, "5");
  EXPECT_EQ(back.item(2).path(), tab);
  EXPECT_EQ(back.item(3).name, longName);

  // A later save replaces the file whole and leaves nothing beside it; one
  // that cannot write says so.
  m.removeItems(1, 3);
  ASSERT_TRUE(saveItemList(m, path));
  EXPECT_EQ(readTextLines(path), QStringList({"済,/home/u/写真/犬.jpg,5"}));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
            QStringList({"Default.sdr"}));
  EXPECT_FALSE(saveItemList(m, dir.filePath("missing/Default.sdr")));
}

TEST(ItemList, DamagedLinesAreSkippedAndAMissingFileKeepsTheList) {
  QTemporaryDir dir;
  const QString path = dir.filePath("Default.sdr");
  writeTextLines(path, {"garbage", ",/a/b.jpg,5", "", "済,/c,d/e.jpg,9"});
  ItemListModel m;
  ASSERT_TRUE(loadItemList(m, path));
  ASSERT_EQ(m.itemCount(), 2);
  EXPECT_EQ(m.item(1).path(), "/c,d/e.jpg");
  EXPECT_EQ(m.item(1).priority, "9");

  EXPECT_FALSE(loadItemList(m, dir.filePath("missing.sdr")));
  EXPECT_EQ(m.itemCount(), 2);
}

// A move keeps the blocks in order and ends the sorted state.
TEST(ItemList, HeaderSortTogglesAndMovesBlocks) {
  ItemListModel m;
  m.appendItems({"/y/b", "/x/c", "/z/a", "/X/d"}, 5);
  m.sortByHeader(ColFolder);
  EXPECT_EQ(m.headerText(ColFolder), "▲ﾌｫﾙﾀﾞ");
  EXPECT_EQ(names(m), QStringList({"d", "c", "b", "a"})); // case-sensitive
  m.sortByHeader(ColFolder);
  EXPECT_EQ(m.headerText(ColFolder), "▼ﾌｫﾙﾀﾞ");
  EXPECT_EQ(names(m), QStringList({"a", "b", "c", "d"}));
  m.sortByHeader(ColName);
  EXPECT_EQ(m.headerText(ColFolder), "ﾌｫﾙﾀﾞ");
  EXPECT_EQ(m.headerText(ColName), "▲ﾌｧｲﾙ名");
  EXPECT_EQ(names(m), QStringList({"a", "b", "c", "d"}));

  EXPECT_EQ(m.moveItems(0, 0, true), 0); // first item up: unchanged
  EXPECT_EQ(names(m), QStringList({"a", "b", "c", "d"}));
  EXPECT_EQ(m.moveItems(1, 2, false), 2); // block of two down by one
  EXPECT_EQ(names(m), QStringList({"a", "d", "b", "c"}));
  EXPECT_EQ(m.headerText(ColName), "ﾌｧｲﾙ名");
  EXPECT_EQ(m.moveItems(3, 2, false), 2); // at the bottom: unchanged
  EXPECT_EQ(names(m), QStringList({"a", "d", "b", "c"}));
  EXPECT_EQ(m.moveItems(1, 3, true), 0);
  EXPECT_EQ(names(m), QStringList({"d", "b", "c", "a"}));
}

// Clearing the marks instead is what every second run of a test relies on.
TEST(ItemList, PurgeDoneRemovesTheDoneItemsUpToTheLast) {
  ItemListModel m;
  m.appendItems({"/d/a", "/d/b", "/d/c"}, 5);
  m.setStatus(0, "済");
  m.setStatus(2, "済");
  m.purgeDone(true);
  EXPECT_EQ(names(m), QStringList({"b"}));
  m.setStatus(0, "済");
  m.purgeDone(true);
  EXPECT_EQ(m.itemCount(), 0);
}

TEST(ItemList, PathsTheListFileCannotHoldAreNamed) {
  EXPECT_TRUE(itemPathProblem("/a/b\tc.jpg").isEmpty());
  EXPECT_TRUE(itemPathProblem("/a/b,c.jpg").contains("/a/b,c.jpg"));
  EXPECT_FALSE(itemPathProblem("/a/b\nc.jpg").isEmpty());
}
