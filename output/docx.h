#pragma once

#include "output/mergedata.h"
#include "output/ooxmlpackage.h"

#include <QString>

// Word-processing documents in Office Open XML: a new blank document, the mail-merge data source
// in its settings, and the merge of a main document with every record of a merge file.
namespace qv::docx {

// A new, empty document.
ooxml::Package newDocument();

// The mail-merge data source a word processor finds in the document's settings.
struct DataSource {
    QString path;       // the data file
    QString connection; // e.g. "TABLE ABC"; left out when empty
    QString query;      // e.g. "Select * from [ABC]"; left out when empty
    bool linkToSource = false;
    QChar delimiter = QLatin1Char('|');
};

// Attaches the data source (replacing any earlier one); false with a message when the package
// has no main document part.
bool attachDataSource(ooxml::Package& package, const DataSource& source, QString* error);

// Reads back the attached data source (for tests and for the merge); false when none.
bool attachedDataSource(const ooxml::Package& package, DataSource* source);

// Turns a template package (.dotx/.dotm content) into a document package; returns the file
// extension the result wants ("docx" or "docm").
QString makeDocument(ooxml::Package& package);

// Merges every record into a copy of the main document: merge fields (simple or complex, also
// when their instruction is split across runs) in the body, headers and footers are replaced
// by the record's values; one copy per record, each starting on a new page. The result no longer
// refers to the data source. False with a message on failure (no records, damaged parts).
bool mergeDocument(const ooxml::Package& main, const output::MergeData& data,
                   ooxml::Package* result, QString* error);

// The text of a merge field instruction applied to a value: MERGEFIELD name with its \b, \f
// and \* switches. Returns false when the instruction is not a MERGEFIELD.
bool mergeFieldName(const QString& instruction, QString* name);

} // namespace qv::docx
