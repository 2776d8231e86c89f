#include "media/aviwriter.h"
#include "ui/animationplayer.h"

#include <QTemporaryDir>
#include <QtTest>

using qv::AnimationPlayer;

namespace {

QList<QImage> colourFrames() {
    QList<QImage> frames;
    for (QRgb c : {qRgb(200, 0, 0), qRgb(0, 200, 0), qRgb(0, 0, 200)}) {
        QImage image(10, 6, QImage::Format_RGB32);
        image.fill(qRgb(88, 146, 231));
        for (int x = 3; x < 7; ++x)
            image.setPixel(x, 3, c);
        frames.append(image);
    }
    return frames;
}

QString writeClip(const QTemporaryDir& dir, const QByteArray& bytes) {
    const QString path = dir.filePath("clip.avi");
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

} // namespace

class TestAnimationPlayer : public QObject {
    Q_OBJECT
private slots:
    void playsInALoopAtTheClipsRate() {
        QTemporaryDir dir;
        AnimationPlayer player;
        player.resize(40, 20);
        QVERIFY(
            player.open(writeClip(dir, qv::writeAvi(colourFrames(), 50, qv::AviEncoding::Rle8))));
        QCOMPARE(player.frameCount(), 3);
        QCOMPARE(player.frameInterval(), 20);
        QVERIFY(!player.isPlaying());
        QCOMPARE(player.currentFrame(), 0);

        player.play();
        QVERIFY(player.isPlaying());
        // runs through the last frame and wraps to the first
        QTRY_COMPARE_WITH_TIMEOUT(player.currentFrame(), 2, 2000);
        QTRY_COMPARE_WITH_TIMEOUT(player.currentFrame(), 0, 2000);

        player.stop();
        const int stoppedAt = player.currentFrame();
        QTest::qWait(80);
        QCOMPARE(player.currentFrame(), stoppedAt);
    }

    void backgroundColourIsTransparent() {
        QTemporaryDir dir;
        AnimationPlayer player;
        QVERIFY(
            player.open(writeClip(dir, qv::writeAvi(colourFrames(), 10, qv::AviEncoding::Rgb24))));
        QCOMPARE(qAlpha(player.currentImage().pixel(0, 0)), 0);
        QCOMPARE(player.currentImage().pixel(4, 3), qRgb(200, 0, 0));
        player.setTransparent(false);
        QCOMPARE(player.currentImage().pixel(0, 0), qRgb(88, 146, 231));
    }

    void drawsTheFrameCentred() {
        QTemporaryDir dir;
        AnimationPlayer player;
        player.setTransparent(false);
        player.resize(30, 16);
        QVERIFY(
            player.open(writeClip(dir, qv::writeAvi(colourFrames(), 10, qv::AviEncoding::Rgb32))));
        const QImage shot = player.grab().toImage();
        // the clip (10 x 6) sits at (10, 5); its red stroke is on its row 3
        QCOMPARE(shot.pixel(10 + 4, 5 + 3), qRgb(200, 0, 0));
        QCOMPARE(shot.pixel(10, 5), qRgb(88, 146, 231));
    }

    // A missing or damaged clip leaves the control empty and quiet.
    void unreadableClips_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("exists");
        const QByteArray good = qv::writeAvi(colourFrames(), 10, qv::AviEncoding::Rle8);
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("empty file") << QByteArray() << true;
        QTest::newRow("truncated") << good.left(good.size() / 2) << true;
        QTest::newRow("text") << QByteArray("RIFF....AVI LIST") << true;
    }
    void unreadableClips() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, exists);
        QTemporaryDir dir;
        const QString path = exists ? writeClip(dir, bytes) : dir.filePath("absent.avi");
        AnimationPlayer player;
        player.resize(40, 20);
        QVERIFY(!player.open(path));
        QVERIFY(!player.isOpen());
        player.play();
        QVERIFY(!player.isPlaying());
        QVERIFY(player.currentImage().isNull());
        player.grab(); // paints nothing, does not crash
    }

    void closeForgetsTheClip() {
        QTemporaryDir dir;
        AnimationPlayer player;
        QVERIFY(
            player.open(writeClip(dir, qv::writeAvi(colourFrames(), 10, qv::AviEncoding::Rle8))));
        player.play();
        player.close();
        QVERIFY(!player.isOpen());
        QVERIFY(!player.isPlaying());
        QCOMPARE(player.frameCount(), 0);
        // opening a bad file after a good one does not keep the old clip
        QVERIFY(
            player.open(writeClip(dir, qv::writeAvi(colourFrames(), 10, qv::AviEncoding::Rle8))));
        QVERIFY(!player.open(dir.filePath("absent.avi")));
        QVERIFY(!player.isOpen());
    }
};

QTEST_MAIN(TestAnimationPlayer)
#include "tst_animationplayer.moc"
