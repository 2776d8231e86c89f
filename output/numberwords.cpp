#include "output/numberwords.h"

namespace qv::fields {

namespace {

const char* const units[20] = {"zero",    "one",     "two",       "three",    "four",
                               "five",    "six",     "seven",     "eight",    "nine",
                               "ten",     "eleven",  "twelve",    "thirteen", "fourteen",
                               "fifteen", "sixteen", "seventeen", "eighteen", "nineteen"};
const char* const tens[10] = {"",      "",      "twenty",  "thirty", "forty",
                              "fifty", "sixty", "seventy", "eighty", "ninety"};

void appendBelowHundred(QString& out, int n) {
    if (n < 20) {
        out += QLatin1StringView(units[n]);
        return;
    }
    out += QLatin1StringView(tens[n / 10]);
    if (n % 10 != 0) {
        out += u'-';
        out += QLatin1StringView(units[n % 10]);
    }
}

void appendBelowThousand(QString& out, int n) {
    if (n >= 100) {
        out += QLatin1StringView(units[n / 100]);
        out += QLatin1StringView(" hundred");
        if (n % 100 == 0)
            return;
        out += u' ';
    }
    appendBelowHundred(out, n % 100);
}

} // namespace

QString romanNumeral(qint64 n, bool upper) {
    static const struct {
        int value;
        const char* upper;
        const char* lower;
    } steps[] = {{1000, "M", "m"}, {900, "CM", "cm"}, {500, "D", "d"}, {400, "CD", "cd"},
                 {100, "C", "c"},  {90, "XC", "xc"},  {50, "L", "l"},  {40, "XL", "xl"},
                 {10, "X", "x"},   {9, "IX", "ix"},   {5, "V", "v"},   {4, "IV", "iv"},
                 {1, "I", "i"}};
    QString out;
    out.reserve(int(n / 1000) + 12);
    for (const auto& step : steps) {
        for (; n >= step.value; n -= step.value)
            out += QLatin1StringView(upper ? step.upper : step.lower);
    }
    return out;
}

QString alphabeticNumeral(qint64 n, bool upper) {
    const QChar letter(char16_t((upper ? u'A' : u'a') + (n - 1) % 26));
    return QString(int((n - 1) / 26 + 1), letter);
}

QString ordinalNumeral(qint64 n) {
    const qint64 lastTwo = n % 100;
    const char* suffix = "th";
    if (lastTwo < 11 || lastTwo > 13) {
        if (n % 10 == 1)
            suffix = "st";
        else if (n % 10 == 2)
            suffix = "nd";
        else if (n % 10 == 3)
            suffix = "rd";
    }
    return QString::number(n) + QLatin1StringView(suffix);
}

QString cardinalWords(qint64 n) {
    QString out;
    out.reserve(64);
    if (n >= 1000) {
        appendBelowThousand(out, int(n / 1000));
        out += QLatin1StringView(" thousand");
        if (n % 1000 == 0)
            return out;
        out += u' ';
    }
    appendBelowThousand(out, int(n % 1000));
    return out;
}

QString ordinalWords(qint64 n) {
    QString out = cardinalWords(n);
    static const struct {
        const char* cardinal;
        const char* ordinal;
    } irregular[] = {{"one", "first"},     {"two", "second"},   {"three", "third"},
                     {"five", "fifth"},    {"eight", "eighth"}, {"nine", "ninth"},
                     {"twelve", "twelfth"}};
    for (const auto& word : irregular) {
        const QLatin1StringView cardinal(word.cardinal);
        const qsizetype at = out.size() - cardinal.size();
        if (out.endsWith(cardinal) && (at == 0 || out[at - 1] == u' ' || out[at - 1] == u'-')) {
            out.replace(at, cardinal.size(), QLatin1StringView(word.ordinal));
            return out;
        }
    }
    if (out.endsWith(u'y')) {
        out.chop(1);
        out += QLatin1StringView("ieth");
    } else {
        out += QLatin1StringView("th");
    }
    return out;
}

} // namespace qv::fields
