#pragma once

#include <QString>

// What stands at a path that a written file is about to take, checked before the new file is
// put there. A new file replaces only a regular file (or a link, which is replaced, not written
// through): a device, a FIFO or a socket at the path, or at the end of a link there, is never
// replaced, so an output named "/dev/null" cannot turn the device into a file.
namespace qv {

// Why path must not be replaced by a new file ("\"/dev/null\" is a character device, not a
// file"); "" when it may be: nothing is there, a regular file is, or a link to either.
QString unsafeOutputTarget(const QString& path);

// True when path is a folder, or a link to one.
bool isFolder(const QString& path);

// True when path lies within folder (or is folder): both taken with their links resolved, and
// the path's own name resolved too when it is a link.
bool liesWithin(const QString& path, const QString& folder);

} // namespace qv
