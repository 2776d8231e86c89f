#include "app/cli/commands.h"
#include "platform/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace qv::cli {

namespace {

// The path with every link of its folder resolved; the file name itself stays, since a file
// there is replaced, not written through.
QString resolvedLocation(const QString& path) {
    const QFileInfo info(path);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? info.absoluteFilePath() : folder + QLatin1Char('/') + info.fileName();
}

// The program's own files, which an export never replaces: the settings, the pinned
// certificates, the executable, the merge copies and the templates.
bool isProgramFile(const QString& location) {
    const QString folder = QFileInfo(programFolder()).canonicalFilePath();
    const QStringList files = {
        QDir(folder).filePath(QStringLiteral("auto.ini")),
        QDir(folder).filePath(QStringLiteral("pinned-certificates.txt")),
        QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath(),
    };
    if (files.contains(location))
        return true;
    for (const QString& own : {QStringLiteral("data"), QStringLiteral("Word")})
        if (location.startsWith(QDir(folder).filePath(own) + QLatin1Char('/')))
            return true;
    return false;
}

} // namespace

std::optional<QString> exportOutputPath(const QString& given, QString* error) {
    if (given.isEmpty())
        return QString();
    // Relative to the caller's working directory, which nothing in the program changes.
    const QString absolute = QFileInfo(given).absoluteFilePath();
    if (isProgramFile(resolvedLocation(absolute))) {
        *error = QStringLiteral("\"%1\" is a file of Quorvane's own; an export does not replace "
                                "it. Choose another --output.")
                     .arg(QDir::toNativeSeparators(absolute));
        return std::nullopt;
    }
    return absolute;
}

} // namespace qv::cli
