#pragma once

#include <QString>

// Whole numbers as the word processor's number formats write them: Roman and alphabetic
// numerals, ordinal numerals ("21st") and English words ("twenty-first").
namespace qv::fields {

// The largest number CardText, OrdText and DollarText write in words.
inline constexpr qint64 MaxWordsNumber = 999999;
// The largest number written as a Roman or alphabetic numeral.
inline constexpr qint64 MaxLetterNumber = 32767;

QString romanNumeral(qint64 n, bool upper);      // 1..MaxLetterNumber
QString alphabeticNumeral(qint64 n, bool upper); // 1..MaxLetterNumber: A..Z, AA..ZZ, AAA...
QString ordinalNumeral(qint64 n);                // 0 and up: "0th", "1st", "112th"
QString cardinalWords(qint64 n);                 // 0..MaxWordsNumber: "one hundred twenty-three"
QString ordinalWords(qint64 n);                  // 0..MaxWordsNumber: "twenty-first"

} // namespace qv::fields
