#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <optional>

// How a word processor's field switches turn a value into the text of a field's result: numeric
// pictures (\#), date and time pictures (\@) and general formats (\*). Window-free; the merge's
// field evaluator applies them to merge-file values.
namespace qv::fields {

// The value as a number, read as the word processor reads a field's value under a numeric
// picture or in a comparison ("1234.5", "-5", "1,234.50", "1.5e3"; digits grouped by the
// locale's separator); nullopt when it is not a number.
std::optional<double> parseNumber(const QString& text, const QLocale& locale);

// A number under a numeric picture ("#,##0.00", "$#,##0.00;($#,##0.00)", "00.0%", "x##",
// "'Total: '0"): digits, grouping, decimals, sign, literal text and the three sections
// positive;negative;zero, rounded as the word processor rounds.
QString formatNumber(double value, const QString& picture, const QLocale& locale);

// A date or date and time as a merge file holds one: ISO "yyyy-mm-dd" with an optional
// " hh:mm[:ss]" or "Thh:mm[:ss]", "d/M/yyyy" or "M/d/yyyy" (the locale's order), "d MMMM yyyy"
// and the other forms the word processor reads; nullopt when it is not a date.
std::optional<QDateTime> parseDate(const QString& text, const QLocale& locale);

// A date and time under a date picture ("dddd, d MMMM yyyy", "h:mm am/pm", "'Week of' d MMM"),
// month and day names in the locale's language.
QString formatDate(const QDateTime& when, const QString& picture, const QLocale& locale);

// The number as the word processor shows one without a picture: no grouping, no trailing zeros
// after the locale's decimal point, no point for a whole number, a leading minus when negative,
// 15 significant digits.
QString numberText(double value, const QLocale& locale);

// A field's text under its \# switch: formatted when it is a number, otherwise as the word
// processor prints a value that is not a number under a numeric picture.
QString applyNumericPicture(const QString& value, const QString& picture, const QLocale& locale);

// A field's text under its \@ switch: formatted when it is a date, otherwise as the word
// processor prints a value that is not a date under a date picture.
QString applyDatePicture(const QString& value, const QString& picture, const QLocale& locale);

// A field's text under one \* switch (the format's name in any case): Upper, Lower, FirstCap,
// Caps; Arabic, Roman, roman, ALPHABETIC, alphabetic, Ordinal, CardText, OrdText, DollarText,
// Hex (English words). MERGEFORMAT and CHARFORMAT leave the text as it is (they concern its
// look). *known is false for a format name the word processor does not have.
QString applyGeneralFormat(const QString& value, const QString& format, const QLocale& locale,
                           bool* known = nullptr);

// The text the word processor shows for a number a number format cannot write (a Roman numeral
// of 0, CardText of a million or of a negative number).
QString unrepresentableNumberText();

} // namespace qv::fields
