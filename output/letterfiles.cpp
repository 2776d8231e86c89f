#include "output/letterfiles.h"

#include "platform/filenames.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace qv::output {

namespace {

// Room kept for a numbering suffix such as " (12345)".
constexpr qsizetype kSuffixRoom = 8;

struct Piece {
    QString text;
    bool field = false;
};

// The pattern as text and fields; false with the reason when a brace is unclosed or empty.
bool splitPattern(const QString& pattern, QList<Piece>* pieces, QString* problem) {
    qsizetype at = 0;
    while (at < pattern.size()) {
        const qsizetype open = pattern.indexOf(QLatin1Char('{'), at);
        const qsizetype stray = pattern.indexOf(QLatin1Char('}'), at);
        if (stray >= 0 && (open < 0 || stray < open)) {
            *problem = QStringLiteral("The name pattern \"%1\" has a \"}\" without its \"{\".")
                           .arg(pattern);
            return false;
        }
        if (open < 0) {
            pieces->append({pattern.mid(at), false});
            break;
        }
        pieces->append({pattern.mid(at, open - at), false});
        const qsizetype close = pattern.indexOf(QLatin1Char('}'), open);
        if (close < 0) {
            *problem = QStringLiteral("The name pattern \"%1\" has a \"{\" without its \"}\".")
                           .arg(pattern);
            return false;
        }
        const QString field = pattern.mid(open + 1, close - open - 1).trimmed();
        if (field.isEmpty()) {
            *problem = QStringLiteral("The name pattern \"%1\" has braces without a merge field.")
                           .arg(pattern);
            return false;
        }
        pieces->append({field, true});
        at = close + 1;
    }
    return true;
}

} // namespace

QStringList patternFields(const QString& pattern) {
    QList<Piece> pieces;
    QString ignored;
    splitPattern(pattern, &pieces, &ignored);
    QStringList fields;
    for (const Piece& p : pieces)
        if (p.field)
            fields << p.text;
    return fields;
}

QString namePatternProblem(const QString& pattern, const MergeData& data) {
    QList<Piece> pieces;
    QString problem;
    if (!splitPattern(pattern, &pieces, &problem))
        return problem;
    for (const Piece& p : pieces)
        if (p.field && data.fieldIndex(p.text) < 0)
            return QStringLiteral("The merge file has no field \"%1\" for the file names; its "
                                  "fields are: %2.")
                .arg(p.text, data.names.join(QStringLiteral(", ")));
    return {};
}

QString letterStem(const QString& pattern, const MergeData& data, qsizetype record,
                   const QString& extension) {
    QList<Piece> pieces;
    QString ignored;
    QString name;
    if (splitPattern(pattern, &pieces, &ignored))
        for (const Piece& p : pieces)
            name += p.field ? data.value(record, data.fieldIndex(p.text)) : p.text;
    const QString stem = storableFileName(name, extension.size() + 1 + kSuffixRoom);
    return stem.isEmpty() ? QString::number(record + 1) : stem;
}

QStringList uniqueFileNames(const QStringList& stems, const QString& extension,
                            const QStringList& taken) {
    QSet<QString> used;
    for (const QString& t : taken)
        used.insert(t.toCaseFolded());
    QStringList names;
    names.reserve(stems.size());
    const QString dotted = QLatin1Char('.') + extension;
    for (const QString& stem : stems) {
        QString name = stem + dotted;
        for (int n = 2; used.contains(name.toCaseFolded()); ++n)
            name = QStringLiteral("%1 (%2)").arg(stem).arg(n) + dotted;
        used.insert(name.toCaseFolded());
        names << name;
    }
    return names;
}

QStringList existingFiles(const QString& folder, const QStringList& names) {
    QStringList existing;
    const QDir dir(folder);
    for (const QString& name : names)
        if (QFileInfo::exists(dir.filePath(name)))
            existing << name;
    return existing;
}

} // namespace qv::output
