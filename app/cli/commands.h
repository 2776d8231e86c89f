#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QCommandLineParser;
class QTextStream;

// The commands of the command line. Each writes its result to standard output, its progress and
// messages to standard error, and returns its exit status (exitstatus.h).
namespace qv::cli {

// Output streams of the command line, flushed line by line.
QTextStream& out();
QTextStream& err();

// A failure: the message on standard error, the status returned.
int fail(int status, const QString& message);

int runSearch(const QCommandLineParser& options);
int runList(const QStringList& arguments);
int runExport(const QCommandLineParser& options, const QStringList& arguments);
int runMerge(const QCommandLineParser& options, const QStringList& arguments);

// The stored name of merge file `name` in the data folder ("X" may be kept as "X.LET.LET");
// "" when there is none.
QString storedName(const QString& name);

// A document made by an automation step, which saves it in the document folder (or the folder
// of `output`) and hands it to the desktop; here the hand-over only takes note of its path,
// which is printed. The exit status of the export.
int makeDocument(const QString& output, const std::function<void()>& step);

// The merge file copies in the data folder ("ABC.LET"), in name order.
QStringList mergeCopies();

// The password in the first line of the file. The file must not be readable by group or others;
// false with a message otherwise, or when it cannot be read.
bool readPasswordFile(const QString& path, QString* password, QString* error);

// True when the fingerprint the operator gave names the identity's fingerprint: a "SHA256:"
// prefix and colons do not count; hexadecimal digits match without regard to case.
bool sameFingerprint(const QString& given, const QString& actual);

} // namespace qv::cli
