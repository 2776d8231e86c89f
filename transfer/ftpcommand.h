#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// The three commands of the transfer control, as values or as the command lines it understands:
//   "DIR <remote folder>/<pattern>"      list the names in the folder that match the pattern
//   "GET <remote file> <local path>"     copy the remote file to the local path
//   "DELETE <remote file>"               delete the remote file
// Remote paths that start with "/" are absolute on the server; others are relative to the
// folder the login lands in. The keyword is not case-sensitive.
namespace qv::transfer {

struct FtpCommand {
    enum class Kind { List, Get, Delete };
    Kind kind = Kind::List;
    QString remoteFolder; // List: the folder to list, ending with "/"
    QString pattern;      // List: "*" and "?" wildcards, matched against each name
    QString remotePath;   // Get, Delete: the remote file
    QString localPath;    // Get: where the copy goes

    static FtpCommand list(const QString& remoteFolder, const QString& pattern);
    static FtpCommand get(const QString& remotePath, const QString& localPath);
    static FtpCommand remove(const QString& remotePath);

    // The command as a command line ("DIR /u/*.LET").
    QString line() const;
    // What makes the command unusable, "" when it can run.
    QString fault() const;
};

// nullopt when the line is no such command; why then says what is wrong with it.
std::optional<FtpCommand> parseFtpCommand(const QString& line, QString* why = nullptr);

// True when name matches the pattern: "*" any run of characters, "?" one character, every
// other character itself (case-sensitive, as on the server's file system).
bool matchesPattern(const QString& name, const QString& pattern);

// A name of a directory listing: as the server sent it, and as text (UTF-8 when the bytes are
// valid UTF-8, otherwise the 8-bit code page).
struct ListedName {
    QString name;
    QByteArray wire;
};
QString decodeListedName(const QByteArray& bytes);

// The lines of a raw listing (LF or CR LF ended, empty lines skipped) whose names match the
// pattern and can be local file names (isStorableFileName), in order; none when the listing is
// beyond the limits of a ListingReader.
QList<ListedName> matchingListedNames(const QByteArray& listing, const QString& pattern);

} // namespace qv::transfer
