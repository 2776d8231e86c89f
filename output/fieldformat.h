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
// picture or in a comparison ("1234.5", "-5", "+3", " 7 ", "1,234.50", "1.5e3", "$5", "-$5",
// "5 €"): the locale's decimal point, its group separator between groups of three digits, a sign
// and a currency sign ($ € £ ¥ or the locale's) before or after the digits. nullopt for anything
// else: empty text, text around the number, "50%", "(5)".
std::optional<double> parseNumber(const QString& text, const QLocale& locale);

// A number under a numeric picture ("#,##0.00", "$#,##0.00;($#,##0.00)", "00.0%", "x##",
// "'Total: '0"): digits, grouping, decimals, sign, literal text and the three sections
// positive;negative;zero, rounded as the word processor rounds: half away from zero on the
// number's 15 significant decimal digits. A # place without a digit shows a space ("$###" of 15
// is "$ 15"); one section and a negative number put a minus in front of the result.
QString formatNumber(double value, const QString& picture, const QLocale& locale);

// A date or date and time as a merge file holds one: ISO "yyyy-mm-dd" with an optional
// " hh:mm[:ss]" or "Thh:mm[:ss]", "d/M/yyyy" or "M/d/yyyy" (the locale's order), "d MMMM yyyy"
// and the other forms the word processor reads ("MMMM d, yyyy", "dd-MMM-yy", a leading weekday,
// a time with am/pm, a time alone on the word processor's day zero 30 December 1899). Month
// names in the locale's language or English; two-digit years in 1930..2029. The date and time
// come back as written, marked as UTC (no time zone moves them); nullopt when it is not a
// date.
std::optional<QDateTime> parseDate(const QString& text, const QLocale& locale);

// A date and time under a date picture ("dddd, d MMMM yyyy", "h:mm am/pm", "'Week of' d MMM"),
// month and day names in the locale's language. d and y in either case; M month, m minute; h and
// H the 12- and 24-hour clock; AM/PM and am/pm the locale's texts in the picture's case.
QString formatDate(const QDateTime& when, const QString& picture, const QLocale& locale);

// The number as the word processor shows one without a picture: no grouping, no trailing zeros
// after the locale's decimal point, no point for a whole number, a leading minus when negative,
// 15 significant digits.
QString numberText(double value, const QLocale& locale);

// A field's text under its \# switch: formatted when it is a number, otherwise unchanged (the
// switch has no effect on a value that is not a number).
QString applyNumericPicture(const QString& value, const QString& picture, const QLocale& locale);

// A field's text under its \@ switch: formatted when it is a date, otherwise unchanged.
QString applyDatePicture(const QString& value, const QString& picture, const QLocale& locale);

// A field's text under one \* switch (the format's name in any case): Upper, Lower, FirstCap,
// Caps; Arabic, Roman, roman, ALPHABETIC, alphabetic, Ordinal, CardText, OrdText, DollarText,
// Hex, ArabicDash (English words). Caps lowers the other letters of each word, FirstCap leaves
// them. Number formats round to a whole number (half away from zero), leave text that is not a
// number unchanged and give unrepresentableNumberText() outside their range (negative numbers;
// above 999,999 in words; Roman and alphabetic 1..32767). MERGEFORMAT and CHARFORMAT leave the
// text as it is (they concern its look). *known is false for a format name this does not have.
QString applyGeneralFormat(const QString& value, const QString& format, const QLocale& locale,
                           bool* known = nullptr);

// The text the word processor shows for a number a number format cannot write (a Roman numeral
// of 0, CardText of a million or of a negative number).
QString unrepresentableNumberText();

} // namespace qv::fields
