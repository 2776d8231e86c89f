#include "platform/filenames.h"

#include <QFile>
#include <QRegularExpression>

namespace qv {

namespace {

// The longest file name the local file systems take, in bytes (NAME_MAX).
constexpr qsizetype kLongestLocalName = 255;
// The longest name made from a merge file's values, in characters.
constexpr qsizetype kLongestMadeName = 200;

bool isControl(QChar c) {
    const ushort u = c.unicode();
    return u < 0x20 || u == 0x7f || (u >= 0x80 && u < 0xa0) || c.category() == QChar::Other_Format;
}

bool isSeparator(QChar c) {
    return QStringView(u"/\\").contains(c);
}

bool isRefusedByFileSystems(QChar c) {
    return QStringView(u":<>\"|?*").contains(c);
}

bool refused(QChar c) {
    return isControl(c) || isSeparator(c) || isRefusedByFileSystems(c);
}

} // namespace

QString fileNameProblem(const QString& name) {
    if (name.isEmpty())
        return QStringLiteral("an empty name");
    if (name.contains(QLatin1String("..")))
        return QStringLiteral("a name holding \"..\"");
    if (QFile::encodeName(name).size() > kLongestLocalName)
        return QStringLiteral("a name longer than the 255 bytes a local file name may have");
    for (const QChar c : name) {
        if (isControl(c))
            return QStringLiteral("a name holding a control character");
        if (isSeparator(c))
            return QStringLiteral("a name holding a path separator");
        if (isRefusedByFileSystems(c))
            return QStringLiteral("a name holding a character file systems refuse (%1)").arg(c);
    }
    return {};
}

bool isStorableFileName(const QString& name) {
    return fileNameProblem(name).isEmpty();
}

QString storableFileName(const QString& wanted, qsizetype reserve) {
    QString name = wanted;
    for (QChar& c : name)
        if (refused(c))
            c = QLatin1Char('_');
    static const QRegularExpression dots(QStringLiteral("\\.{2,}"));
    name.replace(dots, QStringLiteral("."));
    auto trim = [&name] {
        while (!name.isEmpty() && (name.front().isSpace() || name.front() == QLatin1Char('.')))
            name.remove(0, 1);
        while (!name.isEmpty() && (name.back().isSpace() || name.back() == QLatin1Char('.')))
            name.chop(1);
    };
    trim();
    while (!name.isEmpty() && (name.size() + reserve > kLongestMadeName ||
                               QFile::encodeName(name).size() + reserve > kLongestLocalName)) {
        name.chop(name.size() > 1 && name.back().isLowSurrogate() ? 2 : 1);
        trim();
    }
    return isStorableFileName(name) ? name : QString();
}

} // namespace qv
