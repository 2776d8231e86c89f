#include "transfer/searchlock.h"

#include "platform/programfolder.h"

#include <QDir>

namespace qv {

SearchLock::SearchLock() : lock_(path()) {
    // Only a holder that has ended leaves a stale lock: a long search keeps it however old.
    lock_.setStaleLockTime(0);
}

QString SearchLock::path() {
    return programPath(QStringLiteral(".search.lock"));
}

bool SearchLock::acquire() {
    if (lock_.tryLock(0))
        return true;
    qint64 pid = 0;
    QString host, program;
    const bool named = lock_.getLockInfo(&pid, &host, &program);
    // A lock that names no process (a holder that died as it made it) goes, unless a live
    // holder still has it open.
    if (lock_.error() == QLockFile::LockFailedError && !named && lock_.removeStaleLockFile() &&
        lock_.tryLock(0))
        return true;
    if (lock_.error() == QLockFile::LockFailedError) {
        const QString holder = named ? QStringLiteral(" (process %1)").arg(pid) : QString();
        message_ = QStringLiteral("Another search is running in the program folder %1%2. Wait "
                                  "until it has ended, then search again.")
                       .arg(QDir::toNativeSeparators(programFolder()), holder);
        return false;
    }
    // The lock cannot be made here (a full disk, no permission): the search goes on without
    // it, and what it cannot write here it reports, with the system's reason.
    return true;
}

} // namespace qv
