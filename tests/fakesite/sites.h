// The blog services as the tests meet them: a class per service on the
// page-table engine, its pages in pages/NAME.pages, with what its tests
// call and the state its actions keep.
#pragma once

#include "fakesite.h"

#include <atomic>
#include <set>

namespace fake {

// FC2: pages/fc2.pages.
class FakeFc2 : public FakeSite {
public:
  explicit FakeFc2(std::string host = "fc2.com.localhost");

  void setCredentials(const std::string &email, const std::string &password) {
    set("user", email);
    set("password", password);
  }
  std::string loginUrl() const { return url("/"); }
  std::string topUrl() const { return url("/blog/"); }
  // The files as the blog holds them, by stored name.
  std::map<std::string, std::string> storedFiles() const {
    return storedIn("");
  }
  void storeFile(const std::string &name, const std::string &bytes) {
    keep("", name, bytes);
  }
};

// SeeSaa: pages/seesaa.pages.
class FakeSeesaa : public FakeSite {
public:
  explicit FakeSeesaa(std::string host = "seesaa.localhost");
  ~FakeSeesaa() override { stop(); }
  std::string startUrl() const { return url("/"); }
  // Directories of a blog as its list shows them ("" is the top).
  std::vector<std::string> directories(const std::string &blog) const;

private:
  mutable std::mutex dirsMutex_;
  std::map<std::string, std::vector<std::string>> dirs_; // per blog
};

// livedoor: pages/livedoor.pages.
class FakeLivedoor : public FakeSite {
public:
  explicit FakeLivedoor(std::string host = "livedoor.localhost");
  ~FakeLivedoor() override { stop(); }
  std::string startUrl() const { return url("/"); }
  std::string fileUrl(const std::string &blog, const std::string &name) const;

private:
  // The blog a session works on, and the variables of the pages about it.
  std::string blogOf(const std::string &session) const;
  void blogVars(Visit &v) const;

  mutable std::mutex blogMutex_;
  std::map<std::string, std::string> chosenBlog_; // per session
};

// DTI: pages/dti.pages.
class FakeDti : public FakeSite {
public:
  explicit FakeDti(std::string host = "dtiblog.localhost");
  std::string loginUrl() const { return url("/login.html"); }
};

// Ninja: pages/ninja.pages.
class FakeNinja : public FakeSite {
public:
  explicit FakeNinja(std::string host = "ninja.localhost");
  std::string loginUrl() const { return url("/login.html"); }
  // The address under which a stored file is served (as the list shows it).
  std::string fileUrl(const std::string &blog, const std::string &name) const {
    return url("/files/" + percentEncode(blog) + "/" + percentEncode(name));
  }
};

// CSC: pages/csc.pages.
class FakeCsc : public FakeSite {
public:
  explicit FakeCsc(std::string host = "cscblog.localhost");
  std::string loginUrl() const { return url("/"); }
  // Stored images by name.
  std::map<std::string, std::string> stored() const { return storedIn(""); }
};

// Ameba: pages/ameba.pages.
class FakeAmeba : public FakeSite {
public:
  struct Image {
    std::string title;
    std::string bytes;
  };
  explicit FakeAmeba(std::string host = "ameba.jp.localhost");
  std::string loginUrl() const { return url("/"); }
  // Stored images by file name.
  std::map<std::string, Image> stored() const;
};

// Rakuten: pages/rakuten.pages.
class FakeRakuten : public FakeSite {
public:
  explicit FakeRakuten(std::string host = "plaza.rakuten.localhost");
  ~FakeRakuten() override { stop(); }
  std::string loginUrl() const { return url("/"); }
  // The address an upload's text area shows for a stored picture.
  std::string pictureUrl(int number, const std::string &name) const {
    return baseUrl() + "/photo/" + std::to_string(number) + "/" + name;
  }

private:
  std::atomic<int> pictures_{0};
};

// goo: pages/goo.pages.
class FakeGoo : public FakeSite {
public:
  explicit FakeGoo(std::string host = "blog.goo.ne.jp.localhost");
  std::string loginUrl() const { return url("/"); }
};

// Cocolog: pages/cocolog.pages.
class FakeCocolog : public FakeSite {
public:
  explicit FakeCocolog(std::string host = "cocolog-nifty.localhost");
  std::string loginUrl() const { return url("/t/app"); }
};

// Jugem: pages/jugem.pages.
class FakeJugem : public FakeSite {
public:
  explicit FakeJugem(std::string host = "jugem.localhost");
  std::string loginUrl() const { return url("/"); }
};

// Webry: pages/webry.pages.
class FakeWebry : public FakeSite {
public:
  explicit FakeWebry(std::string host = "webry.localhost");
  std::string loginUrl() const { return url("/"); }
  void addFolder(const std::string &name);
  // The address a stored file is listed under.
  std::string fileUrl(const std::string &folder,
                      const std::string &name) const {
    return baseUrl() + "/files/" + percentEncode(folder) + "/" +
           percentEncode(name);
  }
};

// So-net: pages/sonet.pages.
class FakeSonet : public FakeSite {
public:
  explicit FakeSonet(std::string host = "so-net.localhost");
  ~FakeSonet() override { stop(); }
  std::string loginUrl() const { return url("/"); }
  // "member" or "mail": how the last successful login was made ("" none).
  std::string lastLoginKind() const;
  // How many re-authentications were accepted.
  int reauthentications() const;

private:
  mutable std::mutex stateMutex_;
  std::map<std::string, std::string> kinds_; // by session
  std::set<std::string> reauthenticated_;    // sessions
  std::string lastKind_;
  int reauths_ = 0;
};

// A blog that none of the built-in scripts knows, for the user-defined
// script; its pages are pages/generic.pages.
class FakeGeneric : public FakeSite {
public:
  explicit FakeGeneric(std::string host = "myblog.localhost");

  std::string topUrl() const { return url("/"); }
  std::string loginUrl() const { return url("/login"); }
};

// The maker's support blog as the support visit meets it; its pages are
// pages/support.pages.
class FakeSupport : public FakeSite {
public:
  explicit FakeSupport(std::string host = "support.localhost");
  // Requests of advertisers' pages so far.
  int adVisits() const;
};

} // namespace fake
