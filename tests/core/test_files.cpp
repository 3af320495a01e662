#include "core/additems.h"
#include "core/textfile.h"
#include "core/urllist.h"
#include "testsupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(AddItems, SortedNamesFolderExpansionOrderAndCommaPathsRefused) {
  QTemporaryDir dir;
  const QString root = dir.path();
  // The last one's comma would split the list file's line.
  for (const char *f :
       {"/b.jpg", "/a.jpg", "/f/one.jpg", "/f/sub/deep.jpg",
        "/f/sub/.hidden.jpg", "/f/.secret/x.jpg", "/f/two.jpg", "/f/a,b.jpg"})
    writeFile(root + f, {});

  QStringList got;
  int total = 0;
  AddOutcome out = addDroppedPaths(
      {root + "/f", root + "/b.jpg", root + "/a.jpg"}, total, 10000,
      [&](const QString &p) { got << p.mid(root.size()); });
  EXPECT_FALSE(out.limitReached);
  EXPECT_EQ(total, 5);
  ASSERT_EQ(got.size(), 5);
  EXPECT_EQ(got.mid(0, 2), QStringList({"/a.jpg", "/b.jpg"}));
  // the folder's own files before its subfolder's, no hidden entries
  QStringList own = got.mid(2, 2);
  own.sort();
  EXPECT_EQ(own, QStringList({"/f/one.jpg", "/f/two.jpg"}));
  EXPECT_EQ(got[4], "/f/sub/deep.jpg");
  EXPECT_EQ(out.refused, QStringList({root + "/f/a,b.jpg"}));
}

// Lines are only ever appended, and each stays one record of two fields
// whatever the path or the address holds.
TEST(UrlList, AppendsOneRecordALineAndNeverRewrites) {
  QTemporaryDir dir;
  const QString path = dir.filePath("UrlList.txt");
  ASSERT_TRUE(addUrlList(path, "/p/犬.jpg", "http://x/1.jpg"));
  ASSERT_TRUE(addUrlList(path, "/p/b.jpg", "http://x/a\tb\r\nc"));
  EXPECT_EQ(QString::fromUtf8(readFile(path)),
            "/p/犬.jpg\thttp://x/1.jpg\r\n/p/b.jpg\thttp://x/a b  c\r\n");

  const QStringList odd = {"/a/tab\there.jpg",
                           "/x/" + QString(300, QChar(u'長')) + ".jpg",
                           QString::fromLocal8Bit("/bytes/\xff\xfe.jpg")};
  for (const QString &p : odd)
    ASSERT_TRUE(addUrlList(path, p, "http://h/\tx\ny"));
  const QStringList lines = readTextLines(path);
  ASSERT_EQ(lines.size(), 5);
  for (const QString &l : lines)
    EXPECT_EQ(l.count('\t'), 1) << l.toStdString();
}

TEST(TextFile, LfCrLfCp932AndBrokenBytes) {
  QTemporaryDir dir;
  const QString path = dir.filePath("t.txt");
  // A file from the original platform is in CP932: "ﾕｰｻﾞ" (half-width kana)
  // and "日本".
  writeFile(path, "a\nb\r\n\r\n\xd5\xb0\xbb\xde\r\n\x93\xfa\x96\x7b");
  EXPECT_EQ(readTextLines(path), QStringList({"a", "b", "", "ﾕｰｻﾞ", "日本"}));
  // Bytes that are neither UTF-8 nor CP932 cost only themselves: the
  // readable text around them survives.
  const QString broken =
      decodeText(QByteArray("ab\x81\x00\xff\xfe\x93\xfa", 8));
  EXPECT_TRUE(broken.startsWith("ab")) << broken.toStdString();
  EXPECT_TRUE(broken.endsWith("日")) << broken.toStdString();
}
