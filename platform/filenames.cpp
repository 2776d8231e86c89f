#include "platform/filenames.h"

#include <QFile>
#include <QRegularExpression>

namespace qv {

namespace {

// The longest file name the local file systems take, in bytes (NAME_MAX).
constexpr qsizetype kLongestLocalName = 255;
// The longest name in characters.
constexpr qsizetype kLongestName = 200;

bool refused(QChar c) {
    const ushort u = c.unicode();
    return u < 0x20 || u == 0x7f || (u >= 0x80 && u < 0xa0) ||
           c.category() == QChar::Other_Format || QStringView(u"/\\:<>\"|?*").contains(c);
}

} // namespace

bool isStorableFileName(const QString& name) {
    if (name.isEmpty() || name.size() > kLongestName || name.contains(QLatin1String("..")))
        return false;
    if (QFile::encodeName(name).size() > kLongestLocalName)
        return false;
    for (const QChar c : name)
        if (refused(c))
            return false;
    return true;
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
    while (!name.isEmpty() && (name.size() + reserve > kLongestName ||
                               QFile::encodeName(name).size() + reserve > kLongestLocalName)) {
        name.chop(name.size() > 1 && name.back().isLowSurrogate() ? 2 : 1);
        trim();
    }
    return isStorableFileName(name) ? name : QString();
}

} // namespace qv
