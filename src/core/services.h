// The blog services the built-in scripts serve. A service is stored in the
// settings only as an address (BlogUrl); it is recognised by the first
// domain fragment, in the selection order, that occurs in that address.
#pragma once
#include <QString>
#include <QVector>

enum ServiceIndex {
  SvcFc2 = 0,
  SvcAmeba,
  SvcLivedoor,
  SvcSeesaa,
  SvcRakuten,
  SvcNinja,
  SvcDti,
  SvcCsc,
  SvcGoo,
  SvcCocolog,
  SvcJugem,
  SvcWebry,
  SvcSonet,
  ServiceCount
};

struct BlogService {
  QString displayName; // service choice in the dialogs
  QString loginUrl;    // stored as BlogUrl when the service is chosen
  QString logLabel;    // logged when a run picks the service
  QString fragment;    // lower-case part of every address of the service
};

// Fills the table; called once, first thing at start-up.
void fillServiceTable();
const QVector<BlogService> &serviceTable();

// The order in which the fragments are tried.
const QVector<int> &serviceSelectionOrder();

// Index of the service whose fragment first occurs in the lower-cased
// address, -1 when none does.
int selectService(const QString &blogUrl);

// The log label of the user-defined script.
inline const char *const kCustomLabel = "カスタム設定で動作";

// The FC2 blog top page: starting there takes the path through the blog's
// own top page instead of the login page.
QString fc2TopUrl();

// Tests point the services at fake sites on loopback.
void setServiceLoginUrl(int index, const QString &url);
void setFc2TopUrl(const QString &url);
