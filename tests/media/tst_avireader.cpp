#include "media/avireader.h"
#include "media/aviwriter.h"

#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

using namespace qv;

namespace {

// Four frames of a small picture with few colours: a square moving over stripes.
QList<QImage> sampleFrames(int w = 21, int h = 9, int count = 4) {
    QList<QImage> frames;
    for (int f = 0; f < count; ++f) {
        QImage image(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                image.setPixel(x, y, (y / 3) % 2 ? qRgb(10, 20, 200) : qRgb(250, 250, 250));
        for (int y = 2; y < 6 && y < h; ++y)
            for (int x = 2 * f; x < 2 * f + 4 && x < w; ++x)
                image.setPixel(x, y, qRgb(220, 30, 40));
        image.setPixel(w - 1, h - 1, qRgb(0, 128, 0));
        frames.append(image);
    }
    return frames;
}

void patch32(QByteArray& bytes, qsizetype at, quint32 value) {
    qToLittleEndian(value, bytes.data() + at);
}

// Offset of a chunk's data (just past its 8-byte header).
qsizetype dataOf(const QByteArray& bytes, const char* id) {
    const qsizetype at = bytes.indexOf(QByteArray(id, 4));
    return at < 0 ? -1 : at + 8;
}

bool sameFrames(const QList<QImage>& a, const QList<QImage>& b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i].convertToFormat(QImage::Format_RGB32) !=
            b[i].convertToFormat(QImage::Format_RGB32))
            return false;
    return true;
}

} // namespace

