#pragma once

#include "output/mergedata.h"
#include "output/mergeinteraction.h"
#include "output/ooxmlpackage.h"

#include <QLocale>
#include <QString>
#include <functional>

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

struct MergeOptions {
    // Asks the operator (ASK, FILLIN, a faulty template). nullptr: output::mergeInteraction().
    output::MergeInteraction* interaction = nullptr;
    // Reads and writes numbers and dates of the merge file and of the field pictures.
    QLocale locale = QLocale::system();
    // The template's full name, named when its fields are faulty.
    QString templatePath;
    // Letters cut from the merged document: each copy starts with a bookmark named
    // copyBookmarkName(n), n counting the copies from 1.
    bool markCopies = false;
    // Told after each copy is merged, with the records (from 0) it was made of, first to next
    // (excluded); false stops the merge as a cancelled question does. Empty: nobody is told.
    std::function<bool(qsizetype first, qsizetype next)> copyMerged;
};

// The name of the bookmark that starts copy n (from 1) when MergeOptions::markCopies is set.
QString copyBookmarkName(qsizetype copy);

// Merges the records into copies of the main document as merging to a new document does: the
// mail-merge fields (MERGEFIELD, IF, MERGEREC, MERGESEQ, NEXT, NEXTIF, SKIPIF, SET, ASK, FILLIN,
// REF to a SET or ASK bookmark) become their results, in the body, tables, headers, footers,
// foot- and endnotes and text boxes; other fields stay for the word processor to update, merge
// fields nested in them merged. One copy per record (NEXT puts further records into the same
// copy, SKIPIF gives a record none), each starting on a new page. The result no longer refers to
// the data source. False with a message on failure (no records, damaged parts, faulty fields
// the operator did not want merged, a question cancelled); *result is then untouched.
bool mergeDocument(const ooxml::Package& main, const output::MergeData& data,
                   ooxml::Package* result, QString* error, const MergeOptions& options = {});

// The merge field a MERGEFIELD instruction names; false when the instruction is not a readable
// MERGEFIELD.
bool mergeFieldName(const QString& instruction, QString* name);

} // namespace qv::docx
