#include "transfer/searchreport.h"

#include "transfer/serversearch.h"

namespace qv {

namespace {

const QString kLineEnd = QStringLiteral("\r\n");
constexpr int kNamesInSummary = 3;

QString hexDigits(ushort value, int width) {
    return QString::number(value, 16).toUpper().rightJustified(width, QLatin1Char('0'));
}

// A server's name as it may be shown in a message or on a terminal: each control or format
// character (which could move the cursor, clear a line or reverse the text) written as "\x07" or
// "\u202E" instead.
QString shownName(const QString& name) {
    QString shown;
    shown.reserve(name.size());
    for (const QChar c : name) {
        const ushort u = c.unicode();
        if (u < 0x20 || u == 0x7f)
            shown += QStringLiteral("\\x") + hexDigits(u, 2);
        else if ((u >= 0x80 && u < 0xa0) || c.category() == QChar::Other_Format)
            shown += QStringLiteral("\\u") + hexDigits(u, 4);
        else
            shown += c;
    }
    return shown;
}

// The names of the files not stored, in the order of notStoredLines, at most count of them.
QStringList notStoredNames(const SearchResult& result, int count) {
    QStringList names;
    for (const FailedFile& failed : result.failures) {
        if (names.size() >= count)
            return names;
        names << shownName(failed.name);
    }
    for (const UnstorableName& unstorable : result.unstorable) {
        if (names.size() >= count)
            return names;
        names << shownName(unstorable.name);
    }
    return names;
}

} // namespace

QString searchSummary(const SearchResult& result) {
    const bool stopped = result.status == SearchResult::Status::WriteFailed;
    QString summary =
        QStringLiteral("%1 %2 files found")
            .arg(stopped ? QStringLiteral("Search Stopped") : QStringLiteral("Search Complete"),
                 QString::number(result.count));
    const int notStored = result.notStored();
    if (notStored == 0)
        return summary;
    summary += QStringLiteral(", %1 not stored: ").arg(notStored);
    summary += notStoredNames(result, kNamesInSummary).join(QStringLiteral(", "));
    if (notStored > kNamesInSummary)
        summary += QStringLiteral(", ...");
    return summary;
}

QStringList notStoredLines(const SearchResult& result) {
    QStringList lines;
    for (const FailedFile& failed : result.failures)
        lines << QStringLiteral("%1: %2").arg(shownName(failed.name), failed.reason);
    for (const UnstorableName& unstorable : result.unstorable)
        lines << QStringLiteral("%1: cannot be stored here: %2")
                     .arg(shownName(unstorable.name), unstorable.reason);
    if (const qsizetype unnamed = result.unstorableCount - result.unstorable.size(); unnamed > 0)
        lines << QStringLiteral("... and %1 more names that cannot be stored here").arg(unnamed);
    return lines;
}

QString notStoredHeading(int count) {
    return count == 1 ? QStringLiteral("1 listed file was not stored:")
                      : QStringLiteral("%1 listed files were not stored:").arg(count);
}

QString searchEndMessage(const SearchResult& result, int maxLines) {
    const int notStored = result.notStored();
    if (notStored == 0)
        return {};
    QStringList lines = notStoredLines(result);
    if (lines.size() > maxLines) {
        const qsizetype more = lines.size() - maxLines;
        lines.resize(maxLines);
        lines << QStringLiteral("... and %1 more").arg(more);
    }
    return searchSummary(result) + kLineEnd + kLineEnd + notStoredHeading(notStored) + kLineEnd +
           lines.join(kLineEnd);
}

} // namespace qv
