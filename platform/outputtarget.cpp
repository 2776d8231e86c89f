#include "platform/outputtarget.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace qv {

namespace {

// What a file of this type is called in a message; "" for a regular file or a folder.
QString kindOf(mode_t mode) {
    if (S_ISCHR(mode))
        return QStringLiteral("a character device");
    if (S_ISBLK(mode))
        return QStringLiteral("a block device");
    if (S_ISFIFO(mode))
        return QStringLiteral("a FIFO (named pipe)");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    if (S_ISREG(mode) || S_ISDIR(mode) || S_ISLNK(mode))
        return {};
    return QStringLiteral("not a regular file");
}

// The path with its folder's links resolved; the name itself stays.
QString resolvedFolderOf(const QString& path) {
    const QFileInfo info(path);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? info.absoluteFilePath() : folder + QLatin1Char('/') + info.fileName();
}

bool startsWithin(const QString& path, const QString& folder) {
    return !folder.isEmpty() &&
           (path == folder ||
            path.startsWith(folder.endsWith(QLatin1Char('/')) ? folder
                                                              : folder + QLatin1Char('/')));
}

} // namespace

QString unsafeOutputTarget(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat here {};
    if (::lstat(name.constData(), &here) != 0)
        return {}; // nothing there: a new file
    QString kind = kindOf(here.st_mode);
    if (kind.isEmpty() && S_ISLNK(here.st_mode)) {
        struct stat target {};
        if (::stat(name.constData(), &target) == 0) {
            kind = kindOf(target.st_mode);
            if (!kind.isEmpty())
                kind = QStringLiteral("a link to %1").arg(kind);
        }
    }
    if (kind.isEmpty())
        return {};
    return QStringLiteral("\"%1\" is %2, not a file; only a regular file is replaced by a new "
                          "one.")
        .arg(QDir::toNativeSeparators(path), kind);
}

bool isFolder(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool liesWithin(const QString& path, const QString& folder) {
    const QString root = QFileInfo(folder).canonicalFilePath();
    if (root.isEmpty())
        return false;
    if (startsWithin(resolvedFolderOf(QFileInfo(path).absoluteFilePath()), root))
        return true;
    const QString resolved = QFileInfo(path).canonicalFilePath(); // through a link
    return startsWithin(resolved, root);
}

} // namespace qv
