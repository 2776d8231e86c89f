#include "ui/aviwriter.h"

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

QByteArray writeAvi(const QList<QImage>& frames, int framesPerSecond, AviEncoding encoding) {
    if (frames.isEmpty() || framesPerSecond <= 0)
        return {};
    const int w = frames.first().width();
    const int h = frames.first().height();
    const bool paletted = encoding == AviEncoding::Rle8 || encoding == AviEncoding::Pal8;
    const int bitCount = encoding == AviEncoding::Rgb24   ? 24
                         : encoding == AviEncoding::Rgb32 ? 32
                                                          : 8;
    const QList<QRgb> palette = paletted ? clipPalette(frames) : QList<QRgb>();

    QByteArray movi;
    QByteArray index;
    QByteArray previous;
    QHash<QRgb, int> cache;
    quint32 largest = 0;
    for (int i = 0; i < frames.size(); ++i) {
        const QByteArray indices = paletted ? toIndices(frames[i], palette, cache) : QByteArray();
        QByteArray data;
        if (encoding == AviEncoding::Rle8) {
            data = encodeRle8(indices, previous, w, h);
            previous = indices;
        } else {
            data = uncompressed(frames[i], bitCount, indices);
        }
        const char* id = encoding == AviEncoding::Rle8 ? "00dc" : "00db";
        index.append(id, 4);
        put32(index, i == 0 ? 0x10 : 0); // the first frame is a key frame
        put32(index, quint32(4 + movi.size()));
        put32(index, quint32(data.size()));
        movi.append(chunk(id, data));
        largest = std::max(largest, quint32(data.size()));
    }

    QByteArray avih;
    put32(avih, quint32(1000000 / framesPerSecond));
    put32(avih, largest * quint32(framesPerSecond));
    put32(avih, 0);
    put32(avih, 0x10); // has an index
    put32(avih, quint32(frames.size()));
    put32(avih, 0);
    put32(avih, 1);
    put32(avih, largest);
    put32(avih, quint32(w));
    put32(avih, quint32(h));
    for (int i = 0; i < 4; ++i)
        put32(avih, 0);

    QByteArray strh("vids", 4);
    strh.append(encoding == AviEncoding::Rle8 ? QByteArray("mrle", 4) : QByteArray("DIB ", 4));
    put32(strh, 0);
    put16(strh, 0);
    put16(strh, 0);
    put32(strh, 0);
    put32(strh, 1);                        // scale
    put32(strh, quint32(framesPerSecond)); // rate
    put32(strh, 0);
    put32(strh, quint32(frames.size()));
    put32(strh, largest);
    put32(strh, 0xffffffffu);
    put32(strh, 0);
    put16(strh, 0);
    put16(strh, 0);
    put16(strh, quint16(w));
    put16(strh, quint16(h));

    QByteArray strf;
    put32(strf, 40);
    put32(strf, quint32(w));
    put32(strf, quint32(h));
    put16(strf, 1);
    put16(strf, quint16(bitCount));
    put32(strf, encoding == AviEncoding::Rle8 ? 1 : 0);
    put32(strf, quint32(((w * bitCount + 31) / 32) * 4 * h));
    put32(strf, 0);
    put32(strf, 0);
    put32(strf, quint32(palette.size()));
    put32(strf, 0);
    for (QRgb c : palette) {
        strf.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append('\0');
    }

    const QByteArray hdrl =
        list("hdrl", chunk("avih", avih) + list("strl", chunk("strh", strh) + chunk("strf", strf)));
    const QByteArray body =
        QByteArray("AVI ", 4) + hdrl + list("movi", movi) + chunk("idx1", index);
    QByteArray file("RIFF", 4);
    put32(file, quint32(body.size()));
    file.append(body);
    return file;
}

} // namespace qv
