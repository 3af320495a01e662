// `cpack -G DEB` makes a package that unpacks to the program folder, the
// command, the menu entry and the icon, and says what it needs; `cmake
// --install --prefix DIR` puts everything, the command's link included,
// under DIR.
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
const QString kBuild = QStringLiteral(SENDORA_BUILD_DIR);

// Runs a tool to its end; a failure shows what the tool printed.
QString runTool(const QString &program, const QStringList &args) {
  QProcess p;
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.start(program, args);
  p.waitForFinished(240000);
  const QString out = QString::fromUtf8(p.readAll());
  EXPECT_TRUE(p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
      << program.toStdString() << ": " << out.toStdString();
  return out;
}

// The program folder, the command pointing into it, the menu entry and the
// icon, under `usr` of an unpacked package or an install prefix.
void expectLayout(const QString &prefix) {
  SCOPED_TRACE(prefix.toStdString());
  for (const char *f : {"lib/sendora/ConfirmPress", "lib/sendora/sendora",
                        "lib/sendora/DlgTest/DlgTest.html",
                        "share/applications/sendora.desktop",
                        "share/icons/hicolor/scalable/apps/sendora.svg"})
    EXPECT_TRUE(QFileInfo::exists(prefix + "/" + f)) << f;
  EXPECT_TRUE(QFileInfo(prefix + "/lib/sendora/ConfirmPress").isExecutable());
  const QFileInfo command(prefix + "/bin/sendora");
  EXPECT_TRUE(command.isSymLink() && command.isExecutable());
  EXPECT_EQ(command.canonicalFilePath(),
            QFileInfo(prefix + "/lib/sendora/sendora").canonicalFilePath());
}

TEST(Package, DebianPackageHoldsTheProgramAndNamesWhatItNeeds) {
  QTemporaryDir out;
  runTool("cpack", {"-G", "DEB", "-B", out.path(), "--config",
                    kBuild + "/CPackConfig.cmake"});
  const QStringList debs = QDir(out.path()).entryList({"sendora_*.deb"});
  ASSERT_EQ(debs.size(), 1);
  const QString deb = out.filePath(debs[0]);

  const QString root = out.filePath("root");
  runTool("dpkg", {"-x", deb, root});
  expectLayout(root + "/usr");

  const QString depends = runTool("dpkg-deb", {"-f", deb, "Depends"});
  for (const char *needed :
       {"libqt6webenginewidgets6", "libqt6webenginecore6-bin", "libqt6dbus6",
        "fonts-noto-cjk"})
    EXPECT_TRUE(depends.contains(needed))
        << needed << " in " << depends.toStdString();
}

TEST(Package, InstallPrefixHoldsEverything) {
  QTemporaryDir prefix;
  runTool("cmake", {"--install", kBuild, "--prefix", prefix.path()});
  expectLayout(prefix.path());
}
} // namespace
