#include "services.h"

namespace {
QVector<BlogService> &table() {
  static QVector<BlogService> t;
  return t;
}
QString &topUrl() {
  static QString u = QStringLiteral("https://blog.fc2.com/");
  return u;
}
} // namespace

void fillServiceTable() {
  auto s = [](const char *name, const char *url, const char *label,
              const char *fragment) {
    return BlogService{QString::fromUtf8(name), QString::fromUtf8(url),
                       QString::fromUtf8(label), QString::fromUtf8(fragment)};
  };
  table() = {
      s("FC2ブログ", "https://admin.blog.fc2.com/", "FC2ブログで動作",
        "fc2.com"),
      s("アメーバブログ", "https://www.ameba.jp/", "アメーバブログで動作",
        "ameba.jp"),
      s("livedoorブログ", "https://member.livedoor.com/",
        "livedoorブログで動作", "livedoor"),
      s("SeeSaaブログ", "https://blog.seesaa.jp/", "SeeSaaブログで動作",
        "seesaa"),
      s("楽天ブログ", "https://plaza.rakuten.co.jp/index.phtml?",
        "楽天ブログで動作", "plaza.rakuten"),
      s("忍者ブログ", "https://www.ninja.co.jp/login.html", "忍者ブログで動作",
        "ninja"),
      s("DTIブログ", "https://www.dtiblog.com/login.html", "DTIブログで動作",
        "dtiblog"),
      s("CSCブログ", "https://www.cscblog.jp/", "CSCブログで動作", "cscblog"),
      s("gooブログ", "https://blog.goo.ne.jp/", "gooブログで動作",
        "blog.goo.ne.jp"),
      s("ココログ", "https://app.cocolog-nifty.com/t/app", "ココログで動作",
        "cocolog-nifty"),
      s("Jugem", "https://jugem.jp/", "Jugemブログで動作", "jugem"),
      s("ウェブリブログ", "https://webryblog.biglobe.ne.jp/",
        "ウェブリブログで動作", "webry"),
      s("So-netブログ", "https://blog.so-net.ne.jp/", "So-netブログで動作",
        "so-net"),
  };
}

const QVector<BlogService> &serviceTable() {
  if (table().isEmpty())
    fillServiceTable();
  return table();
}

const QVector<int> &serviceSelectionOrder() {
  static const QVector<int> order = {
      SvcFc2,     SvcSeesaa, SvcLivedoor, SvcDti,   SvcNinja, SvcCsc,  SvcAmeba,
      SvcRakuten, SvcGoo,    SvcCocolog,  SvcJugem, SvcWebry, SvcSonet};
  return order;
}

int selectService(const QString &blogUrl) {
  const QString url = blogUrl.toLower();
  for (int i : serviceSelectionOrder())
    if (url.contains(serviceTable()[i].fragment))
      return i;
  return -1;
}

QString fc2TopUrl() { return topUrl(); }

void setServiceLoginUrl(int index, const QString &url) {
  serviceTable();
  if (index >= 0 && index < table().size())
    table()[index].loginUrl = url;
}

void setFc2TopUrl(const QString &url) { topUrl() = url; }
