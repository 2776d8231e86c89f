#pragma once

#include <QByteArray>
#include <QString>

// The settings file on disk. It holds the login and the password in plain text, so the program
// makes and rewrites it readable and writable by its owner only (0600). A file that is protected
// is never opened up: a read-only file, or a link to a file outside the folder that holds the
// settings, is left exactly as it is, and the caller gets the reason.
namespace qv::settingsfile {

// Creates the file empty and owner-only when it is missing; an existing file is not changed, and
// nothing is created through a link. False with the reason when the file cannot be created.
bool ensureExists(const QString& path, QString* error);

// The largest settings file that is read: far more than the three settings ever take, so a
// larger file is no settings file (and is not read into memory whole).
inline constexpr qint64 kLargestFile = 64 * 1024;

// The whole file, through a link as well. False with the reason when it cannot be read or is
// larger than kLargestFile.
bool readBytes(const QString& path, QByteArray* bytes, QString* error);

// Why the file is not read for its size: "" when it is not larger than kLargestFile, or
// cannot be read at all.
QString sizeProblem(const QString& path);

// The file that a rewrite of path replaces: path itself, or the file a link at path points to
// when that lies within the folder holding path. False with the reason ("Permission denied" for
// a read-only file) when the settings must not be written there; nothing is changed then.
bool writableTarget(const QString& path, QString* target, QString* error);

// Puts bytes in place of the target's contents: a complete new owner-only file replaces it in
// one step, so a failure leaves the earlier file as it was. False with the reason on failure.
bool replaceOwnerOnly(const QString& target, const QByteArray& bytes, QString* error);

} // namespace qv::settingsfile
