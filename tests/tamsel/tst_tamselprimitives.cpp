// Drawing primitives, shading, the gradient face and the window region of the multi-style
// button, checked by pixels on a back image.
#include "controls/tamsel/primitives.h"
#include "controls/tamsel/region.h"
#include "controls/tamsel/shade.h"
#include "controls/tamsel/tamselpainter.h"
#include "tamselfixture.h"

#include <QTest>

using namespace qv::tamsel;
using namespace qv::tamsel::test;

class TstTamselPrimitives : public QObject {
    Q_OBJECT
private slots:
    void shade_data();
    void shade();
    void lineExcludesEndPoint();
    void frameInsideRectangle();
    void focusRectInvertsAndRestores();
    void gradientFace_data();
    void gradientFace();
    void bevelEndPoints();
    void slantedBoxOutline();
    void slantedRegion();
    void cornerPixels_data();
    void cornerPixels();
};

void TstTamselPrimitives::shade_data() {
    QTest::addColumn<uint>("colour");
    QTest::addColumn<int>("delta");
    QTest::addColumn<bool>("proportionalBlue");
    QTest::addColumn<uint>("expected");
    QTest::newRow("grey lighter") << 0xC0C0C0u << 48 << false << 0xF0F0F0u;
    QTest::newRow("clamped at white") << 0xF0F0F0u << 48 << false << 0xFFFFFFu;
    QTest::newRow("proportional blue") << 0xFF8040u << -32 << true << 0xD56020u;
    QTest::newRow("clamped at black") << 0x102030u << -64 << false << 0x000000u;
    QTest::newRow("proportional blue lighter") << 0x600000u << 48 << true << 0x783030u;
    QTest::newRow("dark shadow of white") << 0xFFFFFFu << -192 << false << 0x3F3F3Fu;
}

void TstTamselPrimitives::shade() {
    QFETCH(uint, colour);
    QFETCH(int, delta);
    QFETCH(bool, proportionalBlue);
    QFETCH(uint, expected);
    QCOMPARE(Shade(colour, delta, proportionalBlue), Colour(expected));
}

void TstTamselPrimitives::lineExcludesEndPoint() {
    QImage img = blank(10, 10);
    Canvas c(img);
    c.selectPen(0xFF);
    c.moveTo(1, 1);
    c.lineTo(6, 1);
    c.lineTo(6, 5);
    QCOMPARE(px(img, 1, 1), Colour(0xFF));
    QCOMPARE(px(img, 5, 1), Colour(0xFF));
    QCOMPARE(px(img, 6, 1), Colour(0xFF)); // start of the second line
    QCOMPARE(px(img, 6, 4), Colour(0xFF));
    QCOMPARE(px(img, 6, 5), Colour(0x123456)); // end point left out
    QCOMPARE(c.position(), QPoint(6, 5));
    // Off-image lines are clipped, not refused.
    c.moveTo(-5, 8);
    c.lineTo(20, 8);
    QCOMPARE(px(img, 0, 8), Colour(0xFF));
    QCOMPARE(px(img, 9, 8), Colour(0xFF));
}

void TstTamselPrimitives::frameInsideRectangle() {
    QImage img = blank(10, 8);
    Canvas c(img);
    c.frameRect(1, 1, 9, 7, 0xAA);
    QCOMPARE(px(img, 1, 1), Colour(0xAA));
    QCOMPARE(px(img, 8, 6), Colour(0xAA)); // r - 1, b - 1
    QCOMPARE(px(img, 9, 6), Colour(0x123456));
    QCOMPARE(px(img, 8, 7), Colour(0x123456));
    QCOMPARE(px(img, 4, 4), Colour(0x123456)); // not filled
    c.fillRect(2, 2, 4, 4, 0xBB);
    QCOMPARE(px(img, 3, 3), Colour(0xBB));
    QCOMPARE(px(img, 4, 3), Colour(0x123456));
}

void TstTamselPrimitives::focusRectInvertsAndRestores() {
    QImage img = blank(12, 10, 0xC0C0C0);
    const QImage before = img.copy();
    Canvas c(img);
    c.drawFocusRect(2, 2, 10, 8);
    // Dotted: neighbours along an edge differ, every changed pixel is the inverse.
    QCOMPARE(px(img, 2, 2), Colour(0x3F3F3F));
    QCOMPARE(px(img, 3, 2), Colour(0xC0C0C0));
    QCOMPARE(px(img, 4, 2), Colour(0x3F3F3F));
    QCOMPARE(px(img, 2, 4), Colour(0x3F3F3F));
    QCOMPARE(px(img, 9, 7), Colour(0x3F3F3F)); // bottom-right corner, (9 + 7) even
    QCOMPARE(px(img, 8, 7), Colour(0xC0C0C0));
    QCOMPARE(px(img, 5, 5), Colour(0xC0C0C0)); // inside untouched
    c.drawFocusRect(2, 2, 10, 8);
    QCOMPARE(img, before);
}

