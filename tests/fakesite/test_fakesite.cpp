// The fake sites are exercised here over plain HTTP, without a browser, so
// that a browser test failing later points at the program and not at them.
#include "sites.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>

namespace {

using Clock = std::chrono::steady_clock;

long msSince(Clock::time_point start) {
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() -
                                                            start)
          .count());
}

std::unique_ptr<httplib::Client> clientFor(const fake::FakeSite &site) {
  auto cli = std::make_unique<httplib::Client>("127.0.0.1", site.port());
  cli->set_connection_timeout(2);
  cli->set_read_timeout(5);
  return cli;
}

// Bytes that a careless multipart parser would cut or alter.
std::string awkwardBytes() {
  std::string bytes("\xff\xd8\xff\xe0\0\0JFIF\r\n--\r\n\r\n", 18);
  for (int i = 0; i < 5000; ++i)
    bytes += static_cast<char>(i * 7);
  return bytes + "\r\n";
}

class Fc2Test : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(site.start());
    cli = clientFor(site);
    auto res =
        cli->Post("/login.php", httplib::Params{{"email", "user@example.com"},
                                                {"pass", "secret"}});
    ASSERT_TRUE(res);
    ASSERT_EQ(302, res->status);
    // Browsers send the site's other cookies in the same header.
    const std::string set = res->get_header_value("Set-Cookie");
    cookie = "theme=dark; " + set.substr(0, set.find(';'));
  }
  // overwrite "1" replaces a same-named file, "0" keeps both.
  httplib::Result upload(const std::string &name, const std::string &bytes,
                         const char *overwrite = "0") {
    return cli->Post("/upload.php", {{"Cookie", cookie}},
                     {{"thumb", "1", "", ""},
                      {"upfile[]", bytes, name, "image/jpeg"},
                      {"overwrite", overwrite, "", ""}});
  }
  int status(const std::string &path) {
    auto res = cli->Get(path.c_str(), {{"Cookie", cookie}});
    return res ? res->status : -1;
  }
  fake::FakeFc2 site;
  std::unique_ptr<httplib::Client> cli;
  std::string cookie;
};

// Multipart bodies arrive byte for byte with their other fields; the
// engine keeps both of two same-named files or replaces one, serves what it
// keeps, logs the requests in order and counts the visits traps get.
TEST_F(Fc2Test, UploadsAreKeptByteForByte) {
  const std::string name = "旅行 写真\"1\".jpg";
  const std::string bytes = awkwardBytes();
  auto res = upload(name, bytes);
  ASSERT_TRUE(res);
  EXPECT_NE(std::string::npos,
            res->body.find("<span class=\"result\">ファイルをアップロードしまし"
                           "た : " +
                           fake::FakeSite::escape(site.url("/file/" + name)) +
                           "</span>"));
  auto got = site.uploads();
  ASSERT_EQ(1u, got.size());
  EXPECT_EQ("upfile[]", got[0].field);
  EXPECT_EQ(name, got[0].filename);
  EXPECT_EQ(bytes, got[0].bytes);
  EXPECT_EQ("1", got[0].fields["thumb"]);
  EXPECT_EQ(0u, got[0].fields.count("upfile[]"));
  res = cli->Get(("/file/" + fake::FakeSite::percentEncode(name)).c_str());
  ASSERT_TRUE(res);
  EXPECT_EQ(bytes, res->body);

  upload(name, "second");
  upload(name, "third", "1");
  const auto stored = site.storedFiles();
  ASSERT_EQ(2u, stored.size());
  EXPECT_EQ("third", stored.at(name));
  EXPECT_EQ("second", stored.at("旅行 写真\"1\"_1.jpg"));

  const auto log = site.requests();
  ASSERT_EQ(5u, log.size());
  EXPECT_EQ("POST", log[0].method);
  EXPECT_EQ("/login.php", log[0].path);
  EXPECT_EQ("/upload.php", log[1].path);
  EXPECT_EQ("/file/" + name, log[2].path);

  EXPECT_EQ(0, site.trapped());
  cli->Get("/trap/ログアウト");
  EXPECT_EQ(1, site.trapped());
}

