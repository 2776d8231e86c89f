#include "platform/programfolder.h"

#include "platform/services.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace qv {
namespace {

// Files shipped beside the executable that the program reads from its program folder.
const QStringList kShippedFiles = {QStringLiteral("Download.avi"),
                                   QStringLiteral("AccessDatabase.avi")};

struct DefaultFolder {
    QString path;
    bool fallback = false;
};

const DefaultFolder& defaultFolder() {
    static const DefaultFolder folder = [] {
        DefaultFolder f;
        QString fallback = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        fallback = QDir(fallback.isEmpty() ? QDir::homePath() : fallback)
                       .filePath(QStringLiteral("Quorvane"));
        const QString executableFolder = QCoreApplication::applicationDirPath();
        f.fallback = !folderIsWritable(executableFolder);
        f.path = resolveProgramFolder(executableFolder, !f.fallback, fallback, kShippedFiles);
        return f;
    }();
    return folder;
}

} // namespace

bool folderIsWritable(const QString& folder) {
    if (!QDir(folder).exists())
        return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".quorvane-XXXXXX")));
    return probe.open();
}

QString resolveProgramFolder(const QString& executableFolder, bool executableFolderWritable,
                             const QString& fallbackFolder, const QStringList& shippedFiles) {
    if (executableFolderWritable)
        return executableFolder;
    QDir().mkpath(fallbackFolder);
    for (const QString& name : shippedFiles) {
        const QString target = QDir(fallbackFolder).filePath(name);
        if (!QFile::exists(target))
            QFile::copy(QDir(executableFolder).filePath(name), target);
    }
    return fallbackFolder;
}

QString programFolder() {
    const QString& folder = services().programFolder;
    return folder.isEmpty() ? defaultFolder().path : folder;
}

bool programFolderIsFallback() {
    return services().programFolder.isEmpty() && defaultFolder().fallback;
}

QString programPath(const QString& relative) {
    return QDir::toNativeSeparators(QDir(programFolder()).filePath(relative));
}

QString programPath(const QString& first, const QString& second) {
    return programPath(first + QLatin1Char('/') + second);
}

} // namespace qv