void TstTamselPrimitives::gradientFace_data() {
    QTest::addColumn<int>("orientation");
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<bool>("blueFirst"); // blue at the top / left
    QTest::newRow("0 start left") << 0 << false << false;
    QTest::newRow("1 start top") << 1 << true << false;
    QTest::newRow("2 start right") << 2 << false << true;
    QTest::newRow("3 start bottom") << 3 << true << true;
}

void TstTamselPrimitives::gradientFace() {
    QFETCH(int, orientation);
    QFETCH(bool, vertical);
    QFETCH(bool, blueFirst);
    TamselData d = makeData(ButtonType::Classic3D, 40, 20);
    d.config.colorScheme = ColorScheme::CustomGradient;
    d.config.gradientStartColor = 0x000000;
    d.config.gradientStopColor = 0xFF0000;
    d.config.gradientOrientation = orientation;
    QImage img = blank(40, 20);
    Canvas c(img);
    GradientFace(c, d);
    const int last = vertical ? 19 : 39;
    auto at = [&](int i) { return vertical ? px(img, 7, i) : px(img, i, 7); };
    const Colour first = at(0);
    const Colour end = at(last);
    QCOMPARE(first, blueFirst ? Colour(0xFF0000) : Colour(0));
    QVERIFY(blueOf(blueFirst ? end : first) < 0x10);
    QVERIFY(blueOf(blueFirst ? first : end) > 0xF0);
    // Only blue changes, and it changes monotonically along the fill; not across it.
    int prev = blueOf(at(0));
    for (int i = 1; i <= last; ++i) {
        const Colour col = at(i);
        QCOMPARE(col & 0xFFFF, Colour(0));
        QVERIFY(blueFirst ? blueOf(col) <= prev : blueOf(col) >= prev);
        prev = blueOf(col);
    }
    if (vertical)
        QCOMPARE(px(img, 0, 9), px(img, 39, 9));
    else
        QCOMPARE(px(img, 9, 0), px(img, 9, 19));
}

void TstTamselPrimitives::bevelEndPoints() {
    const int W = 20;
    const int H = 10;
    const Colour c1 = 0x11, c2 = 0x22, c3 = 0x33, c4 = 0x44;
    TamselData d = makeData(ButtonType::Classic3D, W, H);
    QImage img = blank(W, H);
    Canvas c(img);
    Bevel(c, d, c1, c2, c3, c4, 1, false);
    const Colour bg = 0x123456;
    QCOMPARE(px(img, 0, H - 1), bg); // the bottom line stops short of the outer corner
    QCOMPARE(px(img, 1, 0), bg);     // inset 1: row 0 untouched
    QCOMPARE(px(img, 1, 1), c1);     // corner belongs to the top line
    QCOMPARE(px(img, 1, H - 2), c1); // left line from the bottom
    QCOMPARE(px(img, W - 2, 1), c1); // top line ends before W - 1
    QCOMPARE(px(img, W - 1, 1), c2); // right line starts there
    QCOMPARE(px(img, W - 1, H - 1), c2);
    QCOMPARE(px(img, 1, H - 1), c2); // the bottom line covers the left line's first pixel
    QCOMPARE(px(img, 2, H - 1), c3); // the inner line starts on the bottom row
    QCOMPARE(px(img, 2, 2), c3);
    QCOMPARE(px(img, W - 3, 2), c3);
    QCOMPARE(px(img, W - 2, 2), c4);
    QCOMPARE(px(img, W - 2, H - 2), c4);
    QCOMPARE(px(img, 2, H - 2), c4);
    QCOMPARE(px(img, 1, H - 2), c1); // inner bottom line stops before column 1
    QCOMPARE(px(img, 5, 5), bg);

    QImage single = blank(W, H);
    Canvas s(single);
    Bevel(s, d, c1, c2, c3, c4, 0, true);
    QCOMPARE(px(single, 0, 0), c1);
    QCOMPARE(px(single, 0, H - 2), c1);
    QCOMPARE(px(single, 0, H - 1), c2);
    QCOMPARE(px(single, W - 1, 0), c2);
    QCOMPARE(px(single, 1, H - 2), bg); // no inner lines
    QCOMPARE(px(single, 1, 1), bg);
}

