// The fake sites are exercised here over plain HTTP, without a browser, so
// that a browser test failing later points at the program and not at them.
#include "fakefc2.h"

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

bool contains(const std::string &text, const std::string &part) {
  return text.find(part) != std::string::npos;
}

std::unique_ptr<httplib::Client> clientFor(const fake::FakeSite &site) {
  auto cli = std::make_unique<httplib::Client>("127.0.0.1", site.port());
  cli->set_connection_timeout(2);
  cli->set_read_timeout(5);
  return cli;
}

// "FAKESID=..." from a response's Set-Cookie, ready for a Cookie header.
std::string cookieOf(const httplib::Result &res) {
  const std::string set = res->get_header_value("Set-Cookie");
  return set.substr(0, set.find(';'));
}

std::string logIn(httplib::Client &cli) {
  auto res =
      cli.Post("/login.php", httplib::Params{{"email", "user@example.com"},
                                             {"pass", "secret"}});
  EXPECT_TRUE(res);
  if (!res)
    return {};
  EXPECT_EQ(302, res->status);
  EXPECT_EQ("/control.php", res->get_header_value("Location"));
  return cookieOf(res);
}

httplib::Result upload(httplib::Client &cli, const std::string &cookie,
                       const std::string &name, const std::string &bytes,
                       const char *overwrite = fake::FakeFc2::kKeepBoth) {
  httplib::MultipartFormDataItems items = {
      {"thumb", "1", "", ""},
      {"upfile[]", bytes, name, "image/jpeg"},
      {"overwrite", overwrite, "", ""}};
  httplib::Headers headers;
  if (!cookie.empty())
    headers.emplace("Cookie", cookie);
  return cli.Post("/upload.php", headers, items);
}

// Bytes that a careless multipart parser would cut or alter.
std::string awkwardBytes() {
  std::string bytes("\xff\xd8\xff\xe0\0\0JFIF\r\n--", 14);
  bytes += "\r\n\r\n";
  for (int i = 0; i < 5000; ++i)
    bytes += static_cast<char>(i * 7);
  return bytes + "\r\n";
}

class Fc2Test : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(site.start());
    cli = clientFor(site);
  }
  fake::FakeFc2 site;
  std::unique_ptr<httplib::Client> cli;
};

