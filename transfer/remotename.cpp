#include "transfer/remotename.h"

#include <QHash>
#include <QSet>

namespace qv {

bool isSafeMergeFileName(const QString& name) {
    // No ".LET", or nothing before it: not a merge file.
    return isStorableFileName(name) && name.indexOf(QLatin1String(".LET")) >= 1;
}

QString mergeFileBaseName(const QString& storedName) {
    const qsizetype at = storedName.indexOf(QLatin1String(".LET"));
    return at < 0 ? storedName : storedName.left(at);
}

QStringList mergeFileDisplayNames(const QStringList& storedNames) {
    QHash<QString, int> sharing; // merge file name -> how many stored names give it
    for (const QString& stored : storedNames)
        ++sharing[mergeFileBaseName(stored)];
    QStringList shown;
    shown.reserve(storedNames.size());
    for (const QString& stored : storedNames) {
        const QString base = mergeFileBaseName(stored);
        const bool plain = stored.size() == base.size() + 4; // "X" + ".LET"
        shown << (plain || sharing.value(base) == 1 ? base : stored);
    }
    return shown;
}

QStringList downloadableNames(const QStringList& listed) {
    QStringList names;
    QSet<QString> seen;
    for (const QString& line : listed) {
        if (line.isEmpty() || !isSafeMergeFileName(line) || seen.contains(line))
            continue;
        seen.insert(line);
        names << line;
    }
    return names;
}

} // namespace qv
