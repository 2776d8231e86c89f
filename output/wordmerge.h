#pragma once

#include <QString>

// The two word-processor commands as automation calls, on the merge file of the given name in
// the program folder. Failures throw qv::automation::Error.
namespace qv::output {

// <program folder>/data/<name>.LET, and the template <program folder>/Word/<name>.dot found
// without regard to the case of its name (see MergeTemplatePath).
QString mergeFilePath(const QString& name);
QString mergeTemplatePath(const QString& name);

// Status texts shown while Word works.
QString newDocumentStatus();
QString completeMergeStatus(const QString& name);

// A new document with the merge file attached as its data source, shown to the operator. The
// data is dataPath when given (the copy as it was downloaded), otherwise mergeFilePath(name).
void createMergeDocument(const QString& name, const QString& dataPath = {});
// A document from the merge file's template, merged with every record and shown.
void mergeIntoTemplate(const QString& name, const QString& dataPath = {});

} // namespace qv::output
