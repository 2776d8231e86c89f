#pragma once

#include "platform/filenames.h"

#include <QString>
#include <QStringList>

// Names of merge files as the server lists them are input from outside. Only a plain file name
// that ends up inside the data folder may be used as the name of a local copy
// (isStorableFileName, platform/filenames.h).
namespace qv {

// Why a listed name cannot be the name of a merge file's copy in the data folder, in words that
// follow "cannot be stored here: " ("a name holding a path separator"); "" when it can. A copy's
// name is a plain file name without path separators, "..", drive or stream colons, control
// characters or characters file systems refuse, of at most 255 bytes as the system spells it,
// holding ".LET" after at least one character.
QString unstorableReason(const QString& name);

// True for a storable name holding ".LET" after at least one character.
bool isSafeMergeFileName(const QString& name);

// The merge file's name: the characters before the first ".LET" (exact case); "X.LET.LET" -> "X".
QString mergeFileBaseName(const QString& storedName);

// The names the operator sees and types for the stored names, in their order: the merge file's
// name ("X" for "X.LET"), except where another stored name has the same one; then the stored name
// itself ("X.LET.LET", "X.LETTER.LET"), the plain "X.LET" keeping "X". Each name shown stands for
// exactly one stored file.
QStringList mergeFileDisplayNames(const QStringList& storedNames);

// A listed name that cannot be stored, and why (unstorableReason).
struct UnstorableName {
    QString name;
    QString reason;
};

// The names of a listing worth downloading, in listing order: safe merge file names, each once.
// The others (but empty lines and repeats) go to *unstorable, with their reasons, when given.
QStringList downloadableNames(const QStringList& listed,
                              QList<UnstorableName>* unstorable = nullptr);

} // namespace qv
