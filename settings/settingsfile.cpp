#include "settings/settingsfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace qv::settingsfile {

namespace {

bool fail(QString* error, const QString& reason) {
    if (error)
        *error = reason;
    return false;
}

// The system's text for an error number ("Permission denied").
bool failWith(QString* error, int code) {
    return fail(error, qt_error_string(code));
}

// A link at path may lead only to a file within the folder that holds path.
bool linkTarget(const QFileInfo& link, QString* target, QString* error) {
    const QString folder = QFileInfo(link.absolutePath()).canonicalFilePath();
    const QString resolved = link.canonicalFilePath(); // empty when the link leads nowhere
    if (folder.isEmpty() || resolved.isEmpty() || !resolved.startsWith(folder + QLatin1Char('/')))
        return fail(error, QStringLiteral("\"%1\" is a link to \"%2\", outside the folder that "
                                          "holds it; the settings are not written through it.")
                               .arg(QDir::toNativeSeparators(link.absoluteFilePath()),
                                    QDir::toNativeSeparators(link.symLinkTarget())));
    *target = resolved;
    return true;
}

} // namespace

bool ensureExists(const QString& path, QString* error) {
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink())
        return true;
    // NewOnly never follows a link and never takes over a file made meanwhile.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                   QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return fail(error, file.errorString());
    return true;
}

namespace {

QString tooLarge(const QString& path) {
    return QStringLiteral("The settings file \"%1\" is larger than %2 KB, far more than settings "
                          "take, and is not read. Remove it, or replace it with the settings.")
        .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()))
        .arg(kLargestFile / 1024);
}

} // namespace

bool readBytes(const QString& path, QByteArray* bytes, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, file.errorString());
    // One byte more than the limit tells a file that is too large, whatever its kind.
    *bytes = file.read(kLargestFile + 1);
    if (file.error() != QFileDevice::NoError)
        return fail(error, file.errorString());
    if (bytes->size() > kLargestFile) {
        bytes->clear();
        return fail(error, tooLarge(path));
    }
    return true;
}

QString sizeProblem(const QString& path) {
    if (!QFileInfo(path).isFile())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(kLargestFile + 1).size() > kLargestFile ? tooLarge(path) : QString();
}

bool writableTarget(const QString& path, QString* target, QString* error) {
    const QFileInfo info(path);
    *target = info.absoluteFilePath();
    if (info.isSymLink() && !linkTarget(info, target, error))
        return false;
    struct stat st {};
    const QByteArray name = QFile::encodeName(*target);
    if (::stat(name.constData(), &st) != 0)
        return errno == ENOENT ? true : failWith(error, errno); // a new file is made
    if (S_ISDIR(st.st_mode))
        return failWith(error, EISDIR);
    if (!S_ISREG(st.st_mode))
        return failWith(error, EINVAL);
    // A file without its owner's write permission is read-only, also for the administrator.
    if (!(st.st_mode & S_IWUSR))
        return failWith(error, EACCES);
    if (::access(name.constData(), W_OK) != 0)
        return failWith(error, errno);
    return true;
}

bool replaceOwnerOnly(const QString& target, const QByteArray& bytes, QString* error) {
    const QFileInfo info(target);
    QTemporaryFile file(info.absolutePath() + QLatin1Char('/') + info.fileName() +
                        QStringLiteral(".XXXXXX"));
    if (!file.open())
        return fail(error, file.errorString());
    if (::fchmod(file.handle(), S_IRUSR | S_IWUSR) != 0)
        return failWith(error, errno);
    if (file.write(bytes) != bytes.size() || !file.flush())
        return fail(error, file.errorString());
    if (::fsync(file.handle()) != 0)
        return failWith(error, errno);
    if (std::rename(QFile::encodeName(file.fileName()).constData(),
                    QFile::encodeName(target).constData()) != 0)
        return failWith(error, errno);
    file.setAutoRemove(false);
    return true;
}

} // namespace qv::settingsfile
