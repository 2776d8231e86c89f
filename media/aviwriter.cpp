#include "media/aviwriter.h"

#include <QHash>
#include <QtEndian>
#include <algorithm>

namespace qv {
namespace {

void put32(QByteArray& out, quint32 v) {
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}
void put16(QByteArray& out, quint16 v) {
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

QByteArray chunk(const char* id, const QByteArray& data) {
    QByteArray out(id, 4);
    put32(out, quint32(data.size()));
    out.append(data);
    if (data.size() & 1)
        out.append('\0');
    return out;
}

QByteArray list(const char* type, const QByteArray& content) {
    return chunk("LIST", QByteArray(type, 4) + content);
}

int nearest(QRgb c, const QList<QRgb>& palette) {
    int best = 0;
    int bestDistance = INT_MAX;
    for (int i = 0; i < palette.size(); ++i) {
        const int dr = qRed(c) - qRed(palette[i]);
        const int dg = qGreen(c) - qGreen(palette[i]);
        const int db = qBlue(c) - qBlue(palette[i]);
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
            if (d == 0)
                break;
        }
    }
    return best;
}

// Bottom-up rows of palette indices, one byte per pixel.
QByteArray toIndices(const QImage& frame, const QList<QRgb>& palette, QHash<QRgb, int>& cache) {
    const QImage image = frame.convertToFormat(QImage::Format_RGB32);
    const int w = image.width();
    const int h = image.height();
    QByteArray out(qsizetype(w) * h, '\0');
    for (int row = 0; row < h; ++row) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(h - 1 - row));
        for (int x = 0; x < w; ++x) {
            const QRgb c = line[x] | 0xff000000u;
            auto it = cache.find(c);
            if (it == cache.end())
                it = cache.insert(c, nearest(c, palette));
            out[qsizetype(row) * w + x] = char(it.value());
        }
    }
    return out;
}

QByteArray uncompressed(const QImage& frame, int bitCount, const QByteArray& indices) {
    const int w = frame.width();
    const int h = frame.height();
    const int stride = ((w * bitCount + 31) / 32) * 4;
    QByteArray out(qsizetype(stride) * h, '\0');
    const QImage image = frame.convertToFormat(QImage::Format_RGB32);
    for (int row = 0; row < h; ++row) {
        auto* o = reinterpret_cast<uchar*>(out.data()) + qsizetype(stride) * row;
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(h - 1 - row));
        for (int x = 0; x < w; ++x) {
            if (bitCount == 8) {
                o[x] = uchar(indices[qsizetype(row) * w + x]);
            } else {
                const int n = bitCount / 8;
                o[n * x] = uchar(qBlue(line[x]));
                o[n * x + 1] = uchar(qGreen(line[x]));
                o[n * x + 2] = uchar(qRed(line[x]));
            }
        }
    }
    return out;
}

} // namespace

QList<QRgb> clipPalette(const QList<QImage>& frames) {
    QHash<QRgb, qint64> counts;
    for (const QImage& f : frames) {
        const QImage image = f.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x)
                ++counts[line[x] | 0xff000000u];
        }
    }
    QList<std::pair<qint64, QRgb>> ranked;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        ranked.append({it.value(), it.key()});
    std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    QList<QRgb> palette;
    for (qsizetype i = 0; i < ranked.size() && i < 256; ++i)
        palette.append(ranked[i].second);
    if (palette.isEmpty())
        palette.append(qRgb(0, 0, 0));
    return palette;
}

QByteArray encodeRle8(const QByteArray& indices, const QByteArray& previous, int width,
                      int height) {
    QByteArray out;
    const auto* px = reinterpret_cast<const uchar*>(indices.constData());
    const auto* old = reinterpret_cast<const uchar*>(previous.constData());
    const bool delta = previous.size() == indices.size();
    int skippedRows = 0; // whole rows left unchanged, not yet stepped over
    for (int y = 0; y < height; ++y) {
        const uchar* row = px + qsizetype(y) * width;
        const uchar* before = delta ? old + qsizetype(y) * width : nullptr;
        auto same = [&](int x) { return before && row[x] == before[x]; };
        int lastChanged = -1;
        for (int x = 0; x < width; ++x)
            if (!same(x))
                lastChanged = x;
        if (lastChanged < 0) {
            ++skippedRows;
            continue;
        }
        while (skippedRows > 0) { // step over the unchanged rows
            const int step = std::min(skippedRows, 255);
            out.append('\0').append('\2').append('\0').append(char(step));
            skippedRows -= step;
        }
        int x = 0;
        while (x <= lastChanged) {
            if (same(x)) { // skip an unchanged stretch
                int end = x;
                while (end <= lastChanged && same(end) && end - x < 255)
                    ++end;
                out.append('\0').append('\2').append(char(end - x)).append('\0');
                x = end;
                continue;
            }
            int run = 1;
            while (x + run <= lastChanged && run < 255 && row[x + run] == row[x] && !same(x + run))
                ++run;
            if (run >= 3) {
                out.append(char(run)).append(char(row[x]));
                x += run;
                continue;
            }
            // literal stretch up to the next run of three or an unchanged pixel
            int end = x;
            while (end <= lastChanged && end - x < 255 && !same(end)) {
                if (end + 2 <= lastChanged && row[end] == row[end + 1] &&
                    row[end] == row[end + 2] && !same(end + 1) && !same(end + 2))
                    break;
                ++end;
            }
            const int count = end - x;
            if (count < 3) {
                for (int k = 0; k < count; ++k)
                    out.append('\1').append(char(row[x + k]));
            } else {
                out.append('\0').append(char(count));
                out.append(reinterpret_cast<const char*>(row + x), count);
                if (count & 1)
                    out.append('\0');
            }
            x = end;
        }
        out.append('\0').append('\0'); // end of line
    }
    out.append('\0').append('\1'); // end of bitmap
    return out;
}

