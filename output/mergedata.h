#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// A merge file read the way a word processor reads a delimited text data source: the first line
// names the fields, "|" stands between fields, every further non-empty line is one record.
// Unlike the record list, commas, quotation marks and carriage returns are plain characters.
namespace qv::output {

struct MergeData {
    QStringList names;
    QList<QStringList> records;

    // Index of the named field, compared without regard to case, spaces and underscores being
    // the same (word processors show "First Name" as First_Name); -1 when there is none.
    int fieldIndex(const QString& name) const;
    // The record's value of the field; empty when the record is shorter.
    QString value(qsizetype record, int field) const;
};

// Decodes the Windows-1252 bytes; a CR before an LF is part of the line end.
MergeData parseMergeData(const QByteArray& bytes);

// Reads the file; false with a message when it cannot be read or has no header line.
bool readMergeData(const QString& path, MergeData* data, QString* error);

} // namespace qv::output
