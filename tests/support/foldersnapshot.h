#pragma once

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QString>

// Everything below a folder, to show it was left exactly as it was: each file and folder by its
// relative path, with its bytes and its time of last change.
namespace qv::test {

inline QMap<QString, QString> folderSnapshot(const QString& folder) {
    QMap<QString, QString> snapshot;
    QDirIterator it(folder,
                    QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info = it.nextFileInfo();
        QString entry = info.lastModified().toString(Qt::ISODateWithMs);
        if (QFile file(info.filePath()); info.isFile() && file.open(QIODevice::ReadOnly))
            entry += QLatin1Char(' ') + QString::fromLatin1(file.readAll().toHex());
        snapshot.insert(QDir(folder).relativeFilePath(info.filePath()), entry);
    }
    return snapshot;
}

} // namespace qv::test
