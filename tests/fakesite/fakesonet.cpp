#include "fakesonet.h"

namespace fake {

FakeSonet::FakeSonet(std::string host) : FakeSite(std::move(host)) {
  // Whether the fields of the session's kind hold the account.
  auto right = [this](const Visit &v, bool member) {
    return member ? v.field("SSO_COMMON_ID") == opt("user") &&
                        v.field("SSO_COMMON_PWD") == opt("password")
                  : v.field("mailAddress") == opt("mailAddress") &&
                        v.field("password") == opt("password");
  };
  loadPages("sonet",
            {{"POST /login",
              [this, right](Visit &v) {
                const bool member = !v.field("SSO_COMMON_ID").empty();
                const bool ok = right(v, member);
                setLoggedIn(v.session, ok);
                if (ok) {
                  std::lock_guard<std::mutex> lock(stateMutex_);
                  lastKind_ = kinds_[v.session] = member ? "member" : "mail";
                  reauthenticated_.erase(v.session);
                  v.redirect("/");
                } else if (member) {
                  v.redirect("/login");
                }
              }},
             {"GET /manage/articles",
              [this](Visit &v) {
                std::lock_guard<std::mutex> lock(stateMutex_);
                v.vars["reauth"] =
                    on("reauthentication") && !reauthenticated_.count(v.session)
                        ? "1"
                        : "";
                v.vars["mail"] = kinds_[v.session] == "mail" ? "1" : "";
              }},
             {"POST /reauth",
              [this, right](Visit &v) {
                std::lock_guard<std::mutex> lock(stateMutex_);
                // A member re-enters only the password.
                if (kinds_[v.session] == "mail"
                        ? right(v, false)
                        : v.field("SSO_COMMON_PWD") == opt("password")) {
                  reauthenticated_.insert(v.session);
                  ++reauths_;
                }
              }},
             {"POST /manage/files", [this](Visit &v) {
                v.vars["result"] = uploadResult(recordUploads(v.req),
                                                " をアップロードしました");
              }}});
}

std::string FakeSonet::lastLoginKind() const {
  std::lock_guard<std::mutex> lock(stateMutex_);
  return lastKind_;
}

int FakeSonet::reauthentications() const {
  std::lock_guard<std::mutex> lock(stateMutex_);
  return reauths_;
}

} // namespace fake
