#pragma once

#include <QByteArray>
#include <QString>

// Text files of this system (merge files, "auto.ini", "output.html") hold one byte per character
// in the Windows-1252 code page, without byte-order mark.
namespace qv::codepage {

// Every byte becomes one character; the five bytes 1252 leaves undefined map to U+0081 etc.,
// so decoding and encoding again gives back the same bytes.
QString decode(const QByteArray& bytes);
QString decode(const char* data, qsizetype size);

// Every character becomes one byte; characters the code page cannot hold become '?'.
QByteArray encode(const QString& text);

// One character: its byte, or '?' when the code page cannot hold it.
char encodeChar(QChar c);
QChar decodeByte(unsigned char b);

} // namespace qv::codepage
