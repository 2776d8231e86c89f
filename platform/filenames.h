#pragma once

#include <QString>

// Names of local files that come from outside the program: names a server lists, and names made
// of a merge file's values. Only a plain name that stays inside its folder may be used.
namespace qv {

// True for a plain name that can be the name of a file in a folder: without path separators,
// "..", drive or stream colons, control characters, or characters file systems refuse, and short
// enough for the local file system (255 bytes as the system spells it).
bool isStorableFileName(const QString& name);

// The wanted name made storable: each character isStorableFileName refuses becomes "_", runs of
// dots become one, spaces and dots at either end go, and the name is shortened (never inside a
// character) until, with `reserve` more bytes (an extension, a " (2)"), it fits. "" when nothing
// is left.
QString storableFileName(const QString& wanted, qsizetype reserve = 0);

} // namespace qv
