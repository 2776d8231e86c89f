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

namespace qv {
struct ConnectionFields;
class PasswordKeyring;
} // namespace qv

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

// Where an export or a merge puts its file when --output is given: a file to replace (made
// absolute), or a folder where the file gets its usual name (a free one for documents). Both
// are empty for the usual place.
struct OutputDestination {
    QString file, folder;
};

// What an export or a merge of merge file `typed` works on: where its file goes, the merge
// file's stored name and the name shown for it.
struct ExportTarget {
    OutputDestination output;
    QString stored, name;
};
// Finds the target; a usage error is reported and its status returned, else kSuccess.
// `usualName` is the name the export gives its file in a folder ("output.html"), "" for the
// documents, which take a free name. The temporary files an interrupted run left where the
// export writes go first.
int exportTarget(const QCommandLineParser& options, const QString& typed, const QString& usualName,
                 ExportTarget* target);

// A document made by an automation step, which saves it in the document folder (or the folder
// of the destination) and hands it to the desktop; here the hand-over only takes note of its
// path, which is printed. The exit status of the export.
int makeDocument(const OutputDestination& output, const std::function<void()>& step);

// The merge file copies in the data folder ("ABC.LET"), in name order.
QStringList mergeCopies();

// Where --output puts an export: `given` made absolute against the working directory; a folder
// takes the file under `usualName` (see exportTarget). nullopt with a message when it names one
// of the program's own files (anything already in the program folder bar the html export's
// "output.html", the settings, the pinned certificates, the executable, the data and template
// folders) or something that is not a regular file (a device, a FIFO, a socket).
std::optional<OutputDestination> exportOutputPath(const QString& given, const QString& usualName,
                                                  QString* error);

// The password in the first line of the file, without its line end. The file must be a regular
// file of at most kPasswordFileLimit bytes, not readable by group or others; false with a message
// otherwise, or when it cannot be read.
inline constexpr qint64 kPasswordFileLimit = 4096;
bool readPasswordFile(const QString& path, QString* password, QString* error);

// The password the desktop keyring keeps for the fields' server, port and login. The keyring is
// asked to prompt (to be unlocked) only when there is a display to prompt on. False with a
// message when the address is unusable, or the keyring cannot be reached, stays locked or holds
// no password for that login.
bool readKeyringPassword(const ConnectionFields& fields, PasswordKeyring& keyring,
                         QString* password, QString* error);

// True when the fingerprint the operator gave names the identity's fingerprint: a "SHA256:"
// prefix and colons do not count; hexadecimal digits match without regard to case.
bool sameFingerprint(const QString& given, const QString& actual);

} // namespace qv::cli
