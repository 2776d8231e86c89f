#include "output/numberdigits.h"

#include <charconv>
#include <cmath>

namespace qv::fields {

namespace {

// The 15 significant digits of |value| and the position of the point: the magnitude is
// 0.d1d2d3... x 10^point.
struct Significant {
    char digits[16];
    int count = 0;
    int point = 0;
};

Significant significantDigits(double magnitude) {
    Significant s;
    if (magnitude == 0)
        return s;
    char buf[40];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
    const char* p = buf;
    for (; p < res.ptr && *p != 'e'; ++p) {
        if (*p != '.')
            s.digits[s.count++] = *p;
    }
    int exponent = 0;
    bool negativeExponent = false;
    for (++p; p < res.ptr; ++p) {
        if (*p == '-')
            negativeExponent = true;
        else if (*p >= '0' && *p <= '9')
            exponent = exponent * 10 + (*p - '0');
    }
    s.point = (negativeExponent ? -exponent : exponent) + 1;
    while (s.count > 0 && s.digits[s.count - 1] == '0')
        --s.count;
    return s;
}

// Keeps `keep` digits, rounding half away from zero on the digit after them.
void roundTo(Significant& s, int keep) {
    if (keep >= s.count)
        return;
    const bool up = keep >= 0 && s.digits[keep] >= '5';
    s.count = keep < 0 ? 0 : keep;
    if (!up) {
        while (s.count > 0 && s.digits[s.count - 1] == '0')
            --s.count;
        return;
    }
    int i = s.count - 1;
    while (i >= 0 && s.digits[i] == '9')
        --i;
    if (i < 0) { // 999 -> 1000: one digit, the point moves one place
        s.digits[0] = '1';
        s.count = 1;
        ++s.point;
        return;
    }
    ++s.digits[i];
    s.count = i + 1;
}

} // namespace

bool RoundedNumber::isZero() const {
    if (integerLength > 0)
        return false;
    for (int i = 0; i < places; ++i) {
        if (fractionDigits[i] != '0')
            return false;
    }
    return true;
}

double RoundedNumber::integerValue() const {
    double v = 0;
    for (int i = 0; i < integerLength; ++i)
        v = v * 10 + (integerDigits[i] - '0');
    return v;
}

RoundedNumber roundNumber(double value, int places) {
    RoundedNumber r;
    r.places =
        places < 0 ? 0 : (places > RoundedNumber::MaxPlaces ? RoundedNumber::MaxPlaces : places);
    Significant s = significantDigits(std::fabs(value));
    roundTo(s, s.point + r.places);
    const int integerLength = s.count == 0 ? 0 : s.point;
    r.integerLength = integerLength > 0 ? (integerLength > RoundedNumber::MaxIntegerDigits
                                               ? RoundedNumber::MaxIntegerDigits
                                               : integerLength)
                                        : 0;
    for (int i = 0; i < r.integerLength; ++i)
        r.integerDigits[i] = i < s.count ? s.digits[i] : '0';
    for (int k = 0; k < r.places; ++k) {
        const int i = s.point + k;
        r.fractionDigits[k] = (i >= 0 && i < s.count) ? s.digits[i] : '0';
    }
    r.negative = value < 0 && !r.isZero();
    return r;
}

QString plainNumberText(double value, QStringView decimalPoint) {
    const RoundedNumber r = roundNumber(value, RoundedNumber::MaxPlaces);
    int places = r.places;
    while (places > 0 && r.fractionDigits[places - 1] == '0')
        --places;
    QString text;
    text.reserve(r.integerLength + places + 3);
    if (r.negative)
        text += QLatin1Char('-');
    if (r.integerLength == 0)
        text += QLatin1Char('0');
    text += QLatin1String(r.integerDigits, r.integerLength);
    if (places > 0) {
        text += decimalPoint;
        text += QLatin1String(r.fractionDigits, places);
    }
    return text;
}

} // namespace qv::fields