// Multipart bodies arrive byte for byte with their other fields; the
// engine keeps both of two same-named files or replaces one, and serves
// what it keeps; the traps count the visits they get.
TEST_F(Fc2Test, UploadsAreKeptByteForByte) {
  const std::string cookie = logIn(*cli);
  const std::string name = "旅行 写真\"1\".jpg";
  const std::string bytes = awkwardBytes();
  auto res = upload(*cli, cookie, name, bytes);
  ASSERT_TRUE(res);
  EXPECT_TRUE(contains(
      res->body, "<span class=\"result\">ファイルをアップロードしました : " +
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

  upload(*cli, cookie, name, "second");
  upload(*cli, cookie, name, "third", fake::FakeFc2::kReplace);
  const auto stored = site.storedFiles();
  ASSERT_EQ(2u, stored.size());
  EXPECT_EQ("third", stored.at(name));
  EXPECT_EQ("second", stored.at("旅行 写真\"1\"_1.jpg"));

  EXPECT_EQ(0, site.trapped());
  cli->Get("/trap/ログアウト");
  EXPECT_EQ(1, site.trapped());
}

TEST_F(Fc2Test, UploadsWithoutALoginAreRefusedAndNotStored) {
  const std::string cookie = logIn(*cli);
  site.logOutAll();
  for (const std::string &c :
       {std::string(), std::string("FAKESID=forged"), cookie}) {
    auto res = upload(*cli, c, "a.jpg", "x");
    ASSERT_TRUE(res);
    EXPECT_EQ(403, res->status);
  }
  EXPECT_TRUE(site.uploads().empty());
  EXPECT_TRUE(site.storedFiles().empty());
}

TEST_F(Fc2Test, RequestLogKeepsTheOrderOfPages) {
  const std::string cookie = logIn(*cli);
  cli->Get("/control.php", {{"Cookie", cookie}});
  upload(*cli, cookie, "d.jpg", "w");
  const auto log = site.requests();
  ASSERT_EQ(3u, log.size());
  EXPECT_EQ("POST", log[0].method);
  EXPECT_EQ("/login.php", log[0].path);
  EXPECT_EQ("/control.php", log[1].path);
  EXPECT_EQ("/upload.php", log[2].path);
  site.clearRequests();
  EXPECT_TRUE(site.requests().empty());
}

TEST_F(Fc2Test, ErrorsStallsAndRefusals) {
  const std::string cookie = logIn(*cli);
  cli->set_keep_alive(true);

  site.failPath("/upload.php", 500);
  auto res = upload(*cli, cookie, "e.jpg", awkwardBytes());
  ASSERT_TRUE(res);
  EXPECT_EQ(500, res->status);
  EXPECT_TRUE(site.uploads().empty());
  // The connection stays usable: the failed post's body was consumed.
  res = cli->Get("/upload.php", {{"Cookie", cookie}});
  ASSERT_TRUE(res);
  EXPECT_EQ(500, res->status);
  site.failPath("/upload.php", 0);
  res = cli->Get("/upload.php", {{"Cookie", cookie}});
  ASSERT_TRUE(res);
  EXPECT_EQ(200, res->status);
  cli->set_keep_alive(false);

  site.stallPath("/blog/", 300);
  auto start = Clock::now();
  res = cli->Get("/blog/");
  ASSERT_TRUE(res);
  EXPECT_GE(msSince(start), 290);
  EXPECT_EQ(200, res->status);
  site.stallPath("/blog/", 0);
  start = Clock::now();
  ASSERT_TRUE(cli->Get("/blog/"));
  EXPECT_LT(msSince(start), 250);

  site.slowUpload(300);
  start = Clock::now();
  res = upload(*cli, cookie, "f.jpg", "slow");
  ASSERT_TRUE(res);
  EXPECT_GE(msSince(start), 290);
  site.slowUpload(0);

  const int port = site.port();
  ASSERT_TRUE(site.refuse(true));
  res = cli->Get("/");
  ASSERT_FALSE(res);
  EXPECT_EQ(httplib::Error::Connection, res.error());
  ASSERT_TRUE(site.refuse(false));
  EXPECT_EQ(port, site.port());
  res = cli->Get("/control.php", {{"Cookie", cookie}});
  ASSERT_TRUE(res);
  EXPECT_TRUE(contains(res->body, "ファイルアップロード"));

  site.clearUploads();
  site.dropUploadConnection(true);
  for (int i = 0; i < 2; ++i) {
    res = upload(*cli, cookie, "g.jpg", awkwardBytes());
    EXPECT_FALSE(res);
  }
  EXPECT_TRUE(site.uploads().empty());
  ASSERT_TRUE(cli->Get("/blog/")); // other requests are answered
  site.dropUploadConnection(false);
  res = upload(*cli, cookie, "g.jpg", "kept");
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

  auto fetch = [this, image] {
    auto c = clientFor(site);
    auto r = c->Get(image.c_str());
    return r ? r->body : std::string("failed");
  };
  auto pending = std::async(std::launch::async, fetch);
  EXPECT_EQ(std::future_status::timeout,
            pending.wait_for(std::chrono::milliseconds(300)));
  site.neverCompletePath("/blog/", false);
  ASSERT_EQ(std::future_status::ready,
            pending.wait_for(std::chrono::seconds(2)));
  EXPECT_EQ(fake::FakeSite::tinyPng(), pending.get());

  // Held responses and idle connections must not keep stop() waiting.
  site.neverCompletePath("/blog/");
  site.stallPath("/control.php", 60000);
  auto heldImage = std::async(std::launch::async, fetch);
  auto stalled = std::async(std::launch::async, [this] {
    auto c = clientFor(site);
    return static_cast<bool>(c->Get("/control.php"));
  });
  auto idle = clientFor(site);
  idle->set_keep_alive(true);
  ASSERT_TRUE(idle->Get("/"));
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
