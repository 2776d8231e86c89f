#include "drawing/balloonicons.h"
#include "drawing/balloonlayout.h"

#include <QtTest>

using namespace qv::balloon;

class BalloonLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void guidanceSize();
    void withLinkStrip();
    void iconCodes_data();
    void iconCodes();
    void region_data();
    void region();
    void pictures();
};

// The callers' 4680 x 1620 twips at 15 twips per pixel, with a 17-pixel title.
void BalloonLayoutTest::guidanceSize() {
    const Layout l = layoutFor(QSize(312, 108), 17, 0);
    QCOMPARE(l.body, QRect(8, 27, 292, 71));
    QCOMPARE(l.closeGlyph, QRect(286, 5, 13, 13));
    QCOMPARE(l.closeImage, QRect(281, 2, 16, 16));
    QCOMPARE(l.icon, QRect(10, 2, 16, 16));
    QCOMPARE(l.title, QRect(0, 1, 312, 17));
    QCOMPARE(l.titleBand, l.title);
    QCOMPARE(l.border, QRect(0, 0, 311, 107));
    QCOMPARE(heightWithLinkStrip(1620, false), 1620);
}

void BalloonLayoutTest::withLinkStrip() {
    QCOMPARE(heightWithLinkStrip(1620, true, 20), 1860);
    const Layout l = layoutFor(QSize(312, 124), 17, 20);
    QCOMPARE(l.body, QRect(8, 27, 292, 124 - 17 - 20 - 20 - 15));
    QCOMPARE(l.linkStrip.height(), 20);
    QVERIFY(l.linkStrip.top() >= l.body.bottom()); // the strip does not cover the body
    QVERIFY(l.linkStrip.bottom() < 124);
}

void BalloonLayoutTest::iconCodes_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("slot");
    QTest::newRow("i") << "i" << int(Icon::Information) << 0;
    QTest::newRow("I") << "I" << int(Icon::Information) << 0;
    QTest::newRow("i9") << "i9" << int(Icon::InformationClassic) << 0;
    QTest::newRow("x") << "x" << int(Icon::Error) << 1;
    QTest::newRow("X9") << "X9" << int(Icon::ErrorClassic) << 1;
    QTest::newRow("!") << "!" << int(Icon::Warning) << 2;
    QTest::newRow("!9") << "!9" << int(Icon::WarningClassic) << 2;
    QTest::newRow("?") << "?" << int(Icon::None) << -1;
    QTest::newRow("empty") << "" << int(Icon::None) << -1;
    QTest::newRow("i with space") << "i " << int(Icon::None) << -1;
    QTest::newRow("info") << "info" << int(Icon::None) << -1;
}

void BalloonLayoutTest::iconCodes() {
    QFETCH(QString, code);
    QFETCH(int, icon);
    QFETCH(int, slot);
    QCOMPARE(int(iconForCode(code)), icon);
    QCOMPARE(iconSlot(iconForCode(code)), slot);
    QCOMPARE(iconImage(iconForCode(code)).isNull(), slot < 0);
}

void BalloonLayoutTest::region_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("guidance balloon") << QSize(312, 108);
    QTest::newRow("design size") << QSize(312, 127);
    QTest::newRow("smaller than the ellipse") << QSize(20, 10);
    QTest::newRow("odd") << QSize(101, 33);
}

void BalloonLayoutTest::region() {
    QFETCH(QSize, size);
    const QRegion r = roundedRegion(size);
    const int w = size.width();
    const int h = size.height();
    QCOMPARE(r.boundingRect(), QRect(QPoint(0, 0), size));
    // The four corner pixels are cut, the middles of the four edges are kept.
    for (QPoint p : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)})
        QVERIFY2(!r.contains(p), qPrintable(QString("%1,%2").arg(p.x()).arg(p.y())));
    for (QPoint p :
         {QPoint(w / 2, 0), QPoint(w / 2, h - 1), QPoint(0, h / 2), QPoint(w - 1, h / 2)})
        QVERIFY(r.contains(p));
    // Mirror images left to right and top to bottom.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool in = r.contains(QPoint(x, y));
            QCOMPARE(r.contains(QPoint(w - 1 - x, y)), in);
            QCOMPARE(r.contains(QPoint(x, h - 1 - y)), in);
        }
    QVERIFY(roundedRegion(QSize(0, 5)).isEmpty());
}

void BalloonLayoutTest::pictures() {
    // With the full 25-pixel ellipse the corner cut is about 4 pixels deep on the first row.
    const QRegion r = roundedRegion(QSize(312, 108));
    QVERIFY(!r.contains(QPoint(3, 0)));
    QVERIFY(r.contains(QPoint(12, 0)));
    QVERIFY(r.contains(QPoint(0, 12)));
    QVERIFY(!r.contains(QPoint(1, 1)));

    const QImage up = closeFaceUp();
    const QImage down = closeFacePressed();
    QCOMPARE(up.size(), QSize(16, 16));
    QCOMPARE(down.size(), QSize(16, 16));
    // The shading runs from dark at the top left to bright at the bottom right, and back.
    QVERIFY(qRed(up.pixel(3, 3)) < qRed(up.pixel(12, 12)));
    QVERIFY(qRed(down.pixel(3, 3)) > qRed(down.pixel(12, 12)));
    QCOMPARE(up.pixelColor(15, 15), QColor(Qt::black));
    QVERIFY(down.pixelColor(0, 5).green() > 150); // light pink edge
    for (Icon icon : {Icon::Information, Icon::InformationClassic, Icon::Error, Icon::ErrorClassic,
                      Icon::Warning, Icon::WarningClassic})
        QCOMPARE(iconImage(icon).size(), QSize(16, 16));
    QCOMPARE(QColor::fromRgb(kTitleBandRgb), QColor(243, 245, 158));
    QCOMPARE(kTitleBandPacked, 243u | (245u << 8) | (158u << 16));
}

QTEST_MAIN(BalloonLayoutTest)
#include "tst_balloonlayout.moc"
