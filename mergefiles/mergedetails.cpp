#include "mergefiles/mergedetails.h"

#include "mergefiles/mergefile.h"
#include "platform/dates.h"

#include <QFileInfo>

qint64 mergeFileLength(const QString& name) {
    const QFileInfo info(mergeFilePath(name));
    return info.isFile() ? info.size() : 0;
}

QString mergeSummaryText(const QString& name, const QString& recordCount, const QLocale& locale,
                         const QString& storedName) {
    const QString crlf = QStringLiteral("\r\n");
    const QString path = storedName.isEmpty() ? mergeFilePath(name) : mergeCopyPath(storedName);
    const QFileInfo file(path);
    const qint64 length = file.isFile() ? file.size() : 0;
    const QString modified =
        file.isFile() ? qv::generalDate(file.lastModified(), locale) : QString();
    QString text = QStringLiteral("Size: ") + formatMergeSize(length, locale) + crlf +
                   QStringLiteral("Path: ") + path + crlf;
    if (hasMergeTemplate(name)) {
        text += QStringLiteral("Template: ") + mergeTemplatePath(name) + crlf +
                QStringLiteral("Date modified: ") + modified + crlf;
    } else {
        text += QStringLiteral("Date Modified: ") + modified + crlf;
    }
    text += QStringLiteral("No of records: ") + recordCount + crlf;
    return text;
}
