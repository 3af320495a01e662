// Page tables read from pages/*.pages, and the templates of their pages.
#include "fakesite.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace fake {

namespace {

[[noreturn]] void fail(const std::string &what) {
  std::fprintf(stderr, "fake site: %s\n", what.c_str());
  std::abort();
}

bool truthy(const std::string &value) { return !value.empty() && value != "0"; }

std::vector<std::string> splitItems(const std::string &value) {
  std::vector<std::string> out;
  if (value.empty())
    return out;
  std::string::size_type from = 0, bar;
  while ((bar = value.find('|', from)) != std::string::npos) {
    out.push_back(value.substr(from, bar - from));
    from = bar + 1;
  }
  out.push_back(value.substr(from));
  return out;
}

// Words of a directive: bare words, key=value and key="quoted value" with
// \t, \" and \\ in quotes. A bare word is kept under itself and under its
// position among the bare words ("#0", "#1", ...).
std::map<std::string, std::string> words(const std::string &line) {
  std::map<std::string, std::string> out;
  int bare = 0;
  size_t i = 0;
  while (i < line.size()) {
    if (line[i] == ' ') {
      ++i;
      continue;
    }
    std::string key, value;
    bool quoted = false, hasKey = false;
    for (; i < line.size() && (quoted || line[i] != ' '); ++i) {
      const char c = line[i];
      if (c == '"') {
        quoted = !quoted;
      } else if (quoted && c == '\\' && i + 1 < line.size()) {
        const char n = line[++i];
        value += n == 't' ? '\t' : n;
      } else if (c == '=' && !quoted && !hasKey) {
        key = value;
        value.clear();
        hasKey = true;
      } else {
        value += c;
      }
    }
    if (hasKey)
      out[key] = value;
    else
      out["#" + std::to_string(bare++)] = out[value] = value;
  }
  return out;
}

Gate gateOf(const std::string &word) {
  if (word == "open")
    return Gate::Open;
  if (word == "member")
    return Gate::Member;
  if (word == "upload")
    return Gate::Upload;
  fail("unknown gate " + word);
}

// Variables seen by a template: the innermost frame first.
struct Scope {
  const std::map<std::string, std::string> &vars;
  const Scope *outer;
  const std::string *find(const std::string &name) const {
    auto it = vars.find(name);
    if (it != vars.end())
      return &it->second;
    return outer ? outer->find(name) : nullptr;
  }
  std::string get(const std::string &name) const {
    const std::string *v = find(name);
    return v ? *v : std::string();
  }
};

} // namespace

void FakeSite::loadPages(const std::string &name,
                         const std::map<std::string, Action> &actions) {
  // A directive line starts with "@"; the lines after @page and @block up
  // to the next directive are the body. The pieces every table uses come
  // first, from common.pages.
  std::vector<std::pair<std::string, std::string>> sections;
  const std::string dir = FAKESITE_PAGES_DIR;
  const std::string path = dir + "/" + name + ".pages";
  for (const std::string &file : {dir + "/common.pages", path}) {
    std::ifstream in(file);
    if (!in)
      fail("cannot read " + file);
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line[0] == '@')
        sections.push_back({line.substr(1), ""});
      else if (!sections.empty() && line.rfind("#", 0) != 0)
        sections.back().second += line + "\n";
    }
  }
  std::vector<Page> pages;
  for (const auto &s : sections) {
    const std::string kind = s.first.substr(0, s.first.find(' '));
    const std::string rest =
        s.first.size() > kind.size() ? s.first.substr(kind.size() + 1) : "";
    auto w = words(rest);
    if (kind == "option") {
      std::lock_guard<std::mutex> lock(mutex_);
      options_[w["#0"]] = w["#1"];
    } else if (kind == "block") {
      // Without its last line break, so that a block can stand in a line.
      blocks_[w["#0"]] = s.second.substr(0, s.second.size() - 1);
    } else if (kind == "entry") {
      loginPage_ = w["#0"];
    } else if (kind == "files") {
      serveFiles(w["#0"]);
    } else if (kind == "login") {
      // The form is the block "login"; a right post logs the session in and
      // goes on, a wrong one logs it out and shows the form again.
      login_ = w;
      if (w.count("next"))
        pages.push_back({"POST", w["action"], w["heading"], Gate::Open,
                         [this, w](Visit &v) {
                           const bool ok =
                               v.field(w.at("user")) == opt("user") &&
                               v.field(w.at("password")) == opt("password");
                           setLoggedIn(v.session, ok);
                           if (ok)
                             return v.redirect(w.at("next"));
                           v.vars["failed"] = "1";
                           return render("{{>login}}", v);
                         }});
    } else if (kind == "logout") {
      pages.push_back({w.count("method") ? w["method"] : "GET", w["#0"],
                       "ログアウト", Gate::Open, [this, w](Visit &v) {
                         setLoggedIn(v.session, false);
                         v.vars["back"] = w.at("back");
                         v.vars["text"] = w.at("text");
                         return render("{{>loggedout}}", v);
                       }});
    } else if (kind == "page") {
      // "@page METHOD PATH GATE TITLE..."
      std::istringstream head(rest);
      std::string method, pathRe, gate, title;
      head >> method >> pathRe >> gate;
      std::getline(head >> std::ws, title);
      auto found = actions.find(method + " " + pathRe);
      const Action action = found == actions.end() ? Action() : found->second;
      const std::string tpl = s.second;
      pages.push_back(
          {method, pathRe, title, gateOf(gate), [this, action, tpl](Visit &v) {
             if (action)
               action(v);
             return v.answered ? std::string() : render(tpl, v);
           }});
    } else {
      fail("unknown directive @" + kind + " in " + path);
    }
  }
  for (const auto &a : actions) {
    bool used = false;
    for (const Page &p : pages)
      used |= a.first == p.method + " " + p.path;
    if (!used)
      fail("no page for the action " + a.first + " in " + path);
  }
  addPages(pages);
}

