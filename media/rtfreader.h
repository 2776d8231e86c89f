#pragma once

#include <QByteArray>
#include <QString>

// Reads the common subset of Rich Text Format that word processors write and turns it into HTML
// a QTextDocument shows: groups, paragraphs (\par, \pard, \ql \qc \qr \qj), line breaks, tabs,
// bold, italic, underline, font size, the font and colour tables, \'hh and \u escapes and \bin
// data. Destinations it does not know (style sheet, document information, pictures, anything
// marked \*) are skipped with their whole group.
//
// Any input is safe: a document that is not RTF, or that nests groups deeper than
// kMaxRtfGroupDepth, is refused with a message; a truncated document shows what it holds.
namespace qv::rtf {

inline constexpr int kMaxRtfGroupDepth = 256;

struct RtfResult {
    bool ok = false;
    QString html;      // a complete HTML document, empty when !ok
    QString plainText; // the text alone, paragraphs separated by '\n'
    QString error;     // why the document was refused, empty when ok
};

RtfResult readRtf(const QByteArray& data);

// Reads the file and converts it; a missing or unreadable file is refused like a broken one.
RtfResult readRtfFile(const QString& path);

} // namespace qv::rtf
