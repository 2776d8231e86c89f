#include "output/outputtext.h"

namespace qv::output {

QString replaceNul(const QString& text) {
    if (!text.contains(QChar(0)))
        return text;
    QString out = text;
    out.replace(QChar(0), QChar(kNulReplacement));
    return out;
}

bool xmlCanCarry(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

QString xmlText(const QString& text) {
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
        } else if (c.unicode() == 0) {
            out += QChar(kNulReplacement);
        } else if (!c.isSurrogate() && xmlCanCarry(c.unicode())) {
            out += c;
        }
    }
    return out;
}

} // namespace qv::output
