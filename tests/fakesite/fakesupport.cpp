#include "fakesupport.h"

namespace fake {

FakeSupport::FakeSupport(std::string host) : FakeSite(std::move(host)) {
  auto &svr = server();
  svr.Get("/", [](const httplib::Request &, httplib::Response &res) {
    html(res, "サポートブログ",
         "<h1>サポートブログ</h1>\n<p><a href=\"/entry\">お知らせ</a></p>");
  });
  svr.Get("/entry", [this](const httplib::Request &, httplib::Response &res) {
    const Options o = options();
    std::string body = "<h1>お知らせ</h1>\n<p><a href=\"/\">トップ</a></p>\n";
    if (o.markers)
      body += "<a name=\"comm_str\"></a>" + o.between +
              "<a name=\"comm_end\"></a>\n";
    else
      body += o.between;
    body += "<p><a href=\"/ad/outside\">枠外のリンク</a></p>";
    html(res, "お知らせ", body);
  });
  svr.Get(
      R"(/ad/(.+))", [](const httplib::Request &req, httplib::Response &res) {
        html(res, "広告", "<h1>広告 " + escape(req.matches[1].str()) + "</h1>");
      });
}

FakeSupport::~FakeSupport() { stop(); }

FakeSupport::Options FakeSupport::options() const {
  std::lock_guard<std::mutex> lock(optionsMutex_);
  return options_;
}

void FakeSupport::setOptions(const Options &options) {
  std::lock_guard<std::mutex> lock(optionsMutex_);
  options_ = options;
}

int FakeSupport::adVisits() const {
  int n = 0;
  for (const auto &r : requests())
    if (r.path.rfind("/ad/", 0) == 0)
      ++n;
  return n;
}

} // namespace fake