namespace {

// What every header of a clip tells about its frames.
struct ClipFormat {
    int width = 0;
    int height = 0;
    int framesPerSecond = 0;
    int frameCount = 0;
    AviEncoding encoding = AviEncoding::Rgb24;
    int bitCount = 24;
    bool paletted = false;
    QList<QRgb> palette; // empty unless the frames are paletted
};

// The frame chunks of the "movi" list, their index and the size of the largest.
struct EncodedFrames {
    QByteArray movi;
    QByteArray index;
    quint32 largest = 0;
};

EncodedFrames encodeFrames(const QList<QImage>& frames, const ClipFormat& format) {
    const bool rle = format.encoding == AviEncoding::Rle8;
    EncodedFrames out;
    QByteArray previous;
    QHash<QRgb, int> cache;
    for (int i = 0; i < frames.size(); ++i) {
        const QByteArray indices =
            format.paletted ? toIndices(frames[i], format.palette, cache) : QByteArray();
        QByteArray data;
        if (rle) {
            data = encodeRle8(indices, previous, format.width, format.height);
            previous = indices;
        } else {
            data = uncompressed(frames[i], format.bitCount, indices);
        }
        const char* id = rle ? "00dc" : "00db";
        out.index.append(id, 4);
        put32(out.index, i == 0 ? 0x10 : 0); // the first frame is a key frame
        put32(out.index, quint32(4 + out.movi.size()));
        put32(out.index, quint32(data.size()));
        out.movi.append(chunk(id, data));
        out.largest = std::max(out.largest, quint32(data.size()));
    }
    return out;
}

// The main header ("avih").
QByteArray mainHeader(const ClipFormat& format, quint32 largest) {
    QByteArray avih;
    put32(avih, quint32(1000000 / format.framesPerSecond));
    put32(avih, largest * quint32(format.framesPerSecond));
    put32(avih, 0);
    put32(avih, 0x10); // has an index
    put32(avih, quint32(format.frameCount));
    put32(avih, 0);
    put32(avih, 1);
    put32(avih, largest);
    put32(avih, quint32(format.width));
    put32(avih, quint32(format.height));
    for (int i = 0; i < 4; ++i)
        put32(avih, 0);
    return avih;
}

// The video stream's header ("strh").
QByteArray streamHeader(const ClipFormat& format, quint32 largest) {
    QByteArray strh("vids", 4);
    strh.append(format.encoding == AviEncoding::Rle8 ? QByteArray("mrle", 4)
                                                     : QByteArray("DIB ", 4));
    put32(strh, 0);
    put16(strh, 0);
    put16(strh, 0);
    put32(strh, 0);
    put32(strh, 1);                               // scale
    put32(strh, quint32(format.framesPerSecond)); // rate
    put32(strh, 0);
    put32(strh, quint32(format.frameCount));
    put32(strh, largest);
    put32(strh, 0xffffffffu);
    put32(strh, 0);
    put16(strh, 0);
    put16(strh, 0);
    put16(strh, quint16(format.width));
    put16(strh, quint16(format.height));
    return strh;
}

// The stream's bitmap format ("strf"): a bitmap info header and the palette.
QByteArray streamFormat(const ClipFormat& format) {
    const int w = format.width;
    const int h = format.height;
    QByteArray strf;
    put32(strf, 40);
    put32(strf, quint32(w));
    put32(strf, quint32(h));
    put16(strf, 1);
    put16(strf, quint16(format.bitCount));
    put32(strf, format.encoding == AviEncoding::Rle8 ? 1 : 0);
    put32(strf, quint32(((w * format.bitCount + 31) / 32) * 4 * h));
    put32(strf, 0);
    put32(strf, 0);
    put32(strf, quint32(format.palette.size()));
    put32(strf, 0);
    for (QRgb c : format.palette)
        strf.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append('\0');
    return strf;
}

} // namespace

QByteArray writeAvi(const QList<QImage>& frames, int framesPerSecond, AviEncoding encoding) {
    if (frames.isEmpty() || framesPerSecond <= 0)
        return {};
    ClipFormat format;
    format.width = frames.first().width();
    format.height = frames.first().height();
    format.framesPerSecond = framesPerSecond;
    format.frameCount = static_cast<int>(frames.size());
    format.encoding = encoding;
    format.bitCount = encoding == AviEncoding::Rgb24 ? 24 : encoding == AviEncoding::Rgb32 ? 32 : 8;
    format.paletted = encoding == AviEncoding::Rle8 || encoding == AviEncoding::Pal8;
    format.palette = format.paletted ? clipPalette(frames) : QList<QRgb>();

    const EncodedFrames encoded = encodeFrames(frames, format);
    const QByteArray hdrl =
        list("hdrl", chunk("avih", mainHeader(format, encoded.largest)) +
                         list("strl", chunk("strh", streamHeader(format, encoded.largest)) +
                                          chunk("strf", streamFormat(format))));
    const QByteArray body =
        QByteArray("AVI ", 4) + hdrl + list("movi", encoded.movi) + chunk("idx1", encoded.index);
    QByteArray file("RIFF", 4);
    put32(file, quint32(body.size()));
    file.append(body);
    return file;
}

} // namespace qv
