#pragma once

#include <QByteArray>
#include <QString>

// The temporary files the program makes beside the files it writes. Each is named after the
// process that made it, so that what an interrupted run left behind can be told apart from what
// a running one is still writing:
//   .<name>.part-<pid>-XXXXXX           a download on its way to <name>
//   .quorvane-<pid>-XXXXXX[.<ext>...]   an export, a data copy or a page on its way
// (files of these forms without the <pid>, from earlier versions, count as left behind).
namespace qv::tempfiles {

// A template for mkstemp or QTemporaryFile: "<folder>/.quorvane-<pid>-XXXXXX<suffix>".
QString exportTemplate(const QString& folder, const QString& suffix = {});
// "<folder>/.<name>.part-<pid>-XXXXXX" for a download to <folder>/<name>.
QString downloadTemplate(const QString& target);

// Removes the program's temporary files in the folder that no running process of it is writing
// any more (their process has ended). Nothing else is touched.
void removeStale(const QString& folder);
// Removes this process's own temporary files in the folder (on an interruption).
void removeOwn(const QString& folder);

// Writes bytes to path in one step: a temporary file beside it is written, flushed to the disk
// and closed, each step checked, then takes path's place. On failure nothing is left but the
// earlier file, and *error holds the system's reason.
bool replaceFile(const QString& path, const QByteArray& bytes, QString* error);

// Flushes a written file to the disk and closes it, each step checked. False with the system's
// reason otherwise.
bool syncToDisk(const QString& path, QString* error);

} // namespace qv::tempfiles
