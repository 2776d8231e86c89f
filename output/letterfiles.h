#pragma once

#include "output/mergedata.h"

#include <QString>
#include <QStringList>

// The names of the files that hold one letter each: a pattern of merge fields in braces, such as
// "{Account} {Last}", filled with the values of the record a letter starts with, made safe as a
// file name and unique in its folder.
namespace qv::output {

// The merge fields the pattern names, in order, as written between the braces.
QStringList patternFields(const QString& pattern);

// "" when the pattern can name the letters of this merge file, else what is wrong with it: an
// unclosed brace, an empty one, a merge field the merge file does not have.
QString namePatternProblem(const QString& pattern, const MergeData& data);

// The name of the letter that starts with `record` (from 0), without its extension: the pattern
// filled and made storable (platform/filenames.h), room left for `extension` and a numbering
// suffix; the record's number (from 1) when that leaves nothing.
QString letterStem(const QString& pattern, const MergeData& data, qsizetype record,
                   const QString& extension);

// The file names (with ".extension") for the stems, in order: a stem given again gets " (2)",
// " (3)", ... (case does not tell names apart, so that the files can be copied to any disk).
// Names in `taken` (existing files that must stay) are avoided the same way.
QStringList uniqueFileNames(const QStringList& stems, const QString& extension,
                            const QStringList& taken = {});

// Which of the names already exist in the folder.
QStringList existingFiles(const QString& folder, const QStringList& names);

} // namespace qv::output
