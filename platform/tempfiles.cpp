#include "platform/tempfiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qv::tempfiles {

namespace {

QString pidText() {
    return QString::number(::getpid());
}

// The process that made a temporary file of the program's: its id, 0 when the name has none
// (an earlier version's), -1 when the name is none of the program's.
qint64 ownerOf(const QString& name) {
    static const QRegularExpression forms(QStringLiteral(
        "^\\.(?:.+\\.part|quorvane)-(?:(\\d+)-)?[A-Za-z0-9]{6}(?:\\.[A-Za-z0-9]+)*$"));
    const QRegularExpressionMatch match = forms.match(name);
    if (!match.hasMatch())
        return -1;
    return match.captured(1).isEmpty() ? 0 : match.captured(1).toLongLong();
}

// When the process started, in seconds since the epoch; 0 when that cannot be told.
qint64 processStart(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    QFile system(QStringLiteral("/proc/stat"));
    if (!stat.open(QIODevice::ReadOnly) || !system.open(QIODevice::ReadOnly))
        return 0;
    // The fields after the program's name in parentheses: the start is the 20th, in clock ticks
    // since the machine started.
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    const long ticksPerSecond = ::sysconf(_SC_CLK_TCK);
    if (fields.size() < 20 || ticksPerSecond <= 0)
        return 0;
    const qint64 sinceBoot = fields[19].toLongLong() / ticksPerSecond;
    for (const QByteArray& entry : system.readAll().split('\n'))
        if (entry.startsWith("btime "))
            return entry.mid(6).trimmed().toLongLong() + sinceBoot;
    return 0;
}

// Whether the process that made a file written at `written` (seconds since the epoch) may still
// be writing it. A process of that number that started after the file was written is another
// one that took the number over (after a restart of the machine, say): the file is left over.
bool isRunning(qint64 pid, qint64 written) {
    if (pid <= 0 || (::kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM))
        return false;
    const qint64 started = processStart(pid);
    constexpr qint64 kClockSlack = 2; // seconds: the start time is given in clock ticks
    return started == 0 || written + kClockSlack >= started;
}

template <typename Pick> void removeWhere(const QString& folder, const Pick& pick) {
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const qint64 owner = ownerOf(name);
        if (owner < 0)
            continue;
        const QString path = dir.filePath(name);
        if (pick(owner, QFileInfo(path).lastModified().toSecsSinceEpoch()))
            QFile::remove(path);
    }
}

bool failWith(QString* error, int code) {
    if (error)
        *error = QString::fromLocal8Bit(std::strerror(code));
    return false;
}

bool writeAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

} // namespace

QString exportTemplate(const QString& folder, const QString& suffix) {
    return QDir(folder).filePath(QStringLiteral(".quorvane-") + pidText() +
                                 QStringLiteral("-XXXXXX") + suffix);
}

QString downloadTemplate(const QString& target) {
    // The name is shortened where the whole would be longer than a file name may be, so that
    // every target that can exist can be downloaded.
    constexpr qsizetype kLongestName = 255; // NAME_MAX, in bytes
    const QFileInfo info(target);
    const QString suffix = QStringLiteral(".part-") + pidText() + QStringLiteral("-XXXXXX");
    QString name = QStringLiteral(".") + info.fileName();
    while (QFile::encodeName(name + suffix).size() > kLongestName)
        name.chop(name.size() > 1 && name.back().isLowSurrogate() ? 2 : 1);
    return info.absolutePath() + QLatin1Char('/') + name + suffix;
}

void removeStale(const QString& folder) {
    const qint64 self = ::getpid();
    removeWhere(folder, [self](qint64 owner, qint64 written) {
        return owner != self && !isRunning(owner, written);
    });
}

void removeOwn(const QString& folder) {
    const qint64 self = ::getpid();
    removeWhere(folder, [self](qint64 owner, qint64) { return owner == self; });
}

bool replaceFile(const QString& path, const QByteArray& bytes, QString* error) {
    QByteArray temp = QFile::encodeName(exportTemplate(QFileInfo(path).absolutePath()));
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return failWith(error, errno);
    const bool written = ::fchmod(fd, 0644) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    const int code = errno;
    if (::close(fd) != 0 || !written) {
        const int reason = written ? errno : code;
        ::unlink(temp.constData());
        return failWith(error, reason);
    }
    if (std::rename(temp.constData(), QFile::encodeName(path).constData()) != 0) {
        const int reason = errno;
        ::unlink(temp.constData());
        return failWith(error, reason);
    }
    return true;
}

bool syncToDisk(const QString& path, QString* error) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return failWith(error, errno);
    const bool synced = ::fsync(fd) == 0;
    const int code = errno;
    if (::close(fd) != 0)
        return failWith(error, errno);
    return synced || failWith(error, code);
}

} // namespace qv::tempfiles