void TstTamselPrimitives::slantedBoxOutline() {
    TamselData d = makeData(ButtonType::Classic3D, 100, 30, ButtonStyle::SlantBoth);
    QImage img = blank(100, 30);
    Canvas c(img);
    Box(c, d, 0, 0, 100, 30, 0xEE, true);
    const Colour bg = 0x123456;
    QCOMPARE(px(img, 0, 0), Colour(0xEE));
    QCOMPARE(px(img, 82, 0), Colour(0xEE));
    QCOMPARE(px(img, 83, 0), bg);
    QCOMPARE(px(img, 18, 29), Colour(0xEE));
    QCOMPARE(px(img, 99, 29), Colour(0xEE));
    QCOMPARE(px(img, 17, 29), bg);
    QCOMPARE(px(img, 50, 15), bg); // not filled
    // The slanted edges: one pixel per row near x = 0.6 y and 82 + 0.6 y.
    for (int y = 1; y < 29; ++y) {
        int left = 0, right = 0;
        for (int x = 0; x < 100; ++x) {
            if (px(img, x, y) != Colour(0xEE))
                continue;
            if (x < 50) {
                ++left;
                QVERIFY(qAbs(x - y * 18 / 29) <= 1);
            } else {
                ++right;
                QVERIFY(qAbs(x - (82 + y * 18 / 29)) <= 1);
            }
        }
        QCOMPARE(left, 1);
        QCOMPARE(right, 1);
    }
    // The rectangular style frames just inside the rectangle.
    TamselData r = makeData(ButtonType::Classic3D, 100, 30);
    QImage rect = blank(100, 30);
    Canvas rc(rect);
    Box(rc, r, 0, 0, 100, 30, 0xEE, true);
    QCOMPARE(px(rect, 99, 0), Colour(0xEE));
    QCOMPARE(px(rect, 0, 29), Colour(0xEE));
}

void TstTamselPrimitives::slantedRegion() {
    const QRegion both = WindowRegion(ButtonType::Classic3D, ButtonStyle::SlantBoth, 100, 30);
    QCOMPARE(both.boundingRect(), QRect(0, 0, 100, 30));
    QVERIFY(both.contains(QPoint(0, 0)));
    QVERIFY(both.contains(QPoint(80, 0)));
    QVERIFY(!both.contains(QPoint(84, 0)));
    QVERIFY(!both.contains(QPoint(99, 0)));
    QVERIFY(!both.contains(QPoint(0, 29)));
    QVERIFY(!both.contains(QPoint(16, 29)));
    QVERIFY(both.contains(QPoint(19, 29)));
    QVERIFY(both.contains(QPoint(99, 29)));
    QVERIFY(both.contains(QPoint(50, 15)));
    QVERIFY(!both.contains(QPoint(2, 15)));  // left edge near x = 9
    QVERIFY(!both.contains(QPoint(97, 15))); // right edge near x = 91

    const QRegion right = WindowRegion(ButtonType::Classic3D, ButtonStyle::SlantRight, 100, 30);
    QVERIFY(right.contains(QPoint(0, 29)));
    QVERIFY(!right.contains(QPoint(99, 0)));
    QVERIFY(right.contains(QPoint(99, 29)));
    const QRegion left = WindowRegion(ButtonType::Classic3D, ButtonStyle::SlantLeft, 100, 30);
    QVERIFY(left.contains(QPoint(99, 0)));
    QVERIFY(!left.contains(QPoint(0, 29)));
    QVERIFY(left.contains(QPoint(0, 0)));
    // The cut corners of the looks do not apply to slanted outlines.
    QVERIFY(WindowRegion(ButtonType::WindowsXP, ButtonStyle::SlantBoth, 100, 30)
                .contains(QPoint(1, 0)));
}

void TstTamselPrimitives::cornerPixels_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QList<QPoint>>("removed");
    const int W = 30, H = 20;
    const QList<QPoint> none;
    const QList<QPoint> rounded = {{0, 0},     {1, 0},         {0, 1},         {0, H - 1},
                                   {1, H - 1}, {0, H - 2},     {W - 2, 0},     {W - 1, 0},
                                   {W - 1, 1}, {W - 2, H - 1}, {W - 1, H - 1}, {W - 1, H - 2}};
    QTest::newRow("1 outlined bevel")
        << 1 << QList<QPoint>{{0, 0}, {0, H - 1}, {W - 1, 0}, {W - 1, H - 1}};
    QTest::newRow("2 classic") << 2 << none;
    QTest::newRow("3 windows xp") << 3 << rounded;
    QTest::newRow("4 framed flat") << 4 << QList<QPoint>{{0, H - 1}, {W - 1, 0}};
    QTest::newRow("5 soft bevel") << 5 << none;
    QTest::newRow("6 thin raised") << 6 << none;
    QTest::newRow("7 hover raised") << 7 << none;
    QTest::newRow("8 macintosh") << 8 << rounded;
}

void TstTamselPrimitives::cornerPixels() {
    QFETCH(int, type);
    QFETCH(QList<QPoint>, removed);
    const int W = 30, H = 20;
    const QRegion region = WindowRegion(type, ButtonStyle::Rectangular, W, H);
    int missing = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (!region.contains(QPoint(x, y))) {
                ++missing;
                QVERIFY2(removed.contains(QPoint(x, y)),
                         qPrintable(QStringLiteral("(%1,%2) removed").arg(x).arg(y)));
            }
    QCOMPARE(missing, removed.size());
}

QTEST_GUILESS_MAIN(TstTamselPrimitives)
#include "tst_tamselprimitives.moc"
