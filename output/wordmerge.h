#pragma once

#include <QString>

// The two word-processor commands as automation calls, on the merge file of the given name in
// the program folder (mergeFilePath and mergeTemplatePath of mergefiles/mergefile.h). Failures
// throw qv::automation::Error.
namespace qv::output {

// Status texts shown while Word works.
QString newDocumentStatus();
QString completeMergeStatus(const QString& name);

// A new document with the merge file attached as its data source, shown to the operator. The
// data is dataPath when given (the copy as it was downloaded), otherwise mergeFilePath(name).
void createMergeDocument(const QString& name, const QString& dataPath = {});
// A document from the merge file's template, merged with every record and shown.
void mergeIntoTemplate(const QString& name, const QString& dataPath = {});

} // namespace qv::output
