#pragma once

#include <QString>

// A number's decimal digits, rounded as the word processor rounds a field's number: on the decimal
// value as written (15 significant digits, as the word processor keeps them), half away from zero.
namespace qv::fields {

struct RoundedNumber {
    static constexpr int MaxPlaces = 40;
    static constexpr int MaxIntegerDigits = 320;
    bool negative = false; // below zero after rounding (a value rounded to zero has no sign)
    int integerLength = 0; // digits before the point, no leading zeros (none for zero)
    int places = 0;        // digits after the point
    char integerDigits[MaxIntegerDigits];
    char fractionDigits[MaxPlaces];

    bool isZero() const;
    // The integer part as a number; saturates far beyond what any caller uses.
    double integerValue() const;
};

// `value` rounded to `places` digits after the point (clamped to 0..MaxPlaces). `value` must be
// finite.
RoundedNumber roundNumber(double value, int places);

// The value as the word processor shows a number with no picture: no grouping, no trailing zeros
// after the point, no point for a whole number, a leading minus when negative.
QString plainNumberText(double value, QStringView decimalPoint);

} // namespace qv::fields
