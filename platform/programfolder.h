#pragma once

#include <QString>

// The program folder: where "auto.ini", "data", "Word", "output.html" and the clips live.
// By default the folder of the executable; tests point it at a temporary folder.
namespace qv {

QString programFolder();
void setProgramFolder(const QString& folder); // empty restores the default

// programPath("data") -> <program folder>/data; pieces are joined with the platform separator.
QString programPath(const QString& relative);
QString programPath(const QString& first, const QString& second);

} // namespace qv
