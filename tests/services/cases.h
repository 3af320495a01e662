// The thirteen services as the end-to-end tests meet them: each one's fake
// site, settings, where its files land, the address list it writes and the
// log lines that show its steps in order. One fixture serves them all.
#pragma once
#include "fakesite.h"
#include "servicerun.h"

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
#include <vector>

struct ServiceCase {
  const char *name; // test name suffix: "fc2", "seesaa", ...
  int service;      // index in the service table
  std::function<std::unique_ptr<fake::FakeSite>()> make;
  std::string startPath; // BlogUrl on the site
  QString user;
  std::function<void(fake::FakeSite &)> settings; // beyond the common ones
  std::string folder;     // where the site records the uploads
  std::string logoutPath; // "" for a service without log-out
  // The address-list entry of the i-th file, "" when none is written.
  std::function<QString(fake::FakeSite &, int i, const QString &name)> url;
  // Runs of log lines that must appear one after the other.
  std::vector<QStringList> steps;
  std::function<void(const fake::Upload &)> eachUpload; // may be empty
};

inline void PrintTo(const ServiceCase &c, std::ostream *os) { *os << c.name; }

const std::vector<ServiceCase> &serviceCases();
const ServiceCase &serviceCase(const std::string &name);

// A run against one service's fake site, set up as the table says, with
// two files queued.
class ServiceTest : public ServiceRunTest {
protected:
  explicit ServiceTest(const char *name);
  void SetUp() override;
  void TearDown() override;
  // Replaces the queue with these files.
  void requeue(const std::vector<std::pair<QString, QByteArray>> &list);
  // Counts of requests to the path so far.
  int requestsTo(const std::string &path) const;
  int postsSeen(const std::string &path) const;
  // Every queued file received byte for byte in `folder` and marked done.
  void expectAllIn(const QString &folder);
  // Where every upload went, by file name.
  std::map<QString, QString> foldersByName() const;
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
};

template <class Site> class SiteTest : public ServiceTest {
protected:
  explicit SiteTest(const char *name)
      : ServiceTest(name), site(static_cast<Site &>(*base)) {}
  template <class F> void setSite(F change) {
    auto o = site.options();
    change(o);
    site.setOptions(o);
  }
  Site &site;
};

// True when the lines hold `run` one line after the other.
bool holdsRun(const QStringList &lines, const QStringList &run);
