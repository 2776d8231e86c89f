#include "mergefiles/mergedetails.h"

#include "mergefiles/mergefile.h"
#include "platform/dates.h"

#include <QFileInfo>

qint64 MergeFileLength(const QString& name) {
    const QFileInfo info(MergeFilePath(name));
    return info.isFile() ? info.size() : 0;
}

QString MergeSummaryText(const QString& name, const QString& recordCount, const QLocale& locale,
                         const QString& storedName) {
    const QString crlf = QStringLiteral("\r\n");
    const QString path = storedName.isEmpty() ? MergeFilePath(name) : MergeCopyPath(storedName);
    const QFileInfo file(path);
    const qint64 length = file.isFile() ? file.size() : 0;
    const QString modified =
        file.isFile() ? qv::generalDate(file.lastModified(), locale) : QString();
    QString text = QStringLiteral("Size: ") + FormatMergeSize(length, locale) + crlf +
                   QStringLiteral("Path: ") + path + crlf;
    if (HasMergeTemplate(name)) {
        text += QStringLiteral("Template: ") + MergeTemplatePath(name) + crlf +
                QStringLiteral("Date modified: ") + modified + crlf;
    } else {
        text += QStringLiteral("Date Modified: ") + modified + crlf;
    }
    text += QStringLiteral("No of records: ") + recordCount + crlf;
    return text;
}
