#include "fakewebry.h"

#include <algorithm>

namespace fake {

FakeWebry::FakeWebry(std::string host) : SiteWith(std::move(host)) {
  setLogin({"ログイン", "/login", "userid", "password", "/mypage", "ログイン"},
           &Options::userId, &Options::password);
  addPages({
      {"GET", "/", "ウェブリブログ", Gate::Open,
       [](Visit &) {
         return "<h1>ウェブリブログ</h1>\n<p>" +
                trapLink("ログインはこちらから登録") + " " +
                link("/login", " ログインはこちら ") + "</p>";
       }},
      {"GET", "/login", "ログイン", Gate::Open,
       [this](Visit &v) {
         return v.member ? v.redirect("/mypage") : loginForm(false);
       }},
      {"GET", "/mypage", "マイページ", Gate::Upload,
       [](Visit &) {
         return "<h1>マイページ</h1>\n<p>" + trapLink("設定ヘルプ") + " " +
                link("/settings", "設定") + " " + trapLink("設定") + "</p>";
       }},
      {"GET", "/settings", "設定", Gate::Upload,
       [](Visit &) {
         return std::string(
             "<h1>設定</h1>\n<ul><li><a "
             "href=\"/settings/basic\">基本</a></li>\n"
             "<li><a href=\"/settings/option\"><b>オプション</b>設定</a></li>"
             "</ul>");
       }},
      {"GET", "/settings/option", "オプション設定", Gate::Upload,
       [](Visit &) {
         return std::string(
             "<h1>オプション設定</h1>\n<div "
             "class=\"section\"><h3>デザイン</h3>\n"
             "<input type=\"button\" value=\"設定画面へ\" "
             "onclick=\"location.href='/design'\"></div>\n"
             "<div class=\"section\"><h3>ファイルマネージャー</h3>\n"
             "<p>画像や動画を管理します。</p>\n<input type=\"button\" "
             "value=\" 設定画面へ \" onclick=\"window.open('/fm/', "
             "'filemanager', 'width=800,height=600')\"></div>");
       }},
      {"GET", "/design", "デザイン", Gate::Open,
       [](Visit &) { return std::string("<h1>デザイン</h1>"); }},
      {"GET", "/fm/", "ファイルマネージャー", Gate::Upload,
       [this](Visit &v) {
         const std::string folder = v.field("folder");
         return managerPage(folder.empty() ? "default" : folder, "");
       }},
      {"POST", "/fm/mkdir", "", Gate::Upload,
       [this](Visit &v) {
         if (!v.field("folderName").empty())
           addFolder(v.field("folderName"));
         return v.redirect("/fm/");
       }},
      {"POST", "/fm/upload", "ファイルマネージャー", Gate::Upload,
       [this](Visit &v) {
         const std::string folder = v.field("folder");
         const auto got = recordUploads(v.req, folder, true);
         return managerPage(folder,
                            uploadResult(got, " をアップロードしました"));
       }},
  });
  serveFiles("/files/");
}

std::vector<std::string> FakeWebry::folders() const {
  std::lock_guard<std::mutex> lock(foldersMutex_);
  return folders_;
}

void FakeWebry::addFolder(const std::string &name) {
  std::lock_guard<std::mutex> lock(foldersMutex_);
  if (std::find(folders_.begin(), folders_.end(), name) == folders_.end())
    folders_.push_back(name);
}

std::string FakeWebry::managerPage(const std::string &folder,
                                   const std::string &message) const {
  const auto o = options();
  std::lock_guard<std::mutex> lock(foldersMutex_);
  std::string body =
      "<h1>ファイルマネージャー</h1>\n" + message +
      "<p>最近のフォルダ: " + link("/fm/?folder=recent", folders_.back()) +
      "</p>\n<table class=\"folders\">\n<tr><th> フォルダ "
      "</th></tr>\n";
  for (const auto &f : folders_)
    body += "<tr><td>" +
            link("/fm/?folder=" + percentEncode(f), " " + f + " ") +
            "</td></tr>\n";
  body += "</table>\n" +
          form("/fm/mkdir", "<p>新しいフォルダ " + input("text", "folderName") +
                                " " + submit("作成") + "</p>") +
          trapButton("作成") + "<h2>" + escape(folder) + "</h2>\n" +
          trapButton("アップロード") + hiddenDecoys({"filedata"}) +
          form("/fm/upload",
               input("hidden", "folder", folder) + "\n<p>" +
                   input("file", "filedata") + "</p>\n<p>" +
                   submit("アップロード") + "</p>\n<p><label>" +
                   input("checkbox", "overwriteflg", "1",
                         o.overwriteChecked ? "checked" : "") +
                   "同名のファイルを上書きする</label></p>",
               true) +
          "<ul>\n";
  for (const auto &name : writeOrder(folder))
    body += "<li>" + link(fileUrl(folder, name), " " + name + " ") + "</li>\n";
  return body + "</ul>";
}

} // namespace fake
