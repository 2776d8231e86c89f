// Numeric pictures (the \# switch): digit places 0, # and x, the point, grouping, the signs - and
// +, literal text, and the sections positive;negative;zero.
#include "output/fieldformat.h"
#include "output/numberdigits.h"
#include "output/numbersymbols.h"

#include <cmath>

namespace qv::fields {

namespace {

bool isQuote(QChar c) {
    return c == u'\'' || c == u'"';
}

bool isPlace(QChar c) {
    return c == u'0' || c == u'#' || c == u'x';
}

// Splits a picture at its first two unquoted semicolons; returns the number of sections.
int splitSections(QStringView picture, QStringView (&sections)[3]) {
    int count = 0;
    qsizetype start = 0;
    QChar quote;
    for (qsizetype i = 0; i < picture.size(); ++i) {
        const QChar c = picture[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (isQuote(c)) {
            quote = c;
        } else if (c == u';' && count < 2) {
            sections[count++] = picture.mid(start, i - start);
            start = i + 1;
        }
    }
    sections[count++] = picture.mid(start);
    return count;
}

// What one section asks for, read in one pass before writing it.
struct Layout {
    int integerPlaces = 0; // digit places before the point
    int firstKept = 0;     // the integer place an x sits on; the places left of it are dropped
    bool hasX = false;
    int places = 0; // digits after the point, up to and including an x there
    bool hasPoint = false;
    bool grouping = false; // a comma before the point groups the whole integer part
    bool hasSign = false;  // a - or + place shows the sign instead of a leading minus
};

Layout scanLayout(QStringView section) {
    Layout l;
    QChar quote;
    bool fractionClosed = false;
    for (const QChar c : section) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (isQuote(c)) {
            quote = c;
        } else if (isPlace(c)) {
            if (!l.hasPoint) {
                if (c == u'x') {
                    l.firstKept = l.integerPlaces;
                    l.hasX = true;
                }
                ++l.integerPlaces;
            } else if (!fractionClosed) {
                ++l.places;
                fractionClosed = c == u'x';
            }
        } else if (c == u'.') {
            l.hasPoint = true;
        } else if (c == u',' && !l.hasPoint) {
            l.grouping = true;
        } else if (c == u'+' || c == u'-') {
            l.hasSign = true;
        }
    }
    return l;
}

// Writes one section with a rounded number.
class SectionWriter {
public:
    SectionWriter(const Layout& layout, const RoundedNumber& number, const NumberSymbols& symbols,
                  QString& output)
        : l(layout), n(number), sym(symbols), out(output), digits(number.integerDigits),
          length(number.integerLength) {
        if (l.hasX && length > l.integerPlaces - l.firstKept) { // x drops the digits left of it
            const int kept = l.integerPlaces - l.firstKept;
            digits += length - kept;
            length = kept;
        }
        lastSignificant = n.places - 1;
        while (lastSignificant >= 0 && n.fractionDigits[lastSignificant] == u'0')
            --lastSignificant;
    }

    void write(QStringView section) {
        QChar quote;
        for (const QChar c : section) {
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
                else
                    out += c;
            } else if (isQuote(c)) {
                quote = c;
            } else {
                item(c);
            }
        }
    }

private:
    void item(QChar c) {
        if (isPlace(c)) {
            if (afterPoint)
                fractionPlace(c);
            else
                integerPlace(c);
        } else if (c == u'.' && !afterPoint) {
            if (l.integerPlaces == 0) // no integer places: the integer part still shows
                overflow(0);
            out += sym.decimalPoint;
            afterPoint = true;
        } else if (c == u',' && !afterPoint) {
            // grouping, decided in scanLayout
        } else if (c == u'-') {
            out += n.negative ? u'-' : u' ';
        } else if (c == u'+') {
            out += n.negative ? u'-' : (n.isZero() ? u' ' : u'+');
        } else {
            out += c;
        }
    }

    void integerPlace(QChar placeholder) {
        const int index = integerIndex++;
        if (l.hasX && index < l.firstKept)
            return;
        const int position = l.integerPlaces - 1 - index; // 0 is the units place
        if (index == (l.hasX ? l.firstKept : 0))
            overflow(l.integerPlaces - (l.hasX ? l.firstKept : 0));
        if (position < length)
            digit(position, QLatin1Char(digits[length - 1 - position]));
        else
            digit(position, placeholder == u'0' ? u'0' : u' ');
    }

    // The digits the places cannot hold, all at the leftmost place.
    void overflow(int places) {
        for (int position = length - 1; position >= places; --position)
            digit(position, QLatin1Char(digits[length - 1 - position]));
    }

    void digit(int position, QChar c) {
        out += c;
        if (l.grouping && c != u' ' && position > 0 && position % 3 == 0)
            out += sym.groupSeparator;
    }

    void fractionPlace(QChar placeholder) {
        const int index = fractionIndex++;
        if (index >= n.places)
            return; // past an x: rounded away
        if (placeholder == u'#' && index > lastSignificant)
            out += u' ';
        else
            out += QLatin1Char(n.fractionDigits[index]);
    }

    const Layout& l;
    const RoundedNumber& n;
    const NumberSymbols& sym;
    QString& out;
    const char* digits;
    int length;
    int lastSignificant = -1;
    int integerIndex = 0;
    int fractionIndex = 0;
    bool afterPoint = false;
};

} // namespace

QString formatNumber(double value, const QString& picture, const QLocale& locale) {
    const NumberSymbols& symbols = numberSymbols(locale);
    if (!std::isfinite(value))
        return QString::number(value);
    if (picture.isEmpty())
        return plainNumberText(value, symbols.decimalPoint);
    QStringView sections[3];
    const int count = splitSections(picture, sections);
    QStringView section = sections[0];
    bool leadingMinus = true;
    if (value < 0 && count >= 2) { // the negative section shows the value without its sign
        section = sections[1];
        leadingMinus = false;
    }
    Layout layout = scanLayout(section);
    RoundedNumber number = roundNumber(value, layout.places);
    if (number.isZero() && count == 3) {
        section = sections[2];
        layout = scanLayout(section);
        number = roundNumber(0, layout.places);
    }
    QString out;
    out.reserve(section.size() + number.integerLength * 2 + 2);
    if (number.negative && leadingMinus && !layout.hasSign)
        out += u'-';
    SectionWriter(layout, number, symbols, out).write(section);
    return out;
}

} // namespace qv::fields
