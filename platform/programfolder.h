#pragma once

#include <QString>
#include <QStringList>

// The program folder: where "auto.ini", "data", "Word", "output.html" and the clips live.
// By default the folder of the executable. When that folder cannot be written (a copy installed
// in a system folder), the program keeps its files in a per-user data folder instead. The
// installed services may name another folder; tests point it at a temporary one.
namespace qv {

QString programFolder();

// True when the executable's folder could not be written and the per-user folder is used (never
// when the services name the folder).
bool programFolderIsFallback();

// programPath("data") -> <program folder>/data; pieces are joined with the platform separator.
QString programPath(const QString& relative);
QString programPath(const QString& first, const QString& second);

// The choice made for the default folder, separated for tests: the executable's folder when it
// is writable, else the fallback folder, which is created and given a copy of each shipped file
// that is missing there.
QString resolveProgramFolder(const QString& executableFolder, bool executableFolderWritable,
                             const QString& fallbackFolder, const QStringList& shippedFiles);

// Whether a file can be created in the folder (tries it; permission bits alone do not tell).
bool folderIsWritable(const QString& folder);

} // namespace qv
