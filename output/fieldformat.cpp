// Reading a field's value as a number, and the \# and \@ switches applied to a field's text.
#include "output/fieldformat.h"
#include "output/numberdigits.h"
#include "output/numbersymbols.h"

#include <charconv>
#include <cmath>

namespace qv::fields {

namespace {

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The length of a currency sign at the start (atEnd false) or the end of the text, or 0.
qsizetype currencyLength(QStringView s, const NumberSymbols& sym, bool atEnd) {
    if (s.isEmpty())
        return 0;
    const QString& own = sym.currencySymbol;
    if (!own.isEmpty() && (atEnd ? s.endsWith(own) : s.startsWith(own)))
        return own.size();
    const QChar c = atEnd ? s.back() : s.front();
    return (c == u'$' || c == u'€' || c == u'£' || c == u'¥') ? 1 : 0;
}

// Takes a sign and a currency sign off the front (either order) and a currency sign off the end.
QStringView stripSignAndCurrency(QStringView s, const NumberSymbols& sym, bool* negative) {
    bool signSeen = false;
    bool currencySeen = false;
    for (;;) {
        if (!signSeen && !s.isEmpty() && (s.front() == u'+' || s.front() == u'-')) {
            *negative = s.front() == u'-';
            signSeen = true;
            s = s.mid(1).trimmed();
        } else if (const qsizetype n = currencySeen ? 0 : currencyLength(s, sym, false); n > 0) {
            currencySeen = true;
            s = s.mid(n).trimmed();
        } else {
            break;
        }
    }
    if (const qsizetype n = currencySeen ? 0 : currencyLength(s, sym, true); n > 0)
        s = s.chopped(n).trimmed();
    return s;
}

qsizetype groupLength(QStringView s, const NumberSymbols& sym) {
    if (!sym.groupSeparator.isEmpty() && s.startsWith(sym.groupSeparator))
        return sym.groupSeparator.size();
    return (sym.groupIsSpace && !s.isEmpty() && s.front().isSpace()) ? 1 : 0;
}

// Copies the digits of s (grouped by threes, optional point and fraction, optional exponent) as
// plain ASCII into buf; false when s is not such a number.
bool copyDigits(QStringView s, const NumberSymbols& sym, char* buf, int capacity, int& n) {
    qsizetype i = 0;
    int digits = 0;
    int sinceGroup = -1; // digits since the last group separator; -1 before the first
    auto put = [&](char c) { return n < capacity ? (buf[n++] = c, true) : false; };
    while (i < s.size()) {
        if (isDigit(s[i])) {
            if (!put(char(s[i].unicode())))
                return false;
            ++digits;
            sinceGroup += sinceGroup >= 0 ? 1 : 0;
            ++i;
        } else if (const qsizetype g =
                       digits > 0 && sinceGroup != 0 ? groupLength(s.mid(i), sym) : 0;
                   g > 0 && (sinceGroup < 0 ? digits <= 3 : sinceGroup == 3)) {
            sinceGroup = 0;
            i += g;
        } else {
            break;
        }
    }
    if (sinceGroup >= 0 && sinceGroup != 3)
        return false;
    if (s.mid(i).startsWith(sym.decimalPoint)) {
        i += sym.decimalPoint.size();
        put('.');
        for (; i < s.size() && isDigit(s[i]); ++i, ++digits) {
            if (!put(char(s[i].unicode())))
                return false;
        }
    }
    if (digits == 0)
        return false;
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        put('e');
        ++i;
        if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
            put(char(s[i++].unicode()));
        const qsizetype start = i;
        for (; i < s.size() && isDigit(s[i]); ++i) {
            if (!put(char(s[i].unicode())))
                return false;
        }
        if (i == start)
            return false;
    }
    return i == s.size();
}

} // namespace

std::optional<double> parseNumber(const QString& text, const QLocale& locale) {
    const NumberSymbols& sym = numberSymbols(locale);
    bool negative = false;
    const QStringView s = stripSignAndCurrency(QStringView(text).trimmed(), sym, &negative);
    char buf[128];
    int n = 0;
    if (!copyDigits(s, sym, buf, int(sizeof buf), n))
        return std::nullopt;
    double value = 0;
    const auto res = std::from_chars(buf, buf + n, value);
    if (res.ec != std::errc() || res.ptr != buf + n || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

QString numberText(double value, const QLocale& locale) {
    if (!std::isfinite(value))
        return QString::number(value);
    return plainNumberText(value, numberSymbols(locale).decimalPoint);
}

QString applyNumericPicture(const QString& value, const QString& picture, const QLocale& locale) {
    const std::optional<double> n = parseNumber(value, locale);
    return n ? formatNumber(*n, picture, locale) : value;
}

QString applyDatePicture(const QString& value, const QString& picture, const QLocale& locale) {
    const std::optional<QDateTime> d = parseDate(value, locale);
    return d ? formatDate(*d, picture, locale) : value;
}

} // namespace qv::fields
