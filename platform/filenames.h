#pragma once

#include <QString>

// Names of local files that come from outside the program: names a server lists, and names made
// of a merge file's values. Only a plain name that stays inside its folder may be used.
namespace qv {

// Why a name cannot be the name of a file in a folder, in words that follow "cannot be stored
// here: " ("a name holding a path separator"); "" when it can. A storable name is a plain name
// without path separators, "..", drive or stream colons, control characters or characters file
// systems refuse, of at most 255 bytes as the system spells it.
QString fileNameProblem(const QString& name);

// True for a name fileNameProblem finds nothing wrong with.
bool isStorableFileName(const QString& name);

// The wanted name made storable: each character isStorableFileName refuses becomes "_", runs of
// dots become one, spaces and dots at either end go, and the name is shortened (never inside a
// character) until, with `reserve` more bytes (an extension, a " (2)"), it fits. "" when nothing
// is left.
QString storableFileName(const QString& wanted, qsizetype reserve = 0);

} // namespace qv
