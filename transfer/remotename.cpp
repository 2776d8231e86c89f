#include "transfer/remotename.h"

#include <QFile>
#include <QHash>
#include <QSet>

namespace qv {

namespace {

// The longest file name the local file systems take, in bytes (NAME_MAX).
constexpr qsizetype kLongestLocalName = 255;

} // namespace

QString unstorableReason(const QString& name) {
    if (name.isEmpty())
        return QStringLiteral("an empty name");
    if (name.contains(QLatin1String("..")))
        return QStringLiteral("a name holding \"..\"");
    if (QFile::encodeName(name).size() > kLongestLocalName)
        return QStringLiteral("a name longer than the 255 bytes a local file name may have");
    for (const QChar c : name) {
        const ushort u = c.unicode();
        if (u < 0x20 || u == 0x7f || (u >= 0x80 && u < 0xa0) || c.category() == QChar::Other_Format)
            return QStringLiteral("a name holding a control character");
        if (QStringView(u"/\\").contains(c))
            return QStringLiteral("a name holding a path separator");
        if (QStringView(u":<>\"|?*").contains(c))
            return QStringLiteral("a name holding a character file systems refuse (%1)").arg(c);
    }
    if (name.indexOf(QLatin1String(".LET")) < 1)
        return QStringLiteral("no merge file name before \".LET\"");
    return {};
}

bool isStorableFileName(const QString& name) {
    const QString reason = unstorableReason(name);
    return reason.isEmpty() || reason.startsWith(QLatin1String("no merge file name"));
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
