// The thirteen services as the end-to-end tests meet them: each one's fake
// site, settings, where its files land, the address list it writes and the
// log lines that show its steps in order. One fixture serves them all.
#pragma once
#include "servicerun.h"
#include "sites.h"

#include "browser/browserwindow.h"
#include "core/itemlist.h"
#include "core/runstate.h"
#include "core/services.h"
#include "core/settings.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/rundriver.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <typeinfo>
#include <vector>

// Which service a row is about and the fake that stands for its site; the
// fake's type lets a fixture find its own row.
struct ServiceSite {
  const char *name; // test name suffix: "fc2", "seesaa", ...
  int service;      // index in the service table
  const std::type_info *type;
  std::unique_ptr<fake::FakeSite> (*make)();
};

// The address-list entry of the i-th file, "" when none is written.
using UrlOf = std::function<QString(fake::FakeSite &, int i, const QString &)>;

struct ServiceCase {
  ServiceSite site;
  std::string startPath;                               // BlogUrl on the site
  std::vector<std::pair<SettingId, QString>> settings; // the account and more
  QString folder;         // where the site records the uploads
  std::string logoutPath; // "" for a service without log-out
  UrlOf url;              // empty when the service writes no address list
  // Runs of log lines that must appear one after the other.
  std::vector<QStringList> steps;
  // Form fields every upload carries, with their values.
  std::vector<std::pair<std::string, QString>> fields;
  std::function<void(fake::FakeSite &)> prepare; // may be empty
};

inline void PrintTo(const ServiceCase &c, std::ostream *os) {
  *os << c.site.name;
}

const std::vector<ServiceCase> &serviceCases();
const ServiceCase &serviceCase(const std::string &name);

// Files served from one of the site's folders.
template <class S> UrlOf fileIn(const char *folder) {
  return [folder](fake::FakeSite &s, int, const QString &n) {
    return QString::fromStdString(
        static_cast<S &>(s).fileUrl(folder, n.toStdString()));
  };
}

// A field value that stands for the uploaded file's own name.
const QString kFileName = "<the file's name>";

const QString kLoggedError =
    "エラーが発生しました。ログを確認してください。m(__)m";

// A run against one service's fake site, set up as the table says, with
// two files queued and the log captured from the start.
class ServiceTest : public ServiceRunTest {
protected:
  explicit ServiceTest(const ServiceCase &c);
  void SetUp() override;
  // Replaces the queue with these files.
  void requeue(const std::vector<std::pair<QString, QByteArray>> &list);
  // For another run on the same site: no uploads seen, no item marked, an
  // empty log.
  void again();
  // Requests to the path so far, of any method when `method` is empty.
  int requestsTo(const std::string &path, const std::string &method = "") const;
  // The names of the files received, in the order sent.
  QStringList sentNames() const;
  // Each upload's value of a form field, in the order sent; "-" where the
  // post left the field out.
  QStringList sentField(const std::string &field) const;
  // The address list a run should write: each queued file with its address.
  QStringList urlsOf(const UrlOf &url) const;
  // Every queued file received byte for byte in `folder` and marked done.
  void expectAllIn(const QString &folder);
  // A run that gave up: `what` was not found on each of `attempts`, the
  // error ending is in the log, nothing went up, nothing is marked.
  void expectGaveUp(const LogCapture &log, const QString &what, int attempts);
  // A run on a site that takes new sessions as logged in, without log-out:
  // the login form is passed over ("既にログインされている?").
  void runLoggedIn(const LogCapture &log);
  // The run, cut short (and failed) if a fault keeps it going round.
  void run();
  // Every "済" was received byte for byte; with `complete`, every received
  // file is marked too; the list file says what the grid says.
  void expectQueueTellsTheTruth(bool complete);

  const ServiceCase &svcCase;
  std::unique_ptr<fake::FakeSite> base;
  LogCapture log;
};

const ServiceCase &caseOfSite(const std::type_info &type);

template <class Site> class SiteTest : public ServiceTest {
protected:
  SiteTest()
      : ServiceTest(caseOfSite(typeid(Site))),
        site(static_cast<Site &>(*base)) {}
  Site &site;
};

// True when the lines hold `run` one line after the other.
bool holdsRun(const QStringList &lines, const QStringList &run);
// True when `later` is among the lines after the first `first`.
bool comesAfter(const QStringList &lines, const QString &first,
                const QString &later);
