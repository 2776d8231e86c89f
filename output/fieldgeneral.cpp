// General formats (the \* switch): letter case, and number formats on a numeric value.
#include "output/fieldformat.h"
#include "output/numberdigits.h"
#include "output/numbersymbols.h"
#include "output/numberwords.h"

namespace qv::fields {

namespace {

bool isWordStart(const QString& text, qsizetype i) {
    if (i == 0)
        return true;
    const QChar before = text[i - 1];
    return !before.isLetterOrNumber() && before != u'\'' && before != u'\u2019' && !before.isMark();
}

// Caps: the first letter of each word upper case, the other letters lower case.
QString capitalizeWords(const QString& text) {
    QString out = text;
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (out[i].isLetter())
            out[i] = isWordStart(text, i) ? out[i].toUpper() : out[i].toLower();
    }
    return out;
}

// FirstCap: the first letter of the first word upper case; the rest stays as it is.
QString capitalizeFirst(const QString& text) {
    QString out = text;
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (out[i].isLetterOrNumber()) {
            out[i] = out[i].toUpper();
            break;
        }
    }
    return out;
}

enum class NumberFormat {
    Arabic,
    ArabicDash,
    Roman,
    Alphabetic,
    Ordinal,
    CardText,
    OrdText,
    DollarText,
    Hex
};

std::optional<NumberFormat> numberFormat(QStringView name) {
    static const struct {
        const char* name;
        NumberFormat format;
    } formats[] = {{"Arabic", NumberFormat::Arabic},   {"ArabicDash", NumberFormat::ArabicDash},
                   {"Roman", NumberFormat::Roman},     {"ALPHABETIC", NumberFormat::Alphabetic},
                   {"Ordinal", NumberFormat::Ordinal}, {"CardText", NumberFormat::CardText},
                   {"OrdText", NumberFormat::OrdText}, {"DollarText", NumberFormat::DollarText},
                   {"Hex", NumberFormat::Hex}};
    for (const auto& f : formats) {
        if (name.compare(QLatin1StringView(f.name), Qt::CaseInsensitive) == 0)
            return f.format;
    }
    return std::nullopt;
}

// DollarText: "one hundred twenty-three and 45/100".
QString dollarText(double value) {
    const RoundedNumber r = roundNumber(value, 2);
    const double whole = r.integerValue();
    if (r.negative || whole > MaxWordsNumber)
        return unrepresentableNumberText();
    return cardinalWords(qint64(whole)) + QLatin1StringView(" and ") +
           QLatin1StringView(r.fractionDigits, 2) + QLatin1StringView("/100");
}

// A number under a number format; the case of the name's first letter sets the case of Roman
// and alphabetic numerals.
QString formatWhole(double value, NumberFormat format, bool upper) {
    if (format == NumberFormat::DollarText)
        return dollarText(value);
    const RoundedNumber r = roundNumber(value, 0);
    const double magnitude = r.integerValue();
    if (format == NumberFormat::Arabic || format == NumberFormat::ArabicDash) {
        QString digits = r.integerLength == 0
                             ? QStringLiteral("0")
                             : QString::fromLatin1(r.integerDigits, r.integerLength);
        if (r.negative)
            digits.prepend(u'-');
        return format == NumberFormat::Arabic
                   ? digits
                   : QLatin1StringView("- ") + digits + QLatin1StringView(" -");
    }
    const bool letters = format == NumberFormat::Roman || format == NumberFormat::Alphabetic;
    const bool words = format == NumberFormat::CardText || format == NumberFormat::OrdText;
    const double limit = letters ? MaxLetterNumber : (words ? MaxWordsNumber : 9.0e15);
    if (r.negative || magnitude > limit || (letters && magnitude < 1))
        return unrepresentableNumberText();
    const qint64 n = qint64(magnitude);
    switch (format) {
    case NumberFormat::Roman:
        return romanNumeral(n, upper);
    case NumberFormat::Alphabetic:
        return alphabeticNumeral(n, upper);
    case NumberFormat::Ordinal:
        return ordinalNumeral(n);
    case NumberFormat::CardText:
        return cardinalWords(n);
    case NumberFormat::OrdText:
        return ordinalWords(n);
    case NumberFormat::Hex:
        return QString::number(n, 16).toUpper();
    default:
        return QString();
    }
}

} // namespace

QString unrepresentableNumberText() {
    return QStringLiteral("Error! Number cannot be represented in specified format.");
}

QString applyGeneralFormat(const QString& value, const QString& format, const QLocale& locale,
                           bool* known) {
    if (known)
        *known = true;
    const QStringView name = QStringView(format).trimmed();
    auto is = [name](const char* n) {
        return name.compare(QLatin1StringView(n), Qt::CaseInsensitive) == 0;
    };
    if (is("Upper"))
        return value.toUpper();
    if (is("Lower"))
        return value.toLower();
    if (is("FirstCap"))
        return capitalizeFirst(value);
    if (is("Caps"))
        return capitalizeWords(value);
    if (is("MERGEFORMAT") || is("CHARFORMAT"))
        return value;
    if (const std::optional<NumberFormat> f = numberFormat(name)) {
        const std::optional<double> n = parseNumber(value, locale);
        return n ? formatWhole(*n, *f, name.front().isUpper()) : value;
    }
    if (known)
        *known = false;
    return value;
}

} // namespace qv::fields
