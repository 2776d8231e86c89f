#include "transfer/downloadfile.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qv::transfer {

DownloadFile::~DownloadFile() {
    discard();
}

bool DownloadFile::fail(int error) {
    error_ = QString::fromLocal8Bit(std::strerror(error));
    return false;
}

// The system's reason for the call that just failed; the temporary file goes.
bool DownloadFile::abandon() {
    const int error = errno;
    discard();
    return fail(error);
}

// A new file of its own beside the target (".<name>.part-XXXXXX"), readable by its owner only
// until it is complete. The name is shortened where the whole would be longer than a file name
// may be, so that every target that can exist can be downloaded.
bool DownloadFile::open() {
    constexpr qsizetype kLongestName = 255; // NAME_MAX, in bytes
    const QFileInfo target(target_);
    const QString suffix = QStringLiteral(".part-XXXXXX");
    QString name = QStringLiteral(".") + target.fileName();
    while (QFile::encodeName(name + suffix).size() > kLongestName)
        name.chop(name.size() > 1 && name.back().isLowSurrogate() ? 2 : 1);
    tempPath_ = QFile::encodeName(target.absolutePath() + QLatin1Char('/') + name + suffix);
    fd_ = ::mkostemp(tempPath_.data(), O_CLOEXEC);
    if (fd_ >= 0)
        return true;
    const int error = errno;
    tempPath_.clear(); // nothing was made
    return fail(error);
}

// Written straight to the file descriptor, so that a failure (a full disk) is seen at once and
// with the system's own reason.
bool DownloadFile::write(const char* data, qint64 size) {
    while (size > 0) {
        const ssize_t written = ::write(fd_, data, static_cast<size_t>(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return fail(written < 0 ? errno : ENOSPC);
        data += written;
        size -= written;
    }
    return true;
}

bool DownloadFile::commit() {
    // A download cache needs no flush to the disk: an interrupted search is simply run again.
    // rename() replaces the target in one step, so readers see the old copy or the new one.
    if (::fchmod(fd_, 0644) != 0)
        return abandon();
    const int closed = ::close(fd_);
    fd_ = -1; // closed even when close() reports an error
    if (closed != 0 ||
        std::rename(tempPath_.constData(), QFile::encodeName(target_).constData()) != 0)
        return abandon();
    tempPath_.clear();
    return true;
}

void DownloadFile::discard() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!tempPath_.isEmpty())
        ::unlink(tempPath_.constData());
    tempPath_.clear();
}

} // namespace qv::transfer
