#include "app/cli/commands.h"
#include "platform/outputtarget.h"
#include "platform/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <sys/stat.h>

namespace qv::cli {

namespace {

QString canonical(const QString& path) {
    return QFileInfo(path).canonicalFilePath();
}

bool exists(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// The same file as the executable: the executable itself, a link to it, or a hard link.
bool isTheExecutable(const QString& path) {
    struct stat target {
    }, program{};
    return ::stat(QFile::encodeName(path).constData(), &target) == 0 &&
           ::stat(QFile::encodeName(QCoreApplication::applicationFilePath()).constData(),
                  &program) == 0 &&
           target.st_dev == program.st_dev && target.st_ino == program.st_ino;
}

// The folders whose whole contents are the program's own: the program folder and the folder of
// the executable (the same one unless the program keeps its files in the per-user folder).
QStringList programFolders() {
    QStringList folders{programFolder()};
    if (canonical(QCoreApplication::applicationDirPath()) != canonical(programFolder()))
        folders << QCoreApplication::applicationDirPath();
    return folders;
}

// The path with every link of its folder resolved; the file name itself stays, since a file
// there is replaced, not written through.
QString resolvedLocation(const QString& path) {
    const QFileInfo info(path);
    const QString folder = canonical(info.absolutePath());
    return folder.isEmpty() ? info.absoluteFilePath() : folder + QLatin1Char('/') + info.fileName();
}

// Whether path is the program's own, which an export never replaces. Within the program's
// folders nothing that is already there is replaced (what the program ships with it, the
// settings, the pinned certificates, the executable, the clips, and every file it made), bar the
// page the html export writes there ("output.html"); its own folders "data" and "Word" take no
// new file either, nor do the names of the settings and the pinned certificates. `page`: the
// html export asks.
bool isProgramFile(const QString& path, bool page) {
    const QString folder = programFolder();
    for (const QString& own : {QStringLiteral("data"), QStringLiteral("Word")})
        if (liesWithin(path, QDir(folder).filePath(own)))
            return true;
    const QString location = resolvedLocation(path);
    for (const QString& name :
         {QStringLiteral("auto.ini"), QStringLiteral("pinned-certificates.txt")})
        if (location == QDir(canonical(folder)).filePath(name))
            return true;
    if (isTheExecutable(path))
        return true;
    if (!exists(path))
        return false;
    if (page && !QFileInfo(path).isSymLink() &&
        location == QDir(canonical(folder)).filePath(QStringLiteral("output.html")))
        return false;
    for (const QString& own : programFolders())
        if (liesWithin(path, own))
            return true;
    return false;
}

QString ownFileMessage(const QString& path) {
    return QStringLiteral("\"%1\" is a file of Quorvane's own; an export does not replace "
                          "it. Choose another --output.")
        .arg(QDir::toNativeSeparators(path));
}

} // namespace

std::optional<OutputDestination> exportOutputPath(const QString& given, const QString& usualName,
                                                  QString* error) {
    if (given.isEmpty())
        return OutputDestination{};
    // Relative to the caller's working directory, which nothing in the program changes.
    const QString absolute = QFileInfo(given).absoluteFilePath();
    OutputDestination destination;
    if (isFolder(absolute)) {
        // A folder: the file goes there under its usual name.
        if (usualName.isEmpty())
            destination.folder = absolute;
        else
            destination.file = QDir(absolute).filePath(usualName);
    } else {
        destination.file = absolute;
    }
    const QString checked = destination.file.isEmpty() ? destination.folder : destination.file;
    if (destination.file.isEmpty()) {
        for (const QString& own : {QStringLiteral("data"), QStringLiteral("Word")})
            if (liesWithin(checked, QDir(programFolder()).filePath(own))) {
                *error = ownFileMessage(checked);
                return std::nullopt;
            }
        return destination;
    }
    if (const QString unsafe = unsafeOutputTarget(checked); !unsafe.isEmpty()) {
        *error = unsafe + QStringLiteral(" Choose another --output.");
        return std::nullopt;
    }
    if (isProgramFile(checked, usualName == QLatin1String("output.html"))) {
        *error = ownFileMessage(checked);
        return std::nullopt;
    }
    return destination;
}

} // namespace qv::cli
