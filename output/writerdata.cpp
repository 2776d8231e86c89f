#include "output/writerdata.h"

#include "platform/programfolder.h"
#include "platform/tempfiles.h"

#include <QDir>
#include <QFileInfo>

namespace qv::output {

QString writerDataFolder() {
    return QDir(programPath(QStringLiteral("data"))).filePath(QStringLiteral("Writer"));
}

QByteArray writerDataBytes(const MergeData& data) {
    const qsizetype width = std::max<qsizetype>(data.names.size(), 1);
    QStringList lines;
    lines << QStringList(width, QString(QChar(kWriterDataMarker))).join(QLatin1Char('|'));
    for (const QStringList& record : data.records) {
        QStringList values = record.mid(0, width);
        while (values.size() < width)
            values << QString();
        lines << values.join(QLatin1Char('|'));
    }
    return (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

bool saveWriterData(const QString& name, const MergeData& data, QString* path, QString* error) {
    const QString folder = writerDataFolder();
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("The folder \"%1\" cannot be created.")
                         .arg(QDir::toNativeSeparators(folder));
        return false;
    }
    *path =
        QDir(folder).filePath(name + QLatin1Char('.') + QString::fromLatin1(kWriterDataExtension));
    tempfiles::removeStale(folder);
    QString why;
    if (!tempfiles::replaceFile(*path, writerDataBytes(data), &why)) {
        if (error)
            *error = QStringLiteral("The data of the new document cannot be written to \"%1\": %2")
                         .arg(QDir::toNativeSeparators(*path), why);
        return false;
    }
    return true;
}

bool prepareWriterSource(const QString& mergeFile, odt::MergeSource* source, QString* error,
                         bool* unwritten) {
    MergeData data;
    if (!readMergeData(mergeFile, &data, error))
        return false;
    const QString name = QFileInfo(mergeFile).completeBaseName();
    QString copy;
    if (!saveWriterData(name, data, &copy, error)) {
        if (unwritten)
            *unwritten = true;
        return false;
    }
    source->dataSource = odt::dataSourceName(name);
    source->query = name;
    source->table = name;
    source->folder = QFileInfo(copy).absolutePath();
    source->extension = QString::fromLatin1(kWriterDataExtension);
    source->fields = odt::uniqueFieldNames(data.names);
    return true;
}

} // namespace qv::output
