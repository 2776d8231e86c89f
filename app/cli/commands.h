#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QCommandLineParser;
namespace qv::output {
class MergeInteraction;
}
class QTextStream;

// The commands of the command line. Each writes its result to standard output, its progress and
// messages to standard error, and returns its exit status (exitstatus.h).
namespace qv::cli {

// Output streams of the command line, flushed line by line.
QTextStream& out();
QTextStream& err();

// A failure: the message on standard error, the status returned.
int fail(int status, const QString& message);

// From now on an interruption (Ctrl-C, SIGTERM, SIGHUP) removes this process's temporary files
// in the folders named below and ends the process with 128 + the signal's number (130, 143).
// Called before any other thread starts.
void cleanUpOnInterruption();
void removeTemporariesOnInterruption(const QString& folder);
// Also runs `step` (from the waiting thread) on an interruption, before the process ends.
void runOnInterruption(void (*step)());

int runSearch(const QCommandLineParser& options);
int runList(const QStringList& arguments);
int runExport(const QCommandLineParser& options, const QStringList& arguments);
int runMerge(const QCommandLineParser& options, const QStringList& arguments);

// Letters (lettercommand.cpp, printcommand.cpp): "merge NAME --to docx|pdf [--each PATTERN]
// [--output FILE|FOLDER]" and "print NAME [--printer P] [--records 1-50]".
std::unique_ptr<output::MergeInteraction> unattendedMerge(bool ignoreMissing);
bool isLetterMerge(const QCommandLineParser& options); // --each, or --to other than docx
int runLetterMerge(const QCommandLineParser& options, const QString& typed);
int runPrint(const QCommandLineParser& options, const QStringList& arguments);

// The stored name of merge file `name` in the data folder: the name `list` shows for it, or the
// name as stored ("X.LET.LET"); "" when there is none. *shownName gets the name `list` shows.
QString storedName(const QString& name, QString* shownName = nullptr);

// What an export or a merge of merge file `typed` works on: the file given with --output
// (absolute; "" for the usual place), the merge file's stored name and the name shown for it.
struct ExportTarget {
    QString output, stored, name;
};
// Finds the target; a usage error is reported and its status returned, else kSuccess. The
// temporary files an interrupted run left where the export writes go first.
int exportTarget(const QCommandLineParser& options, const QString& typed, ExportTarget* target);

// A document made by an automation step, which saves it in the document folder (or the folder
// of `output`) and hands it to the desktop; here the hand-over only takes note of its path,
// which is printed. The exit status of the export.
int makeDocument(const QString& output, const std::function<void()>& step);

// The merge file copies in the data folder ("ABC.LET"), in name order.
QStringList mergeCopies();

// The --output path of an export made absolute against the working directory ("" when none was
// given); nullopt with a message when it names one of the program's own files (the settings, the
// pinned certificates, the executable, the data and template folders).
std::optional<QString> exportOutputPath(const QString& given, QString* error);

// The password in the first line of the file, without its line end. The file must be a regular
// file of at most kPasswordFileLimit bytes, not readable by group or others; false with a message
// otherwise, or when it cannot be read.
inline constexpr qint64 kPasswordFileLimit = 4096;
bool readPasswordFile(const QString& path, QString* password, QString* error);

// True when the fingerprint the operator gave names the identity's fingerprint: a "SHA256:"
// prefix and colons do not count; hexadecimal digits match without regard to case.
bool sameFingerprint(const QString& given, const QString& actual);

} // namespace qv::cli
