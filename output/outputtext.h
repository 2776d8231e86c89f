#pragma once

#include <QString>

// Rules for merge data on its way into the documents, workbooks and pages the program writes.
namespace qv::output {

// A NUL in merge data shows as U+FFFD (the replacement character) in every output, so no value
// is cut short at it and none loses it without a trace.
inline constexpr char16_t kNulReplacement = 0xFFFD;
QString replaceNul(const QString& text);

// True for a character XML 1.0 can carry: tab, line feed, carriage return, U+0020 to U+D7FF,
// U+E000 to U+FFFD and the characters beyond U+FFFF.
bool xmlCanCarry(char32_t c);

// The text as XML can carry it: NUL replaced as above, every other character XML cannot carry
// (control characters, U+FFFE, U+FFFF, unpaired surrogates) dropped.
QString xmlText(const QString& text);

} // namespace qv::output
