#include "transfer/downloadfile.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace qv::transfer {

DownloadFile::DownloadFile(const QString& target)
    : target_(target), temp_(QFileInfo(target).absolutePath() + QStringLiteral("/.") +
                             QFileInfo(target).fileName() + QStringLiteral(".part-XXXXXX")) {
    temp_.setAutoRemove(true);
}

DownloadFile::~DownloadFile() {
    discard();
}

bool DownloadFile::open() {
    if (!temp_.open()) {
        error_ = temp_.errorString();
        return false;
    }
    return true;
}

// Written straight to the file descriptor, so that a failure (a full disk) is seen at once and
// with the system's own reason.
bool DownloadFile::write(const char* data, qint64 size) {
    const int fd = temp_.handle();
    while (size > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            error_ = QString::fromLocal8Bit(std::strerror(written < 0 ? errno : ENOSPC));
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

bool DownloadFile::commit() {
    temp_.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                         QFile::ReadOther);
    // A download cache needs no flush to the disk: an interrupted search is simply run again.
    // rename() replaces the target in one step, so readers see the old copy or the new one.
    const QByteArray from = QFile::encodeName(temp_.fileName());
    const QByteArray to = QFile::encodeName(target_);
    if (std::rename(from.constData(), to.constData()) != 0) {
        error_ = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    temp_.setAutoRemove(false);
    temp_.close();
    committed_ = true;
    return true;
}

void DownloadFile::discard() {
    if (!committed_ && temp_.isOpen())
        temp_.remove();
}

} // namespace qv::transfer
