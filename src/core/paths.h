// Where the program's files live. The program folder holds the executable
// and what ships beside it; the data folder holds the user's files. Core
// code takes both as values so tests can point them at temporary folders.
#pragma once
#include <QString>

QString programFolder();
void setProgramFolder(const QString &folder);

QString dataFolder();
void setDataFolder(const QString &folder);

// The program folder when it is writable, otherwise
// $XDG_DATA_HOME/Sendora (default ~/.local/share/Sendora), created.
QString chooseDataFolder(const QString &programFolder);

// dataFolder() joined with a file name.
QString dataFile(const QString &name);