class TestAviReader : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data() {
        QTest::addColumn<int>("encoding");
        QTest::addColumn<int>("width"); // odd widths exercise row padding
        QTest::newRow("rle8") << int(AviEncoding::Rle8) << 21;
        QTest::newRow("rle8 wide") << int(AviEncoding::Rle8) << 300;
        QTest::newRow("pal8") << int(AviEncoding::Pal8) << 21;
        QTest::newRow("rgb24") << int(AviEncoding::Rgb24) << 21;
        QTest::newRow("rgb32") << int(AviEncoding::Rgb32) << 22;
    }
    void roundTrip() {
        QFETCH(int, encoding);
        QFETCH(int, width);
        const QList<QImage> frames = sampleFrames(width);
        const AviClip clip = readAviClip(writeAvi(frames, 12, AviEncoding(encoding)));
        QVERIFY(!clip.isNull());
        QCOMPARE(clip.width, width);
        QCOMPARE(clip.height, 9);
        QCOMPARE(clip.frameIntervalMs, 83);
        QVERIFY(sameFrames(clip.frames, frames));
    }

    // Later RLE frames carry only what changed; skipped pixels keep the previous frame.
    void rleDeltaFramesAreSmall() {
        QList<QImage> frames = sampleFrames(200, 40, 2);
        frames[1] = frames[0];
        frames[1].setPixel(100, 20, qRgb(220, 30, 40));
        const QByteArray bytes = writeAvi(frames, 10, AviEncoding::Rle8);
        const AviClip clip = readAviClip(bytes);
        QVERIFY(sameFrames(clip.frames, frames));
        QVERIFY(bytes.size() < 4000);
    }

    void decodeRle8_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("expected"); // 4 x 2 indices, bottom row first
        QTest::addColumn<bool>("complete");
        const QByteArray blank(8, '\x09');
        QTest::newRow("run and end of line")
            << QByteArray("\x03\x01\x00\x00\x02\x02\x00\x01", 8)
            << QByteArray("\x01\x01\x01\x09\x02\x02\x09\x09", 8) << true;
        QTest::newRow("literal run padded")
            << QByteArray("\x00\x03\x05\x06\x07\x00\x00\x01", 8)
            << QByteArray("\x05\x06\x07\x09\x09\x09\x09\x09", 8) << true;
        QTest::newRow("delta keeps skipped pixels")
            << QByteArray("\x00\x02\x02\x01\x02\x04\x00\x01", 8)
            << QByteArray("\x09\x09\x09\x09\x09\x09\x04\x04", 8) << true;
        QTest::newRow("run past the right edge is clipped")
            << QByteArray("\xff\x03\x00\x01", 4)
            << QByteArray("\x03\x03\x03\x03\x09\x09\x09\x09", 8) << true;
        QTest::newRow("delta far outside the frame")
            << QByteArray("\x00\x02\xff\xff\x05\x01\x00\x01", 8) << blank << true;
        QTest::newRow("lines past the top are dropped")
            << QByteArray("\x00\x00\x00\x00\x00\x00\x04\x07\x00\x01", 10) << blank << true;
        QTest::newRow("no end mark") << QByteArray("\x02\x01", 2)
                                     << QByteArray("\x01\x01\x09\x09\x09\x09\x09\x09", 8) << true;
        QTest::newRow("literal cut short") << QByteArray("\x00\x05\x01\x02", 4) << blank << false;
        QTest::newRow("delta cut short") << QByteArray("\x00\x02\x01", 3) << blank << false;
    }
    void decodeRle8() {
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, expected);
        QFETCH(bool, complete);
        QByteArray target(8, '\x09');
        QCOMPARE(qv::decodeRle8(data, 4, 2, target), complete);
        if (complete)
            QCOMPARE(target, expected);
    }

    void frameRate_data() {
        QTest::addColumn<quint32>("scale");
        QTest::addColumn<quint32>("rate");
        QTest::addColumn<quint32>("microSeconds");
        QTest::addColumn<int>("interval");
        QTest::newRow("rate over scale") << 1u << 25u << 0u << 40;
        QTest::newRow("zero rate, header time") << 1u << 0u << 200000u << 200;
        QTest::newRow("zero scale and no header time") << 0u << 10u << 0u << kDefaultIntervalMs;
        QTest::newRow("absurdly fast") << 1u << 1000000u << 0u << kMinIntervalMs;
        QTest::newRow("absurdly slow") << 4000000000u << 1u << 0u << kMaxIntervalMs;
    }
    void frameRate() {
        QFETCH(quint32, scale);
        QFETCH(quint32, rate);
        QFETCH(quint32, microSeconds);
        QFETCH(int, interval);
        QByteArray bytes = writeAvi(sampleFrames(), 10, AviEncoding::Rle8);
        patch32(bytes, dataOf(bytes, "avih"), microSeconds);
        patch32(bytes, dataOf(bytes, "strh") + 20, scale);
        patch32(bytes, dataOf(bytes, "strh") + 24, rate);
        const AviClip clip = readAviClip(bytes);
        QVERIFY(!clip.isNull());
        QCOMPARE(clip.frameIntervalMs, interval);
    }

    // Damaged headers: every one gives no clip, none crashes.
    void brokenHeaders_data() {
        QTest::addColumn<QString>("chunk");
        QTest::addColumn<int>("offset");
        QTest::addColumn<quint32>("value");
        QTest::addColumn<bool>("readable");
        QTest::newRow("riff size beyond the file") << "RIFF" << -4 << 0x7fffffffu << false;
        QTest::newRow("riff size tiny") << "RIFF" << -4 << 4u << false;
        QTest::newRow("list size beyond its parent") << "LIST" << -4 << 0xfffffff0u << false;
        QTest::newRow("frame chunk size beyond the list") << "00dc" << -4 << 0x10000000u << false;
        QTest::newRow("width zero") << "strf" << 4 << 0u << false;
        QTest::newRow("width huge") << "strf" << 4 << 1000000u << false;
        QTest::newRow("height negative for rle") << "strf" << 8 << quint32(-9) << false;
        QTest::newRow("height most negative") << "strf" << 8 << 0x80000000u << false;
        QTest::newRow("header size too small") << "strf" << 0 << 12u << false;
        QTest::newRow("header size beyond chunk") << "strf" << 0 << 100000u << false;
        QTest::newRow("sixteen bits per pixel") << "strf" << 12 << 0x00100001u << false;
        QTest::newRow("unknown compression") << "strf" << 16 << 0x34363248u << false;
        QTest::newRow("huge palette count") << "strf" << 32 << 0xffffffffu << true;
        QTest::newRow("huge frame count") << "avih" << 16 << 0xffffffffu << true;
        QTest::newRow("huge stream count") << "avih" << 24 << 0xffffffffu << true;
        QTest::newRow("not a video stream") << "strh" << 0 << 0x73647561u << false; // "auds"
    }
    void brokenHeaders() {
        QFETCH(QString, chunk);
        QFETCH(int, offset);
        QFETCH(quint32, value);
        QFETCH(bool, readable);
        QByteArray bytes = writeAvi(sampleFrames(), 10, AviEncoding::Rle8);
        const qsizetype at = dataOf(bytes, chunk.toLatin1().constData());
        QVERIFY(at >= 0);
        patch32(bytes, at + offset, value);
        const AviClip clip = readAviClip(bytes);
        QCOMPARE(!clip.isNull(), readable);
        if (readable)
            QCOMPARE(clip.frames.size(), 4);
    }

    void truncatedAnywhereGivesNoClip() {
        for (AviEncoding encoding : {AviEncoding::Rle8, AviEncoding::Rgb24}) {
            const QByteArray bytes = writeAvi(sampleFrames(), 10, encoding);
            for (qsizetype cut = 0; cut < bytes.size(); ++cut)
                QVERIFY2(readAviClip(bytes.left(cut)).isNull(), qPrintable(QString::number(cut)));
        }
    }

    void uncompressedFrameTooShort() {
        QByteArray bytes = writeAvi(sampleFrames(), 10, AviEncoding::Rgb24);
        // claim a wider picture than the frames hold
        patch32(bytes, dataOf(bytes, "strf") + 4, 400);
        QVERIFY(readAviClip(bytes).isNull());
    }

    void randomDamageNeverCrashes() {
        const QByteArray good = writeAvi(sampleFrames(), 10, AviEncoding::Rle8);
        QRandomGenerator random(20240611);
        for (int round = 0; round < 2000; ++round) {
            QByteArray bytes = good;
            const int flips = 1 + random.bounded(8);
            for (int k = 0; k < flips; ++k)
                bytes[random.bounded(int(bytes.size()))] = char(random.bounded(256));
            const AviClip clip = readAviClip(bytes);
            if (!clip.isNull()) {
                QVERIFY(clip.width > 0 && clip.height > 0);
                for (const QImage& f : clip.frames)
                    QCOMPARE(f.size(), QSize(clip.width, clip.height));
            }
        }
    }

    void filesOnDisk() {
        QVERIFY(readAviFile("/nonexistent/clip.avi").isNull());
        QTemporaryDir dir;
        QFile text(dir.filePath("notaclip.avi"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("hello, this is not a clip at all");
        text.close();
        QVERIFY(readAviFile(text.fileName()).isNull());
        QVERIFY(readAviFile(dir.path()).isNull()); // a folder
    }

    // The clips shipped with the program read back and move; a strip of their frames is saved
    // into the build folder for review.
    void shippedClips_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("download") << "Download.avi";
        QTest::newRow("database") << "AccessDatabase.avi";
    }
    void shippedClips() {
        QFETCH(QString, name);
        const QString source = QString::fromLocal8Bit(qgetenv("QV_SOURCE_DIR"));
        const AviClip clip = readAviFile(source + "/assets/" + name);
        QVERIFY(!clip.isNull());
        QVERIFY(clip.frames.size() >= 8);
        QVERIFY(clip.width <= 282 && clip.height <= 49); // fits the smaller of the players
        QVERIFY(clip.frameIntervalMs >= 50 && clip.frameIntervalMs <= 200);
        QVERIFY(clip.frames[0] != clip.frames[clip.frames.size() / 2]);

        const int shown = int(std::min<qsizetype>(clip.frames.size(), 8));
        QImage strip(clip.width, clip.height * shown, QImage::Format_RGB32);
        QPainter painter(&strip);
        for (int i = 0; i < shown; ++i)
            painter.drawImage(0, i * clip.height, clip.frames[i * clip.frames.size() / shown]);
        painter.end();
        const QString build = QString::fromLocal8Bit(qgetenv("QV_BUILD_DIR"));
        if (!build.isEmpty())
            QVERIFY(strip.save(build + "/clip-" + QFileInfo(name).baseName() + ".png"));
    }
};

QTEST_GUILESS_MAIN(TestAviReader)
#include "tst_avireader.moc"
