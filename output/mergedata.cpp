#include "output/mergedata.h"

#include "platform/codepage.h"

#include <QFile>

namespace qv::output {

namespace {
QString normalisedName(const QString& name) {
    QString n = name.trimmed().toCaseFolded();
    n.replace(QLatin1Char(' '), QLatin1Char('_'));
    return n;
}
} // namespace

int MergeData::fieldIndex(const QString& name) const {
    const QString wanted = normalisedName(name);
    for (int i = 0; i < names.size(); ++i)
        if (normalisedName(names[i]) == wanted)
            return i;
    return -1;
}

QString MergeData::value(qsizetype record, int field) const {
    if (record < 0 || record >= records.size() || field < 0)
        return {};
    const QStringList& r = records[record];
    return field < r.size() ? r[field] : QString();
}

MergeData parseMergeData(const QByteArray& bytes) {
    MergeData data;
    const QString text = codepage::decode(bytes);
    bool header = true;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        QString line = text.mid(start, end - start);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        start = end + 1;
        if (header) {
            data.names = line.split(QLatin1Char('|'));
            header = false;
        } else if (!line.isEmpty()) {
            data.records << line.split(QLatin1Char('|'));
        }
    }
    return data;
}

bool readMergeData(const QString& path, MergeData* data, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("The merge file \"%1\" cannot be read: %2")
                         .arg(path, file.errorString());
        return false;
    }
    *data = parseMergeData(file.readAll());
    if (data->names.isEmpty() || (data->names.size() == 1 && data->names[0].isEmpty())) {
        if (error)
            *error = QStringLiteral("The merge file \"%1\" has no line of field names.").arg(path);
        return false;
    }
    return true;
}

} // namespace qv::output
