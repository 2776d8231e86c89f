#include "mergefiles/mergefile.h"

#include "platform/codepage.h"
#include "platform/programfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr qint64 kChunk = 1 << 20;

// Applies the item rules to a stream of bytes, chunk by chunk, appending to out.
class ItemJoiner {
public:
    ItemJoiner(QByteArray& out, QByteArrayView joiner) : out_(out), joiner_(joiner) {}

    void feed(const char* data, qsizetype size) {
        // Worst case every byte starts an item and gets a joiner before it.
        const qsizetype start = out_.size();
        out_.resize(start + size * (1 + joiner_.size()));
        char* w = out_.data() + start;
        qsizetype i = 0;
        while (i < size) {
            if (pendingCR_) {
                pendingCR_ = false;
                if (data[i] == '\n') { // CR LF is one line end
                    ++i;
                    continue;
                }
            }
            // A run of plain bytes goes over in one copy.
            qsizetype j = i;
            while (j < size && !isSpecial(data[j]))
                ++j;
            if (j > i) {
                w = beginItem(w);
                std::memcpy(w, data + i, j - i);
                w += j - i;
                i = j;
                continue;
            }
            switch (data[i++]) {
            case '\r':
                pendingCR_ = true;
                [[fallthrough]];
            case ',':
                if (atItemStart_) // an empty item
                    w = putJoiner(w);
                atItemStart_ = true;
                break;
            default: // '"': dropped, but it starts an item
                w = beginItem(w);
                break;
            }
        }
        out_.resize(w - out_.constData());
    }

private:
    static bool isSpecial(char c) { return c == ',' || c == '\r' || c == '"'; }
    char* putJoiner(char* w) const {
        std::memcpy(w, joiner_.data(), joiner_.size());
        return w + joiner_.size();
    }
    char* beginItem(char* w) {
        if (atItemStart_) {
            atItemStart_ = false;
            return putJoiner(w);
        }
        return w;
    }

    QByteArray& out_;
    QByteArrayView joiner_;
    bool atItemStart_ = true;
    bool pendingCR_ = false;
};

QStringList splitBars(QStringView line) {
    QStringList values;
    if (line.isEmpty())
        return values;
    qsizetype from = 0;
    for (;;) {
        const qsizetype bar = line.indexOf(QLatin1Char('|'), from);
        if (bar < 0) {
            values.append(line.mid(from).toString());
            return values;
        }
        values.append(line.mid(from, bar - from).toString());
        from = bar + 1;
    }
}

} // namespace

QString mergeFilePath(const QString& name) {
    return qv::programPath(QStringLiteral("data"), name + QStringLiteral(".LET"));
}

QString mergeCopyPath(const QString& storedName) {
    return qv::programPath(QStringLiteral("data"), storedName);
}

QString mergeTemplatePath(const QString& name) {
    const QString wanted = name + QStringLiteral(".dot");
    const QString exact = qv::programPath(QStringLiteral("Word"), wanted);
    if (name.isEmpty() || QFileInfo(exact).isFile())
        return exact;
    // Operators name templates as they like ("ABC.DOT", "abc.dot"); on a file system that tells
    // cases apart the first such file in name order stands in for the exact one.
    const QDir folder(qv::programPath(QStringLiteral("Word")));
    const QStringList files =
        folder.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& file : files)
        if (file.compare(wanted, Qt::CaseInsensitive) == 0)
            return qv::programPath(QStringLiteral("Word"), file);
    return exact;
}

QByteArray joinMergeItems(QByteArrayView bytes, QByteArrayView joiner) {
    QByteArray out;
    ItemJoiner items(out, joiner);
    items.feed(bytes.data(), bytes.size());
    out.squeeze();
    return out;
}

