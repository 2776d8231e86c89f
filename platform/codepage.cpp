#include "platform/codepage.h"

#include <array>

namespace qv::codepage {
namespace {

// 0x80..0x9F of Windows-1252; the rest of the code page is ISO 8859-1.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

QChar decodeByte(unsigned char b) {
    if (b >= 0x80 && b <= 0x9F)
        return QChar(kHigh[b - 0x80]);
    return QChar(static_cast<char16_t>(b));
}

char encodeChar(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<char>(u);
    for (std::size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] == u)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

QString decode(const char* data, qsizetype size) {
    QString text(size, Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < size; ++i)
        out[i] = decodeByte(static_cast<unsigned char>(data[i]));
    return text;
}

QString decode(const QByteArray& bytes) {
    return decode(bytes.constData(), bytes.size());
}

QByteArray encode(const QString& text) {
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    const QChar* in = text.constData();
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = encodeChar(in[i]);
    return bytes;
}

} // namespace qv::codepage
