#include "appsetup.h"

#include <QApplication>
#include <QByteArrayList>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QScreen>
#include <QTranslator>
#include <QWidget>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <langinfo.h>
#include <unistd.h>

namespace {
// Without these Chromium keeps trying to reach outside hosts.
const char *const kQuietFlags[] = {"--disable-background-networking",
                                   "--disable-component-update",
                                   "--disable-sync", "--no-first-run"};

void addFlag(QByteArray &flags, const QByteArray &flag) {
  if (flags.split(' ').contains(flag))
    return;
  if (!flags.isEmpty())
    flags += ' ';
  flags += flag;
}

// Qt takes file names as UTF-8 whatever the locale, while the browser
// engine converts them with the C library's character set and drops the
// page that hands it a path it cannot convert, so a file with a Japanese
// name would never upload. Under a locale without UTF-8 (plain "C", or
// another character set) the character set becomes C.UTF-8; the language
// of messages and formats stays as it was.
void useUtf8CharacterSet() {
  const char *set =
      std::setlocale(LC_CTYPE, "") ? nl_langinfo(CODESET) : nullptr;
  if (set && std::strcmp(set, "UTF-8") == 0)
    return;
  // LC_ALL would override the character set: its value becomes LANG's.
  const QByteArray all = qgetenv("LC_ALL");
  if (!all.isEmpty()) {
    qputenv("LANG", all);
    qunsetenv("LC_ALL");
  }
  qputenv("LC_CTYPE", "C.UTF-8");
  std::setlocale(LC_CTYPE, "");
}

double logicalDpi(Qt::Orientation axis) {
  const QScreen *screen = QGuiApplication::primaryScreen();
  if (!screen)
    return 96.0;
  const double dpi = axis == Qt::Horizontal ? screen->logicalDotsPerInchX()
                                            : screen->logicalDotsPerInchY();
  return dpi > 0 ? dpi : 96.0;
}
} // namespace

void prepareEnvironment() {
  useUtf8CharacterSet();
  if (!qEnvironmentVariableIsEmpty("DISPLAY") &&
      qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "xcb");

  QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").trimmed();
  for (const char *flag : kQuietFlags)
    addFlag(flags, flag);
  if (::geteuid() == 0) {
    const bool said = flags.split(' ').contains("--no-sandbox");
    addFlag(flags, "--no-sandbox");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (!said)
      std::fprintf(stderr, "sendora: running as root, so the browser "
                           "engine's sandbox is switched off\n");
  }
  qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);

  // The browser engine shares its GL context with the widgets; this can
  // only be decided before the application object exists.
  if (!QCoreApplication::instance())
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

bool installTranslations(QApplication &app) {
  auto *translator = new QTranslator(&app);
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!translator->load(QLocale(), QStringLiteral("qtbase"),
                        QStringLiteral("_"), folder)) {
    delete translator;
    return false;
  }
  QCoreApplication::installTranslator(translator);
  return true;
}

double twipsPerPixel(Qt::Orientation axis) { return 1440.0 / logicalDpi(axis); }

int pixelsToTwipsX(double pixels) {
  return int(std::lround(pixels * twipsPerPixel(Qt::Horizontal)));
}
int pixelsToTwipsY(double pixels) {
  return int(std::lround(pixels * twipsPerPixel(Qt::Vertical)));
}
int twipsToPixelsX(double twips) {
  return int(std::lround(twips / twipsPerPixel(Qt::Horizontal)));
}
int twipsToPixelsY(double twips) {
  return int(std::lround(twips / twipsPerPixel(Qt::Vertical)));
}

void storeWindowGeometry(const QWidget *w, SettingId top, SettingId left,
                         SettingId width, SettingId height) {
  const bool minimised = w->isMinimized();
  QRect g = (minimised || w->isMaximized() || w->isFullScreen())
                ? w->normalGeometry()
                : w->geometry();
  if (!g.isValid())
    g = w->geometry();
  const QString mark = QStringLiteral("-1");
  setting(top) = minimised ? mark : QString::number(pixelsToTwipsY(g.y()));
  setting(left) = minimised ? mark : QString::number(pixelsToTwipsX(g.x()));
  setting(width) = QString::number(pixelsToTwipsX(g.width()));
  setting(height) = QString::number(pixelsToTwipsY(g.height()));
}

WorkArea primaryWorkArea() {
  WorkArea area;
  const QScreen *screen = QGuiApplication::primaryScreen();
  if (!screen)
    return area;
  // The edges themselves: QRect::right() is the last pixel inside.
  const QRect r = screen->availableGeometry();
  area.right = (r.x() + r.width()) * twipsPerPixel(Qt::Horizontal);
  area.bottom = (r.y() + r.height()) * twipsPerPixel(Qt::Vertical);
  return area;
}

CommandLine parseCommandLine(const QStringList &arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Uploads the queued files to the configured blog."));
  const QCommandLineOption run(
      QStringLiteral("run"),
      QStringLiteral("Start a run as soon as the window is up, as 実行 does; "
                     "no message box waits for an answer during it."));
  const QCommandLineOption quit(
      QStringLiteral("quit-when-done"),
      QStringLiteral("With --run: close Sendora when the run ends; exit "
                     "status 0 when every item is done, 1 otherwise."));
  parser.addOption(run);
  parser.addOption(quit);
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();

  CommandLine cl;
  const bool parsed = parser.parse(arguments);
  // Without the application object the help text would not know the
  // program's name.
  auto helpText = [&parser]() {
    QString text = parser.helpText();
    text.replace(QRegularExpression(QStringLiteral("^Usage: \\S*")),
                 QStringLiteral("Usage: sendora"));
    return text;
  };
  if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
    cl.answer = helpText();
    return cl;
  }
  if (parser.isSet(version)) {
    cl.answer = QStringLiteral("Sendora %1\n").arg(QLatin1String(kIniVersion));
    return cl;
  }
  if (!parsed)
    cl.error = parser.errorText();
  else if (!parser.positionalArguments().isEmpty())
    cl.error = QStringLiteral("Unexpected argument: ") +
               parser.positionalArguments().first();
  else if (parser.isSet(quit) && !parser.isSet(run))
    cl.error = QStringLiteral("--quit-when-done needs --run");
  if (!cl.error.isEmpty()) {
    cl.error += QLatin1Char('\n') + helpText();
    return cl;
  }
  cl.run = parser.isSet(run);
  cl.quitWhenDone = parser.isSet(quit);
  return cl;
}
