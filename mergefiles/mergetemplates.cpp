#include "mergefiles/mergetemplates.h"

#include "platform/programfolder.h"

#include <QDir>
#include <QFile>
#include <ctime>
#include <sys/stat.h>

namespace qv {

bool MergeTemplates::Stamp::operator==(const Stamp& other) const {
    return inode == other.inode && modified.tv_sec == other.modified.tv_sec &&
           modified.tv_nsec == other.modified.tv_nsec;
}

// The folder's identity and last change (to the nanosecond); nullopt when it is missing.
std::optional<MergeTemplates::Stamp> MergeTemplates::stampOf(const QString& folder) {
    struct stat info {};
    if (::stat(QFile::encodeName(folder).constData(), &info) != 0)
        return std::nullopt;
    return Stamp{info.st_ino, info.st_mtim};
}

void MergeTemplates::read(const QString& folder) {
    names_.clear();
    const QDir dir(folder);
    for (const QFileInfo& file : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (file.isFile())
            names_.insert(file.fileName().toCaseFolded());
    }
}

namespace {

constexpr qint64 kRecentNs = 100'000'000; // well above the clock's steps

qint64 nanoseconds(const timespec& t) {
    return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

} // namespace

bool MergeTemplates::has(const QString& name) {
    if (name.isEmpty())
        return false;
    const QString folder = programPath(QStringLiteral("Word"));
    const std::optional<Stamp> now = stampOf(folder);
    if (!read_ || recent_ || now != stamp_) {
        timespec readAt{};
        clock_gettime(CLOCK_REALTIME, &readAt);
        read(folder);
        stamp_ = now;
        read_ = true;
        recent_ = now && nanoseconds(readAt) - nanoseconds(now->modified) < kRecentNs;
    }
    return names_.contains((name + QStringLiteral(".dot")).toCaseFolded());
}

} // namespace qv