std::string FakeSite::render(const std::string &tpl, Visit &v) const {
  std::map<std::string, std::string> base;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    base = options_;
  }
  for (const auto &w : login_)
    base["login." + w.first] = w.second;
  base.emplace("loginButton",
               login_.count("button") ? login_.at("button") : "");
  base["member"] = v.member ? "1" : "";
  base["base"] = baseUrl();
  base["hostport"] = host_ + ":" + std::to_string(port_);
  for (size_t i = 1; i < v.req.matches.size(); ++i)
    base["arg" + std::to_string(i)] = v.req.matches[i].str();
  const Scope top{base, nullptr};
  const Scope visit{v.vars, &top};

  // Tags: {{name}} escaped, {{&name}} raw, {{%name}} as a path segment,
  // {{#name}}..{{/name}} when set, {{^name}}..{{/name}} when not,
  // {{*name}}..{{/name}} once per item ({{.}}, {{index}}, {{first}}),
  // {{>block}}, {{block ARGS}} (the block with {{arg}} = ARGS and
  // {{*args}} its words) and {{redirect PATH}}.
  auto block = [this](const std::string &name) -> const std::string & {
    auto it = blocks_.find(name);
    if (it == blocks_.end())
      fail("no block " + name);
    return it->second;
  };
  std::function<std::string(const std::string &, const Scope &)> fill =
      [&](const std::string &text, const Scope &scope) {
        std::string out;
        size_t at = 0;
        while (true) {
          const size_t open = text.find("{{", at);
          out += text.substr(at, open - at);
          if (open == std::string::npos)
            return out;
          const size_t close = text.find("}}", open);
          if (close == std::string::npos)
            fail("unclosed tag in: " + text.substr(open, 40));
          const std::string tag = text.substr(open + 2, close - open - 2);
          at = close + 2;
          const char sigil = tag[0];
          const std::string name = tag.substr(1);
          if (sigil == '#' || sigil == '^' || sigil == '*') {
            // The matching close, past nested sections of the same name.
            int depth = 1;
            size_t end = at, inner = at;
            while (depth > 0) {
              end = text.find("{{", end);
              if (end == std::string::npos)
                fail("section " + name + " is not closed");
              const size_t e = text.find("}}", end);
              const std::string t = text.substr(end + 2, e - end - 2);
              if (t.size() > 1 && t.substr(1) == name)
                depth += t[0] == '/'
                             ? -1
                             : (t[0] == '#' || t[0] == '^' || t[0] == '*');
              if (depth > 0)
                end = e + 2;
              else
                at = e + 2;
            }
            const std::string body = text.substr(inner, end - inner);
            const bool set = truthy(scope.get(name));
            if (sigil == '#' && set)
              out += fill(body, scope);
            else if (sigil == '^' && !set)
              out += fill(body, scope);
            else if (sigil == '*') {
              const auto list = splitItems(scope.get(name));
              for (size_t i = 0; i < list.size(); ++i) {
                const std::map<std::string, std::string> item = {
                    {".", list[i]},
                    {"index", std::to_string(i)},
                    {"first", i == 0 ? "1" : ""}};
                out += fill(body, Scope{item, &scope});
              }
            }
          } else if (sigil == '&') {
            out += scope.get(name);
          } else if (sigil == '%') {
            out += percentEncode(scope.get(name));
          } else if (sigil == '>') {
            out += fill(block(name), scope);
          } else if (tag.find(' ') == std::string::npos) {
            out += escape(scope.get(tag));
          } else {
            const std::string word = tag.substr(0, tag.find(' '));
            const std::string arg = tag.substr(word.size() + 1);
            if (word == "redirect") {
              v.redirect(arg);
              continue;
            }
            std::istringstream in(arg);
            const std::vector<std::string> args{
                std::istream_iterator<std::string>(in), {}};
            const std::map<std::string, std::string> call = {
                {"arg", arg}, {"args", join(args)}};
            out += fill(block(word), Scope{call, &scope});
          }
        }
      };
  return fill(tpl, visit);
}

// --- Options -----------------------------------------------------------------

void FakeSite::set(const std::string &name, const std::string &value) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = options_.find(name);
  if (it == options_.end())
    fail("the page table has no option " + name);
  it->second = value;
}

void FakeSite::set(const std::string &name,
                   const std::vector<std::string> &items) {
  set(name, join(items));
}

std::string FakeSite::opt(const std::string &name) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = options_.find(name);
  if (it == options_.end())
    fail("the page table has no option " + name);
  return it->second;
}

std::string FakeSite::join(const std::vector<std::string> &items) {
  std::string out;
  for (size_t i = 0; i < items.size(); ++i)
    out += (i ? "|" : "") + items[i];
  return out;
}

bool FakeSite::on(const std::string &name) const { return truthy(opt(name)); }

std::vector<std::string> FakeSite::items(const std::string &name) const {
  return splitItems(opt(name));
}

bool FakeSite::countDown(const std::string &name) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = options_.find(name);
  if (it == options_.end())
    fail("the page table has no option " + name);
  const int n = std::atoi(it->second.c_str());
  if (n <= 0)
    return false;
  it->second = std::to_string(n - 1);
  return true;
}

} // namespace fake
