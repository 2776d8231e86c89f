#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

// Writes frames as a RIFF AVI clip the reader in avireader.h plays back. Used by the clip
// generator in tools/ and by tests that need well-formed (and then damaged) files.
namespace qv {

enum class AviEncoding {
    Rle8,  // palette of up to 256 colours, run-length encoded, later frames as changes only
    Rgb24, // uncompressed, 24 bits per pixel
    Rgb32, // uncompressed, 32 bits per pixel
    Pal8,  // uncompressed, 8-bit palette
};

// All frames must have the same size. `framesPerSecond` must be positive.
QByteArray writeAvi(const QList<QImage>& frames, int framesPerSecond, AviEncoding encoding);

// The palette used for the palette encodings: the most frequent colours of all frames (at most
// 256). Every frame is mapped to it with nearest colours.
QList<QRgb> clipPalette(const QList<QImage>& frames);

// RLE8 encoding of one frame of indices (bottom-up rows of `width` bytes). When `previous` is
// not empty, pixels equal to it are skipped instead of written.
QByteArray encodeRle8(const QByteArray& indices, const QByteArray& previous, int width, int height);

} // namespace qv
