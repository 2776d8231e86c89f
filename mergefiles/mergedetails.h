#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// What the details panel and the browser's tooltip say about one merge file.

// Length of <program folder>/data/<name>.LET; 0 when it cannot be read.
qint64 mergeFileLength(const QString& name);

// The browser tooltip's text for a merge file, every line ended by CR LF:
//   "Size: ", "Path: ", ["Template: "], "Date modified: " (without a template "Date Modified: "),
//   "No of records: " + recordCount.
// A file missing from the data folder reads "0 KB () Bytes" with an empty date. The copy is the
// stored file name when given (an entry keeps the name it was downloaded as), otherwise
// <name>.LET.
QString mergeSummaryText(const QString& name, const QString& recordCount,
                         const QLocale& locale = QLocale(), const QString& storedName = {});
