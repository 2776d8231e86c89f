#pragma once

#include <QString>

// "auto.ini": the program's own small INI dialect. Section and key names match without regard to
// case; values are taken unchanged up to the end of their line. Files hold one byte per character
// (Windows-1252) with CR LF line ends and are opened and closed within each call. A file with LF
// line ends (as a text editor writes it) is read as if its lines ended with CR LF, and rewritten
// with CR LF. A file larger than settingsfile::kLargestFile (64 KB) is neither read nor written:
// the reason says so.
namespace qv {

// The value of key in section, or "" when either is missing. A missing file is created empty and
// readable by its owner only. ok (when given) becomes false when the file could not be created or
// read; error gets the reason.
QString INIread(const QString& path, const QString& section, const QString& key, bool* ok = nullptr,
                QString* error = nullptr);

// Sets key in section to value, adding the entry (first in its section) and the section (at the
// end) when needed, and rewrites the whole file, owner-only (0600) whatever its mode was. Returns
// false, with the reason in error, when the file could not be read or written; the file on disk is
// then left as it was. A protected file is never opened up: a read-only file gives "Permission
// denied", and a link to a file outside the folder holding path is not written through.
bool INIwrite(const QString& path, const QString& section, const QString& key, const QString& value,
              QString* error = nullptr);

namespace ini {
// The text transformation of INIwrite on the decoded file contents, without the file.
QString applyWrite(const QString& fileText, const QString& section, const QString& key,
                   const QString& value);
// The lookup of INIread on the decoded file contents.
QString lookup(const QString& fileText, const QString& section, const QString& key);
} // namespace ini

} // namespace qv
