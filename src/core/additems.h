// Turning dropped files and folders into queue entries.
#pragma once
#include <QString>
#include <QStringList>
#include <functional>

// Appends every folder below `folder`, each before the folders inside it
// (depth first); makes `folder` end with "/". Hidden (dot) folders and
// symbolic links to folders are not followed.
void collectFolders(QString &folder, QStringList &folders);

struct AddOutcome {
  int added = 0;
  bool limitReached = false; // the item limit stopped the add
  QStringList refused;       // paths the list file cannot hold
};

// Adds the dropped names: sorted by character code; files as they are,
// folders expanded into their own files first, then each subfolder's.
// `total` is the number of items already counted against `limit` and grows
// with each add. `add` receives each accepted path; `pump` is called now and
// then so the window stays alive while thousands of files go in.
AddOutcome addDroppedPaths(QStringList names, int &total, int limit,
                           const std::function<void(const QString &)> &add,
                           const std::function<void()> &pump = {});

// The message shown when the limit stopped an add.
QString itemLimitMessage(int limit);
