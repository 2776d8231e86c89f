#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

// Reader for the small silent clips the program plays: RIFF AVI files with one video stream whose
// frames are uncompressed (8-bit palette, 24-bit or 32-bit) or run-length encoded with a palette
// (RLE8, where a frame may only repaint what changed since the one before).
//
// Every size and count in the file is checked against the bytes actually present. A missing,
// truncated or otherwise malformed file gives an empty clip; reading never crashes or loops.
namespace qv {

struct AviClip {
    int width = 0;
    int height = 0;
    int frameIntervalMs =
        0;                // time between two frames, always within [kMinIntervalMs, kMaxIntervalMs]
    QList<QImage> frames; // decoded frames, QImage::Format_RGB32, width x height each

    bool isNull() const { return frames.isEmpty(); }
};

inline constexpr int kMinIntervalMs = 10;
inline constexpr int kMaxIntervalMs = 10000;
inline constexpr int kDefaultIntervalMs = 100; // when the file names no usable rate
inline constexpr int kMaxClipDimension = 4096;
inline constexpr qint64 kMaxDecodedBytes = 256LL * 1024 * 1024; // all frames together

AviClip readAviClip(const QByteArray& bytes);
AviClip readAviFile(const QString& path);

// Decodes one RLE8 frame onto `target` (8-bit indices, bottom-up rows as in the file, `width`
// bytes per row). Pixels the data skips keep their value. Writes outside the frame are dropped.
// Returns false when the data is cut short before its end-of-bitmap mark.
bool decodeRle8(const QByteArray& data, int width, int height, QByteArray& target);

} // namespace qv
