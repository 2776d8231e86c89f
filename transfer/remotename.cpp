#include "transfer/remotename.h"

#include <QFile>
#include <QHash>
#include <QSet>

namespace qv {

QString unstorableReason(const QString& name) {
    if (QString problem = fileNameProblem(name); !problem.isEmpty())
        return problem;
    if (name.indexOf(QLatin1String(".LET")) < 1)
        return QStringLiteral("no merge file name before \".LET\"");
    return {};
}

bool isSafeMergeFileName(const QString& name) {
    return unstorableReason(name).isEmpty();
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

QStringList downloadableNames(const QStringList& listed, QList<UnstorableName>* unstorable) {
    QStringList names;
    QSet<QString> seen;
    for (const QString& line : listed) {
        if (line.isEmpty() || seen.contains(line))
            continue;
        seen.insert(line);
        if (const QString reason = unstorableReason(line); !reason.isEmpty()) {
            if (unstorable)
                unstorable->append({line, reason});
            continue;
        }
        names << line;
    }
    return names;
}

} // namespace qv
