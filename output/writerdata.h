#pragma once

#include "output/mergedata.h"
#include "output/odtdocument.h"

#include <QByteArray>
#include <QString>

// The copy of a merge file that LibreOffice Writer reads as a new document's data source.
//
// LibreOffice's flat-file driver repeats the last value of a record in every field the record
// lacks ("7|Ann" under three names reads as 7, Ann, Ann), and takes a column of digits for
// numbers ("00123" becomes 123). So the copy holds every record padded to the header's width,
// after a first line with a marker in every field: the marker keeps each column text, and the
// document's query leaves that line out. The copy is UTF-8, one record a line, values between
// "|", no quoting; the merge file itself is left as it is.
namespace qv::output {

// A private-use character: no Windows-1252 text holds it.
inline constexpr char16_t kWriterDataMarker = u'\uE000';
inline constexpr const char* kWriterDataExtension = "txt";

// <program folder>/data/Writer: one copy per merge file, renewed with every new document.
QString writerDataFolder();

// The copy's bytes for the merge file's header and records.
QByteArray writerDataBytes(const MergeData& data);

// Writes the copy of the named merge file into writerDataFolder(), replacing an older copy in
// one step; *path is the copy's path. False with a message on failure.
bool saveWriterData(const QString& name, const MergeData& data, QString* path, QString* error);

// Reads the merge file, writes its copy and describes the data source of a new document that
// has the merge file attached. False with a message on failure; *unwritten is then true when the
// copy could not be written.
bool prepareWriterSource(const QString& mergeFile, odt::MergeSource* source, QString* error,
                         bool* unwritten = nullptr);

} // namespace qv::output