QByteArray readMergeBytes(const QString& path, QByteArrayView joiner, bool* ok) {
    if (ok)
        *ok = false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray out;
    // The joined text is at most one joiner longer than the file unless commas follow commas.
    const qint64 size = file.size();
    if (size > 0)
        out.reserve(size + joiner.size() + 16);
    ItemJoiner items(out, joiner);
    QByteArray chunk(static_cast<qsizetype>(std::min<qint64>(kChunk, std::max<qint64>(size, 1))),
                     Qt::Uninitialized);
    for (;;) {
        const qint64 n = file.read(chunk.data(), chunk.size());
        if (n < 0)
            return {};
        if (n == 0)
            break;
        items.feed(chunk.constData(), n);
    }
    out.squeeze();
    if (ok)
        *ok = true;
    return out;
}

QString readMergeText(const QString& path, const QString& joiner, bool* ok) {
    const QByteArray joinerBytes = qv::codepage::encode(joiner);
    return qv::codepage::decode(readMergeBytes(path, joinerBytes, ok));
}

qsizetype countMergeLineFeeds(QByteArrayView bytes) {
    qsizetype count = 0;
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    const char* start = p;
    while (p < end) {
        const void* hit = std::memchr(p, '\n', end - p);
        if (!hit)
            break;
        const char* lf = static_cast<const char*>(hit);
        if (lf == start || lf[-1] != '\r')
            ++count;
        p = lf + 1;
    }
    return count;
}

int countMergeRecords(const QString& storedFileName) {
    // The count is the number of LFs the reader leaves in the text (a lone LF stays in its item,
    // the LF of a CR LF is consumed), minus one. Counted straight from the bytes, in chunks.
    QFile file(qv::programPath(QStringLiteral("data"), storedFileName));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    qint64 lineFeeds = 0;
    bool lastWasCR = false;
    QByteArray chunk(kChunk, Qt::Uninitialized);
    for (;;) {
        const qint64 n = file.read(chunk.data(), chunk.size());
        if (n <= 0)
            break; // a read error keeps what was counted so far
        lineFeeds += countMergeLineFeeds(QByteArrayView(chunk.constData(), n));
        // An LF at the start of this chunk may belong to a CR LF across the boundary.
        if (lastWasCR && chunk[0] == '\n')
            --lineFeeds;
        lastWasCR = chunk[n - 1] == '\r';
    }
    const qint64 records = lineFeeds - 1;
    return static_cast<int>(std::clamp<qint64>(records, 0, std::numeric_limits<int>::max()));
}

QStringList splitMergeLine(QStringView line) {
    return splitBars(line);
}

std::optional<MergeLine> mergeHeader(QStringView text) {
    const qsizetype lf = text.indexOf(QLatin1Char('\n'));
    if (lf < 0)
        return std::nullopt;
    return MergeLine{splitBars(text.left(lf)), lf};
}

std::optional<MergeLine> nextMergeRecord(QStringView text, qsizetype lineFeed) {
    const qsizetype from = lineFeed + 1;
    if (lineFeed < 0 || from > text.size())
        return std::nullopt;
    const qsizetype lf = text.indexOf(QLatin1Char('\n'), from);
    if (lf < 0)
        return std::nullopt;
    return MergeLine{splitBars(text.mid(from, lf - from)), lf};
}

QString formatMergeByteCount(qint64 bytes, const QLocale& locale) {
    if (bytes == 0)
        return {};
    const bool negative = bytes < 0;
    const QString digits = QString::number(negative ? -bytes : bytes);
    const QString separator = locale.groupSeparator();
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += separator;
        out += digits[i];
    }
    return negative ? locale.negativeSign() + out : out;
}

QString formatMergeSize(qint64 bytes, const QLocale& locale) {
    const auto kb = static_cast<qint64>(std::nearbyint(static_cast<double>(bytes) / 1024.0));
    return QString::number(kb) + QStringLiteral(" KB (") + formatMergeByteCount(bytes, locale) +
           QStringLiteral(") Bytes");
}

bool hasMergeTemplate(const QString& name) {
    return !name.isEmpty() && QFileInfo(mergeTemplatePath(name)).isFile();
}

int mergeFileIcon(bool hasTemplate, qint64 copyBytes) {
    if (copyBytes == 0)
        return 4;
    return hasTemplate ? 2 : 1;
}