TEST_F(Fc2Test, UploadsWithoutALoginAreRefusedAndNotStored) {
  site.logOutAll();
  const std::string loggedOut = cookie;
  for (const std::string &c :
       {std::string(), std::string("FAKESID=x"), loggedOut}) {
    cookie = c;
    auto res = upload("a.jpg", "x");
    ASSERT_TRUE(res);
    EXPECT_EQ(403, res->status) << c;
  }
  EXPECT_TRUE(site.uploads().empty());
  EXPECT_TRUE(site.storedFiles().empty());
}

TEST_F(Fc2Test, ErrorsStallsAndRefusals) {
  cli->set_keep_alive(true);
  site.failPath("/upload.php", 500);
  auto res = upload("e.jpg", awkwardBytes());
  ASSERT_TRUE(res);
  EXPECT_EQ(500, res->status);
  EXPECT_TRUE(site.uploads().empty());
  // The connection stays usable: the failed post's body was consumed.
  EXPECT_EQ(500, status("/upload.php"));
  site.failPath("/upload.php", 0);
  EXPECT_EQ(200, status("/upload.php"));
  cli->set_keep_alive(false);

  site.stallPath("/blog/", 300);
  auto start = Clock::now();
  EXPECT_EQ(200, status("/blog/"));
  EXPECT_GE(msSince(start), 290);
  site.stallPath("/blog/", 0);
  start = Clock::now();
  EXPECT_EQ(200, status("/blog/"));
  EXPECT_LT(msSince(start), 250);

  const int port = site.port();
  ASSERT_TRUE(site.refuse(true));
  res = cli->Get("/");
  ASSERT_FALSE(res);
  EXPECT_EQ(httplib::Error::Connection, res.error());
  ASSERT_TRUE(site.refuse(false));
  EXPECT_EQ(port, site.port());
  EXPECT_EQ(200, status("/control.php"));

  site.clearUploads();
  site.dropUploadConnection(true);
  for (int i = 0; i < 2; ++i)
    EXPECT_FALSE(upload("g.jpg", awkwardBytes()));
  EXPECT_TRUE(site.uploads().empty());
  EXPECT_EQ(200, status("/blog/")); // other requests are answered
  site.dropUploadConnection(false);
  res = upload("g.jpg", "kept");
  ASSERT_TRUE(res);
  EXPECT_EQ(200, res->status);
  ASSERT_EQ(1u, site.uploads().size());
}

TEST_F(Fc2Test, NeverCompletingPageHoldsItsImageUntilReleasedOrStopped) {
  site.neverCompletePath("/blog/");
  // Browsers accept compressed pages; the image must reach them all the same.
  auto res = cli->Get("/blog/", {{"Accept-Encoding", "gzip, deflate, br"}});
  ASSERT_TRUE(res);
  const auto at = res->body.find("<img src=\"/__never.png?for=");
  ASSERT_NE(std::string::npos, at);
  EXPECT_LT(at, res->body.find("</body>"));
  EXPECT_EQ(std::to_string(res->body.size()),
            res->get_header_value("Content-Length"));
  const auto quote = res->body.find('"', at + 10);
  const std::string image = res->body.substr(at + 10, quote - (at + 10));

  auto fetch = [this](const std::string &path) {
    return std::async(std::launch::async, [this, path] {
      auto r = clientFor(site)->Get(path.c_str());
      return r ? r->body : std::string("failed");
    });
  };
  auto pending = fetch(image);
  EXPECT_EQ(std::future_status::timeout,
            pending.wait_for(std::chrono::milliseconds(300)));
  site.neverCompletePath("/blog/", false);
  ASSERT_EQ(std::future_status::ready,
            pending.wait_for(std::chrono::seconds(2)));
  EXPECT_EQ(fake::FakeSite::tinyPng(), pending.get());

  // Held responses and idle connections must not keep stop() waiting.
  site.neverCompletePath("/blog/");
  site.stallPath("/control.php", 60000);
  auto heldImage = fetch(image);
  auto stalled = fetch("/control.php");
  cli->set_keep_alive(true);
  ASSERT_TRUE(cli->Get("/"));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const auto start = Clock::now();
  site.stop();
  EXPECT_LT(msSince(start), 1500);
  EXPECT_EQ(std::future_status::ready,
            heldImage.wait_for(std::chrono::seconds(2)));
  EXPECT_EQ(std::future_status::ready,
            stalled.wait_for(std::chrono::seconds(2)));
}

} // namespace
