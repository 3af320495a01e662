#include "fakesupport.h"

namespace fake {

FakeSupport::FakeSupport(std::string host) : SiteWith(std::move(host)) {
  addPages({
      {"GET", "/", "サポートブログ", Gate::Open,
       [](Visit &) {
         return "<h1>サポートブログ</h1>\n" + p(link("/entry", "お知らせ"));
       }},
      {"GET", "/entry", "お知らせ", Gate::Open,
       [this](Visit &) {
         const Options o = options();
         return "<h1>お知らせ</h1>\n" + p(link("/", "トップ")) +
                (o.markers ? "<a name=\"comm_str\"></a>" + o.between +
                                 "<a name=\"comm_end\"></a>\n"
                           : o.between) +
                p(link("/ad/outside", "枠外のリンク"));
       }},
      {"GET", R"(/ad/(.+))", "広告", Gate::Open,
       [](Visit &v) { return "<h1>広告 " + escape(v.arg()) + "</h1>"; }},
  });
}

int FakeSupport::adVisits() const {
  int n = 0;
  for (const auto &r : requests())
    n += r.path.rfind("/ad/", 0) == 0;
  return n;
}

} // namespace fake
