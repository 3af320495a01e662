// The matching rules every service script rests on, on element-list
// snapshots without a browser.
#include "scripts/pagescan.h"

#include <gtest/gtest.h>

namespace {

const QStringList kProps = {"Name", "innerText"};

// Row 0 is the document's first element; rows list (tag, Name, innerText).
Snapshot page(std::initializer_list<QStringList> elements) {
  Snapshot rows{{"html", "", ""}};
  for (const QStringList &e : elements)
    rows << e;
  return rows;
}

Target text(const QString &tag, Match m, const QString &t, Hit h = Hit::Last) {
  return {tag, "innerText", m, t, h};
}

int scanOne(const Snapshot &rows, const Target &t) {
  return scanSnapshot(rows, kProps, {t})[0];
}

} // namespace

TEST(PageScan, MatchKinds) {
  struct Case {
    Match match;
    const char *target, *value;
    bool hit;
  } cases[] = {
      {Match::Exact, "log in", "  Log In ", true}, // spaces trimmed, lowered
      {Match::Exact, "log in", "\tlog in", false}, // a tab is no space
      {Match::Exact, "log in", "log in\n", false}, // nor a line break
      {Match::Exact, "log in", "log in now", false},
      {Match::Exact, "ログイン", "　ログイン", false}, // nor an ideographic one
      {Match::ExactCase, "Photo Album", " Photo Album  ", true},
      {Match::ExactCase, "Photo Album", "photo album", false},
      {Match::Contains, "upload", " file upload done ", true},
      {Match::Contains, "upload", "UPLOAD", false},
      {Match::Alt, "logout", "\tLog\tOut ", true}, // tabs removed, lowered
      {Match::Alt, "logout", "\nlogout", false},
      {Match::Alt, "logout", "log out", false},
  };
  for (const Case &c : cases) {
    const Target t{"a", "innerText", c.match, c.target};
    EXPECT_EQ(matches(t, c.value), c.hit)
        << int(c.match) << " '" << c.target << "' vs '" << c.value << "'";
  }
  EXPECT_EQ(trimSpaces("  a b \t "), "a b \t");
}

// The tag must equal the element's name; the alt kind reads "alt" whatever
// property the target names.
TEST(PageScan, TagAndPropertyChosenPerTarget) {
  const Target alt{"img", "Name", Match::Alt, "go"};
  EXPECT_EQ(scanProperties({alt, text("a", Match::Exact, "x")}),
            QStringList({"alt", "innerText"}));
  const Snapshot rows = {{"html", ""}, {"a", "go"}, {"img", "Go\t"}};
  EXPECT_EQ(scanSnapshot(rows, {"alt"}, {alt})[0], 2);
}

TEST(PageScan, LastHitKeepsTheLastFirstHitEndsTheScanIndexZeroIsNone) {
  const Snapshot rows = page({{"a", "", "Next"},
                              {"input", "user", ""},
                              {"a", "", "next"},
                              {"input", "user", ""},
                              {"a", "", "Next "}});
  EXPECT_EQ(scanOne(rows, text("a", Match::Exact, "next")), 5);
  EXPECT_EQ(scanOne(rows, text("a", Match::Exact, "next", Hit::First)), 1);

  // A first hit on element 3 leaves the later targets of element 3 and all
  // later elements unexamined, but keeps what earlier ones found.
  const Target user{"input", "Name", Match::Exact, "user"};
  const ScanResult r =
      scanSnapshot(rows, kProps,
                   {user, text("a", Match::ExactCase, "next", Hit::First), user,
                    text("a", Match::Exact, "next")});
  EXPECT_EQ(r.index, QVector<int>({2, 3, 2, 1}));
  EXPECT_TRUE(r.found(3));

  // Position 0 is the document itself: a match there counts as not found.
  const Snapshot top = {{"a", "", "top"}};
  EXPECT_FALSE(
      scanSnapshot(top, kProps, {text("a", Match::Exact, "top")}).found(0));
}

TEST(PageScan, OptionsCollectedUntilTheFirstNonOption) {
  Target list{"select", "Name", Match::Exact, "dir"};
  list.collectOptions = true;
  EXPECT_EQ(scanTags({list}), QStringList({"select", "option"}));
  const Snapshot rows = page({{"select", "dir", ""},
                              {"option", "", " top "},
                              {"option", "", "Diary"},
                              {"input", "x", ""},
                              {"option", "", "stray"},
                              {},
                              {"option", "", "after a gap"}});
  const ScanResult r = scanSnapshot(rows, kProps, {list});
  EXPECT_EQ(r[0], 1);
  ASSERT_EQ(r.options.size(), 2);
  EXPECT_EQ(r.options[0].text, " top ");
  EXPECT_EQ(r.options[0].index, 2);
  EXPECT_EQ(r.options[1].text, "Diary");
  EXPECT_EQ(r.options[1].index, 3);
}
