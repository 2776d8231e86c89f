#include "platform/programfolder.h"

#include <QCoreApplication>
#include <QDir>

namespace qv {
namespace {
QString& injectedFolder() {
    static QString folder;
    return folder;
}
} // namespace

QString programFolder() {
    if (!injectedFolder().isEmpty())
        return injectedFolder();
    return QCoreApplication::applicationDirPath();
}

void setProgramFolder(const QString& folder) {
    injectedFolder() = folder;
}

QString programPath(const QString& relative) {
    return QDir::toNativeSeparators(QDir(programFolder()).filePath(relative));
}

QString programPath(const QString& first, const QString& second) {
    return programPath(first + QLatin1Char('/') + second);
}

} // namespace qv
