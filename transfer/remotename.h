#pragma once

#include "platform/filenames.h"

#include <QString>
#include <QStringList>

// Names of merge files as the server lists them are input from outside. Only a plain file name
// that ends up inside the data folder may be used as the name of a local copy
// (isStorableFileName, platform/filenames.h).
namespace qv {

// True for a storable name holding ".LET" after at least one character.
bool isSafeMergeFileName(const QString& name);

// The merge file's name: the characters before the first ".LET" (exact case); "X.LET.LET" -> "X".
QString mergeFileBaseName(const QString& storedName);

// The names the operator sees and types for the stored names, in their order: the merge file's
// name ("X" for "X.LET"), except where another stored name has the same one; then the stored name
// itself ("X.LET.LET", "X.LETTER.LET"), the plain "X.LET" keeping "X". Each name shown stands for
// exactly one stored file.
QStringList mergeFileDisplayNames(const QStringList& storedNames);

// The names of a listing worth downloading, in listing order: safe merge file names, each once.
QStringList downloadableNames(const QStringList& listed);

} // namespace qv
