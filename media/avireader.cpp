#include "media/avireader.h"

#include <QFile>
#include <algorithm>
#include <cstring>
#include <optional>

namespace qv {
namespace {

constexpr quint32 kBiRgb = 0;
constexpr quint32 kBiRle8 = 1;

quint32 u32(const QByteArray& b, qsizetype at) {
    const auto* p = reinterpret_cast<const uchar*>(b.constData()) + at;
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}
quint16 u16(const QByteArray& b, qsizetype at) {
    const auto* p = reinterpret_cast<const uchar*>(b.constData()) + at;
    return quint16(p[0] | p[1] << 8);
}
bool fourcc(const QByteArray& b, qsizetype at, const char* id) {
    return std::memcmp(b.constData() + at, id, 4) == 0;
}

struct FrameRef {
    qsizetype offset;
    qsizetype size;
};

// What the headers say, gathered while walking the chunks.
struct Layout {
    quint32 microSecPerFrame = 0;
    int streamCount = 0;    // stream lists seen so far
    int videoStream = -1;   // index of the first video stream
    int currentStream = -1; // stream whose headers are being read
    bool currentIsVideo = false;
    quint32 scale = 0;
    quint32 rate = 0;
    bool haveFormat = false;
    qint32 width = 0;
    qint32 height = 0;
    quint16 bitCount = 0;
    quint32 compression = 0;
    QList<QRgb> palette;
    QList<FrameRef> frames;
};

class Parser {
public:
    explicit Parser(const QByteArray& bytes) : b_(bytes) {}

    std::optional<Layout> parse() {
        if (b_.size() < 12 || !fourcc(b_, 0, "RIFF") || !fourcc(b_, 8, "AVI "))
            return std::nullopt;
        const qint64 riffEnd = 8 + qint64(u32(b_, 4));
        if (riffEnd > b_.size() || riffEnd < 12)
            return std::nullopt;
        if (!walk(12, riffEnd, 0))
            return std::nullopt;
        return layout_;
    }

private:
    // Walks the chunks in [begin, end). False when a chunk claims more bytes than its parent has.
    bool walk(qint64 begin, qint64 end, int depth) {
        if (depth > 8)
            return false;
        qint64 pos = begin;
        while (pos + 8 <= end) {
            const quint32 size = u32(b_, pos + 4);
            const qint64 data = pos + 8;
            if (data + qint64(size) > end)
                return false;
            if (!chunk(pos, data, size, depth))
                return false;
            pos = data + qint64(size) + (size & 1);
        }
        return true;
    }

    bool chunk(qint64 header, qint64 data, quint32 size, int depth) {
        if (fourcc(b_, header, "LIST")) {
            if (size < 4)
                return false;
            if (fourcc(b_, data, "strl")) {
                layout_.currentStream = layout_.streamCount++;
                layout_.currentIsVideo = false;
            }
            const bool inMovi = fourcc(b_, data, "movi") || (inMovi_ && fourcc(b_, data, "rec "));
            const bool saved = inMovi_;
            inMovi_ = inMovi;
            const bool ok = walk(data + 4, data + size, depth + 1);
            inMovi_ = saved;
            return ok;
        }
        if (inMovi_) {
            frameChunk(header, data, size);
            return true;
        }
        if (fourcc(b_, header, "avih")) {
            if (size >= 4)
                layout_.microSecPerFrame = u32(b_, data);
        } else if (fourcc(b_, header, "strh")) {
            if (size >= 28 && fourcc(b_, data, "vids") && layout_.videoStream < 0) {
                layout_.videoStream = layout_.currentStream;
                layout_.currentIsVideo = true;
                layout_.scale = u32(b_, data + 20);
                layout_.rate = u32(b_, data + 24);
            }
        } else if (fourcc(b_, header, "strf")) {
            if (layout_.currentIsVideo && !layout_.haveFormat)
                return format(data, size);
        }
        return true;
    }

    bool format(qint64 data, quint32 size) {
        if (size < 40)
            return false;
        const quint32 headerSize = u32(b_, data);
        if (headerSize < 40 || headerSize > size)
            return false;
        layout_.haveFormat = true;
        layout_.width = qint32(u32(b_, data + 4));
        layout_.height = qint32(u32(b_, data + 8));
        layout_.bitCount = u16(b_, data + 14);
        layout_.compression = u32(b_, data + 16);
        const quint32 used = u32(b_, data + 32);
        if (layout_.bitCount <= 8) {
            quint32 count = used != 0 ? used : (1u << layout_.bitCount);
            count = std::min<quint32>(count, 256);
            count = std::min<quint32>(count, (size - headerSize) / 4);
            for (quint32 i = 0; i < count; ++i) {
                const qint64 at = data + headerSize + 4 * qint64(i);
                const auto* p = reinterpret_cast<const uchar*>(b_.constData()) + at;
                layout_.palette.append(qRgb(p[2], p[1], p[0]));
            }
        }
        return true;
    }

    void frameChunk(qint64 header, qint64 data, quint32 size) {
        if (layout_.videoStream < 0)
            return;
        const char* id = b_.constData() + header;
        const bool video = (id[2] == 'd' && (id[3] == 'b' || id[3] == 'c'));
        const int stream = (id[0] - '0') * 10 + (id[1] - '0');
        if (video && stream == layout_.videoStream)
            layout_.frames.append({data, qsizetype(size)});
    }

