#pragma once

#include <QString>
#include <QStringList>

// A new OpenDocument text (.odt) for LibreOffice Writer: one empty paragraph, and a merge file
// attached as its mail-merge data source through an embedded database. Opening the document
// registers that database under the source's name (replacing a source of the same name) and
// makes its query the document's current data, so the field list and the mail merge offer the
// merge file's fields at once; closing it removes the registration again.
//
// The database is a flat-file connection to the folder of the merge file's copy (writerdata.h),
// by absolute URL; its raw tables are hidden, and one query, named after the merge file, gives
// the copy's columns C1, C2, ... the merge file's field names and leaves out its marker line.
// LibreOffice rewrites the folder's URL relative to the document when the user saves it there.
namespace qv::odt {

struct MergeSource {
    QString dataSource; // the name LibreOffice registers, e.g. "Quorvane ABC"
    QString query;      // the query's name: the merge file's name
    QString table;      // the copy's file name without its extension
    QString folder;     // the absolute path of the folder holding the copy
    QString extension;  // the copy's file extension
    QStringList fields; // the field names, in the header's order
};

// "Quorvane " + the merge file's name.
QString dataSourceName(const QString& mergeName);

// The header's names as LibreOffice can show them: an empty name becomes "Field n" (n the
// column, from 1), a repeated one (letter case aside) gets the first free " 2", " 3", ...;
// a double quote becomes an apostrophe (LibreOffice's query parser fails on a name with a
// double quote, however it is escaped).
QStringList uniqueFieldNames(const QStringList& header);

// The query's SQL text.
QString queryCommand(const MergeSource& source);

// Writes the document as a new file at path; false with a message on failure.
bool writeDocument(const QString& path, const MergeSource& source, QString* error);

} // namespace qv::odt
