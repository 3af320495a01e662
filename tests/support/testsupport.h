// What the browser and window tests share: a safe environment, a log that
// the test can read, settings that make runs fast, and small page helpers.
#pragma once
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <ostream>

// Readable texts in the messages of failed checks.
inline void PrintTo(const QString &s, std::ostream *os) {
  *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList &l, std::ostream *os) {
  *os << '[' << l.join(QStringLiteral(", ")).toStdString() << ']';
}

// Environment for a test process: the browser engine's flags, and bus
// addresses that lead nowhere so that no test can suspend the machine or
// notify its desktop.
// Call first thing in main().
void prepareTestProcess();

// Runs the gtest suite inside a QApplication.
int runTestsWithApp(int argc, char **argv);

// Captures every run-log line while it lives.
class LogCapture {
public:
  LogCapture();
  ~LogCapture();
  QStringList lines() const { return lines_; }
  int count(const QString &line) const { return lines_.count(line); }
  bool contains(const QString &line) const { return lines_.contains(line); }
  bool containsStart(const QString &prefix) const;
  void clear() { lines_.clear(); }

private:
  QStringList lines_;
};

// Settings for fast runs: waits 0, time-out as given, the chooser caption
// the engine's file dialog carries, logging of every step.
void setFastSettings(int timeoutSeconds = 10);
// The account a run logs in with: the blog's address, user and password.
void useAccount(const QString &blogUrl, const QString &user,
                const QString &password);
// The fake FC2 blog's account, its address taken as FC2's login page.
void useFc2Account(const QString &loginUrl);

// A temporary data folder made current for the test's life.
class TempDataFolder {
public:
  TempDataFolder();
  ~TempDataFolder();
  QString path() const { return dir_.path(); }
  QString file(const QString &name) const { return dir_.filePath(name); }

private:
  QTemporaryDir dir_;
  QString previous_;
};

// Pumps events until the predicate holds or the time runs out.
bool waitFor(const std::function<bool()> &done, int timeoutMs = 10000);

// A message box nobody answers would hang a run for ever: while it lives,
// a box that stays open longer than `seconds` fails the test and is
// closed.
class ModalWatchdog {
public:
  explicit ModalWatchdog(int seconds = 20);
  ~ModalWatchdog();

private:
  class QTimer *timer_;
};

// Answers every modal message box that appears while it lives with the
// button `answer` (the box's default button when 0) and keeps what the
// boxes said.
class BoxAnswerer {
public:
  explicit BoxAnswerer(int answer = 0);
  ~BoxAnswerer();
  QStringList texts;
  QList<int> defaults; // each box's default button

private:
  class QTimer *timer_;
};

// Runs `action` once, the first time `when` holds while events are
// handled (during a run, for example), checking every 5 ms.
class Trigger {
public:
  Trigger(std::function<bool()> when, std::function<void()> action);
  ~Trigger();

private:
  class QTimer *timer_;
};

// Writes a file with the given bytes and returns its path.
QString writeFile(const QString &path, const QByteArray &bytes);
// The file's bytes; empty when it cannot be read.
QByteArray readFile(const QString &path);

// A folder under build/test-output (SENDORA_TEST_OUTPUT) for what tests
// leave for a reviewer, such as screenshots; created.
QString testOutputFolder(const QString &name);