    const QByteArray& b_;
    Layout layout_;
    bool inMovi_ = false;
};

int intervalFor(const Layout& l) {
    double ms = 0;
    if (l.scale > 0 && l.rate > 0)
        ms = 1000.0 * l.scale / l.rate;
    else if (l.microSecPerFrame > 0)
        ms = l.microSecPerFrame / 1000.0;
    if (!(ms > 0))
        return kDefaultIntervalMs;
    return int(std::clamp(ms + 0.5, double(kMinIntervalMs), double(kMaxIntervalMs)));
}

// Palette indices (bottom-up rows) to a top-down picture.
QImage indexedToImage(const QByteArray& indices, int width, int height, const QList<QRgb>& pal) {
    QImage image(width, height, QImage::Format_RGB32);
    const auto* src = reinterpret_cast<const uchar*>(indices.constData());
    for (int row = 0; row < height; ++row) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(height - 1 - row));
        const uchar* in = src + qsizetype(row) * width;
        for (int x = 0; x < width; ++x)
            line[x] = in[x] < pal.size() ? pal[in[x]] : qRgb(0, 0, 0);
    }
    return image;
}

std::optional<QImage> decodeUncompressed(const QByteArray& frame, const Layout& l, int width,
                                         int height, bool bottomUp) {
    const qint64 stride = ((qint64(width) * l.bitCount + 31) / 32) * 4;
    if (frame.size() < stride * height)
        return std::nullopt;
    QImage image(width, height, QImage::Format_RGB32);
    const auto* src = reinterpret_cast<const uchar*>(frame.constData());
    for (int row = 0; row < height; ++row) {
        const uchar* in = src + stride * row;
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(bottomUp ? height - 1 - row : row));
        for (int x = 0; x < width; ++x) {
            switch (l.bitCount) {
            case 8:
                line[x] = in[x] < l.palette.size() ? l.palette[in[x]] : qRgb(0, 0, 0);
                break;
            case 24:
                line[x] = qRgb(in[3 * x + 2], in[3 * x + 1], in[3 * x]);
                break;
            default: // 32
                line[x] = qRgb(in[4 * x + 2], in[4 * x + 1], in[4 * x]);
                break;
            }
        }
    }
    return image;
}

} // namespace

bool decodeRle8(const QByteArray& data, int width, int height, QByteArray& target) {
    if (width <= 0 || height <= 0 || target.size() < qsizetype(width) * height)
        return false;
    const auto* d = reinterpret_cast<const uchar*>(data.constData());
    auto* out = reinterpret_cast<uchar*>(target.data());
    const qsizetype n = data.size();
    qsizetype i = 0;
    int x = 0;
    int y = 0;
    auto put = [&](int count, const uchar* values, uchar fill) {
        // Writes `count` pixels from (x, y) on, dropping whatever falls outside the frame.
        if (y < height && x < width) {
            const int inside = std::min(count, width - x);
            uchar* at = out + qsizetype(y) * width + x;
            if (values)
                std::memcpy(at, values, size_t(inside));
            else
                std::memset(at, fill, size_t(inside));
        }
        x = int(std::min<qint64>(qint64(x) + count, width));
    };
    while (i + 1 < n) {
        const uchar a = d[i];
        const uchar b = d[i + 1];
        i += 2;
        if (a > 0) {
            put(a, nullptr, b);
        } else if (b == 0) { // end of line
            x = 0;
            y = std::min(y + 1, height);
        } else if (b == 1) { // end of bitmap
            return true;
        } else if (b == 2) { // move right and up
            if (i + 2 > n)
                return false;
            x = std::min(x + d[i], width);
            y = std::min(y + d[i + 1], height);
            i += 2;
        } else { // literal run
            if (i + b > n)
                return false;
            put(b, d + i, 0);
            i += b + (b & 1);
        }
    }
    return true;
}

AviClip readAviClip(const QByteArray& bytes) {
    const std::optional<Layout> parsed = Parser(bytes).parse();
    if (!parsed || !parsed->haveFormat || parsed->frames.isEmpty())
        return {};
    const Layout& l = *parsed;
    const bool rle = l.compression == kBiRle8;
    if (!(l.compression == kBiRgb || rle))
        return {};
    if (rle ? l.bitCount != 8 : !(l.bitCount == 8 || l.bitCount == 24 || l.bitCount == 32))
        return {};
    const bool bottomUp = l.height > 0;
    const qint64 height = l.height == INT32_MIN ? 0 : std::abs(qint64(l.height));
    if (l.width < 1 || l.width > kMaxClipDimension || height < 1 || height > kMaxClipDimension)
        return {};
    if (rle && !bottomUp)
        return {};
    const int w = l.width;
    const int h = int(height);
    const qint64 frameBytes = qint64(w) * h * 4;

    AviClip clip;
    clip.width = w;
    clip.height = h;
    clip.frameIntervalMs = intervalFor(l);
    QByteArray indices(qsizetype(w) * h, '\0');
    for (const FrameRef& ref : l.frames) {
        if (qint64(clip.frames.size() + 1) * frameBytes > kMaxDecodedBytes)
            break;
        if (ref.size == 0) { // an empty chunk repeats the frame before
            if (!clip.frames.isEmpty())
                clip.frames.append(clip.frames.last());
            continue;
        }
        const QByteArray frame = QByteArray::fromRawData(bytes.constData() + ref.offset, ref.size);
        if (rle) {
            if (!decodeRle8(frame, w, h, indices))
                return {};
            clip.frames.append(indexedToImage(indices, w, h, l.palette));
        } else {
            std::optional<QImage> image = decodeUncompressed(frame, l, w, h, bottomUp);
            if (!image)
                return {};
            clip.frames.append(std::move(*image));
        }
    }
    if (clip.frames.isEmpty())
        return {};
    return clip;
}

AviClip readAviFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // A clip is small; anything far larger than the decoded limit is not one of ours.
    if (file.size() > kMaxDecodedBytes)
        return {};
    return readAviClip(file.readAll());
}

} // namespace qv
