// Caption and icon of the multi-style button: accelerator, font description, layout (with a
// fixed-pitch measure so the geometry is exact), caption layers and offsets, greyed icon.
#include "controls/tamsel/caption.h"
#include "controls/tamsel/captionlayout.h"
#include "controls/tamsel/shade.h"
#include "controls/tamsel/tamselpainter.h"
#include "tamselfixture.h"

#include <QTest>

using namespace qv::tamsel;
using namespace qv::tamsel::test;

namespace {

// Every character 10 pixels wide, every line 16 high.
QSize fixedPitch(const QString& s) {
    return QSize(10 * static_cast<int>(s.size()), 16);
}

TamselData layoutData(const QString& caption, int W, int H, int style = 0) {
    TamselData d = makeData(ButtonType::Classic3D, W, H, style);
    d.config.caption = caption;
    Accelerator(d);
    return d;
}

QStringList texts(const TamselData& d) {
    QStringList out;
    for (const CaptionLine& l : d.layout.lines)
        out << l.text;
    return out;
}

QImage solidIcon(int size, QRgb colour) {
    QImage icon(size, size, QImage::Format_ARGB32);
    icon.fill(colour);
    return icon;
}

constexpr Colour kIcon = 0xFF00FF;

// A button under a colour scheme with a caption effect: both gradient colours grey, the effect's
// mid colour green and its shadow colour blue.
TamselData schemeData(int type, int W, int H, int scheme, bool enabled, int captionStyle,
                      bool selectedOption) {
    TamselData d = makeData(type, W, H);
    d.config.colorScheme = scheme;
    d.config.gradientStartColor = 0x808080;
    d.config.gradientStopColor = 0x808080;
    d.config.enabled = enabled;
    d.config.captionStyle = captionStyle;
    d.config.optionButton = selectedOption;
    d.config.value = selectedOption;
    d.config.embossEngraveMid = 0x00A000;
    d.config.embossEngraveShadow = 0xA00000;
    return d;
}

} // namespace

class TstTamselCaption : public QObject {
    Q_OBJECT
private slots:
    void accelerator_data();
    void accelerator();
    void acceleratorGoneClearsAccessKey();
    void underline_data();
    void underline();
    void wrapping_data();
    void wrapping();
    void shortening();
    void shorteningKeepsToItsWord();
    void horizontalPositions_data();
    void horizontalPositions();
    void iconOnly_data();
    void iconOnly();
    void iconBesideCaption();
    void verticalLayout_data();
    void verticalLayout();
    void fontDescription_data();
    void fontDescription();
    void verticalFontNotice();
    void pressedOffset_data();
    void pressedOffset();
    void captionEffects_data();
    void captionEffects();
    void drawnUnderline_data();
    void drawnUnderline();
    void verticalCaptionRuns();
    void greyIconTakesTheFace();
};

void TstTamselCaption::accelerator_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("display");
    QTest::addColumn<int>("k");
    QTest::addColumn<QString>("key");
    QTest::newRow("pair before marker") << "Save && &Exit"
                                        << "Save & Exit" << 8 << "e";
    QTest::newRow("pair after marker") << "&A&&B"
                                       << "A&B" << 1 << "a";
    QTest::newRow("three in a row") << "a&&&b"
                                    << "a&b" << 3 << "b";
    QTest::newRow("no marker") << "Plain"
                               << "Plain" << 0 << "";
    QTest::newRow("only pairs") << "R&&D"
                                << "R&D" << 0 << "";
    QTest::newRow("marker at the end") << "End&"
                                       << "End&" << 0 << "";
    QTest::newRow("upper case key") << "&Quit"
                                    << "Quit" << 1 << "q";
}

void TstTamselCaption::accelerator() {
    QFETCH(QString, caption);
    QFETCH(QString, display);
    QFETCH(int, k);
    QFETCH(QString, key);
    TamselData d = layoutData(caption, 200, 30);
    QCOMPARE(d.run.accelerator, k);
    QCOMPARE(DisplayText(caption, d.run.accelerator), display);
    QCOMPARE(d.run.accessKey.isNull() ? QString() : QString(d.run.accessKey), key);
    if (k > 0)
        QCOMPARE(display.at(k - 1).toLower(), d.run.accessKey);
}

void TstTamselCaption::acceleratorGoneClearsAccessKey() {
    TamselData d = layoutData(QStringLiteral("&Open"), 200, 30);
    QCOMPARE(d.run.accessKey, QChar('o'));
    d.config.caption = QStringLiteral("Open");
    Accelerator(d);
    QVERIFY(d.run.accessKey.isNull());
    QCOMPARE(d.run.accelerator, 0);
}

void TstTamselCaption::underline_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("W");
    QTest::addColumn<int>("H");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("charIndex"); // 0-based index of the accelerator in its line
    QTest::newRow("Save & Exit") << "Save && &Exit" << 200 << 30 << 0 << 7;
    QTest::newRow("A&B") << "&A&&B" << 200 << 30 << 0 << 0;
    // Wrapped: "aaa bbb" / "cc&d": the accelerator lands on the second line.
    QTest::newRow("second line") << "aaa bbb cc&d" << 100 << 40 << 1 << 2;
}

void TstTamselCaption::underline() {
    QFETCH(QString, caption);
    QFETCH(int, W);
    QFETCH(int, H);
    QFETCH(int, line);
    QFETCH(int, charIndex);
    TamselData d = layoutData(caption, W, H);
    Layout(d, fixedPitch);
    QVERIFY(d.layout.underlinePlaced);
    QCOMPARE(d.layout.underlineLine, line);
    const CaptionLine& l = d.layout.lines.at(line);
    QCOMPARE(d.layout.underlineLength, 10);
    QCOMPARE(d.layout.underlineX, l.x + 10 * charIndex);
    QCOMPARE(d.layout.underlineY, l.y + 16);
}

void TstTamselCaption::wrapping_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("H");
    QTest::addColumn<QStringList>("lines");
    // W = 100: line limit M = 100 - 6 - 6 = 88, so 8 characters fit.
    QTest::newRow("fits") << "aaa bbb" << 40 << QStringList{"aaa bbb"};
    QTest::newRow("wraps at a space") << "aaa bbb ccc" << 40 << QStringList{"aaa bbb", "ccc"};
    QTest::newRow("room for one line") << "aaa bbb ccc" << 30 << QStringList{"aaa bbb ccc"};
    QTest::newRow("taller than the button") << "aaa bbb ccc" << 12 << QStringList{"aaa bbb ccc"};
    QTest::newRow("rest on the last line")
        << "aaa bbb ccc ddd eee" << 40 << QStringList{"aaa bbb", "ccc ddd eee"};
    QTest::newRow("three lines") << "aaa bbb ccc ddd eee" << 50
                                 << QStringList{"aaa bbb", "ccc ddd", "eee"};
    QTest::newRow("word too long after a line")
        << "a verylongwordhere" << 60 << QStringList{"a", "very..."};
}

void TstTamselCaption::wrapping() {
    QFETCH(QString, caption);
    QFETCH(int, H);
    QFETCH(QStringList, lines);
    TamselData d = layoutData(caption, 100, H);
    Layout(d, fixedPitch);
    QCOMPARE(texts(d), lines);
    // Centred lines, one below the other, the block centred vertically.
    const int n = static_cast<int>(lines.size());
    for (int i = 0; i < n; ++i) {
        const CaptionLine& l = d.layout.lines.at(i);
        QCOMPARE(l.width, 10 * static_cast<int>(l.text.size()));
        QCOMPARE(l.x, (100 - l.width) / 2);
        QCOMPARE(l.y, (H - n * 16) / 2 + i * 16);
    }
}

void TstTamselCaption::shortening() {
    // M = 60 (W = 72); the word measures 120 pixels and D, with its closing space, has 10
    // characters: n = int(60 / 120 * 10) div 2 = 2.
    TamselData d = layoutData(QStringLiteral("abcdefghi"), 72, 40);
    Layout(d, [](const QString& s) {
        return QSize(s == QLatin1String("abcdefghi") ? 120 : 10 * static_cast<int>(s.size()), 16);
    });
    QCOMPARE(texts(d), QStringList{QStringLiteral("ab...")});
}

void TstTamselCaption::shorteningKeepsToItsWord() {
    // A short over-long word followed by a long rest: the shortened piece comes from the word
    // alone, and the following text is not repeated.
    TamselData d = layoutData(QStringLiteral("abcdefg hijklmnopqrstuvwxyz1234"), 72, 60);
    Layout(d, fixedPitch);
    QCOMPARE(texts(d), (QStringList{QStringLiteral("abcd..."), QStringLiteral("hij...")}));
}

void TstTamselCaption::horizontalPositions_data() {
    QTest::addColumn<int>("alignment");
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("x");
    const int w = 30; // "abc"
    QTest::newRow("left rect") << 0 << 0 << 6;
    QTest::newRow("left slant both") << 0 << 2 << 18;
    QTest::newRow("left slant left") << 0 << 3 << 18;
    QTest::newRow("centre rect") << 1 << 0 << (100 - w) / 2;
    QTest::newRow("centre slant right") << 1 << 1 << (100 - w) / 2 - 9;
    QTest::newRow("centre slant left") << 1 << 3 << (100 - w) / 2 + 9;
    QTest::newRow("right rect") << 2 << 0 << 100 - w - 6;
    QTest::newRow("right slant right") << 2 << 1 << 100 - w - 18;
    QTest::newRow("right slant left") << 2 << 3 << 100 - w - 6;
}

void TstTamselCaption::horizontalPositions() {
    QFETCH(int, alignment);
    QFETCH(int, style);
    QFETCH(int, x);
    TamselData d = layoutData(QStringLiteral("abc"), 100, 30, style);
    d.config.alignment = alignment;
    Layout(d, fixedPitch);
    const CaptionLine& l = d.layout.lines.front();
    QCOMPARE(l.x, x);
    QCOMPARE(l.y, 7);
    // The text block, enlarged by 2 and moved by (-1, -1).
    QCOMPARE(d.layout.blockLeft, x - 3);
    QCOMPARE(d.layout.blockTop, 7 - 3);
    QCOMPARE(d.layout.blockRight, x + 30 + 1);
    QCOMPARE(d.layout.blockBottom, 7 + 16 + 1);
}

void TstTamselCaption::iconOnly_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("iconX");
    QTest::newRow("rectangular") << 0 << 42;
    QTest::newRow("slant right: 9 left of centre") << 1 << 33;
    QTest::newRow("slant both") << 2 << 42;
    QTest::newRow("slant left: 9 right of centre") << 3 << 51;
}

void TstTamselCaption::iconOnly() {
    QFETCH(int, style);
    QFETCH(int, iconX);
    TamselData d = layoutData(QString(), 100, 30, style);
    d.config.icon = solidIcon(16, qRgb(255, 0, 255));
    d.run.hasIcon = true;
    Layout(d, fixedPitch);
    QCOMPARE(d.layout.iconX, iconX);
    QCOMPARE(d.layout.iconY, 7);
    QCOMPARE(d.layout.lines.size(), std::size_t(1));
    QVERIFY(d.layout.lines.front().text.isEmpty());
}

void TstTamselCaption::iconBesideCaption() {
    TamselData d = layoutData(QStringLiteral("abc"), 100, 30);
    d.config.icon = solidIcon(16, qRgb(255, 0, 255));
    d.run.hasIcon = true;
    Layout(d, fixedPitch);
    // Centred with the icon before it: the caption moves right by (Z + 5) div 2.
    const CaptionLine& l = d.layout.lines.front();
    QCOMPARE(l.x, (100 - 30) / 2 + 10);
    QCOMPARE(d.layout.iconX, l.x - 16 - 5);
    QCOMPARE(d.layout.iconY, (16 - 16) / 2 + 7);
    d.config.iconAlignmentValue = IconAlignmentValue::IconRight;
    Layout(d, fixedPitch);
    QCOMPARE(d.layout.lines.front().x, (100 - 30) / 2 - 10);
    QCOMPARE(d.layout.iconX, d.layout.lines.front().x + 30 + 5);
}

void TstTamselCaption::verticalLayout_data() {
    QTest::addColumn<int>("orientation");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<QRect>("block"); // left, top, right, bottom as x, y, width, height
    // W = 30, H = 100, "abc" 30 long, 16 across: lines start at (30 - 16) div 2 = 7.
    QTest::newRow("up centred") << 1 << 1 << 7 << 65 << QRect(QPoint(4, 32), QPoint(23, 65));
    QTest::newRow("up from the bottom")
        << 1 << 0 << 7 << 94 << QRect(QPoint(4, 61), QPoint(23, 94));
    QTest::newRow("up to the top") << 1 << 2 << 7 << 36 << QRect(QPoint(4, 3), QPoint(23, 36));
    QTest::newRow("down centred") << 2 << 1 << 23 << 35 << QRect(QPoint(4, 32), QPoint(23, 65));
    QTest::newRow("down from the top") << 2 << 0 << 23 << 6 << QRect(QPoint(4, 3), QPoint(23, 36));
    QTest::newRow("down to the bottom")
        << 2 << 2 << 23 << 64 << QRect(QPoint(4, 61), QPoint(23, 94));
}

void TstTamselCaption::verticalLayout() {
    QFETCH(int, orientation);
    QFETCH(int, alignment);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(QRect, block);
    TamselData d = layoutData(QStringLiteral("abc"), 30, 100);
    d.config.captionOrientation = orientation;
    d.config.alignment = alignment;
    Layout(d, fixedPitch);
    const CaptionLine& l = d.layout.lines.front();
    QCOMPARE(l.x, x);
    QCOMPARE(l.y, y);
    QCOMPARE(d.layout.blockLeft, block.left());
    QCOMPARE(d.layout.blockTop, block.top());
    QCOMPARE(d.layout.blockRight, block.right() + 1);
    QCOMPARE(d.layout.blockBottom, block.bottom() + 1);
}

void TstTamselCaption::fontDescription_data() {
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<int>("orientation");
    QTest::addColumn<QString>("face");
    QTest::addColumn<int>("escapement");
    QTest::newRow("plain") << false << false << 0 << "DejaVu Sans" << 0;
    QTest::newRow("bold") << true << false << 0 << "DejaVu Sans Bold" << 0;
    QTest::newRow("italic up") << false << true << 1 << "DejaVu Sans Italic" << 900;
    QTest::newRow("bold italic down") << true << true << 2 << "DejaVu Sans Bold Italic" << 2700;
}

void TstTamselCaption::fontDescription() {
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(int, orientation);
    QFETCH(QString, face);
    QFETCH(int, escapement);
    TamselData d = makeData(ButtonType::Classic3D, 100, 30);
    QFont f(QStringLiteral("DejaVu Sans"), 12);
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(true);
    d.config.font = f;
    d.config.captionOrientation = orientation;
    const CaptionFont cf = CaptionFontFor(d);
    QCOMPARE(cf.faceName, face);
    QCOMPARE(cf.height, -16); // 12 pt x 20 / 15
    QCOMPARE(cf.escapement, escapement);
    QVERIFY(cf.underline);
    QVERIFY(!cf.strikeOut);
    QCOMPARE(cf.unrotated.pixelSize(), 16);
    QCOMPARE(cf.unrotated.bold(), bold);
    QCOMPARE(cf.unrotated.italic(), italic);
}

void TstTamselCaption::verticalFontNotice() {
    TamselData d = makeData(ButtonType::Classic3D, 100, 30);
    QStringList notices;
    d.run.notice = [&notices](const QString& text) { notices << text; };
    const ScalableCheck bitmapFont = [](const QFont&) { return false; };
    d.run.designMode = true;
    MakeFont(d, false, bitmapFont); // horizontal: no question of rotating
    QVERIFY(notices.isEmpty());
    d.config.captionOrientation = CaptionOrientation::VerticalUp;
    const CaptionFont cf = MakeFont(d, false, bitmapFont);
    QCOMPARE(notices, QStringList{QStringLiteral("Non-True Type fonts may not draw vertically")});
    QCOMPARE(cf.escapement, 900); // drawn rotated all the same
    d.run.designMode = false;
    MakeFont(d, false, bitmapFont);
    MakeFont(d, false, [](const QFont&) { return true; });
    QCOMPARE(notices.size(), 1);
}

void TstTamselCaption::pressedOffset_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("option");
    QTest::addColumn<int>("shift");
    QTest::newRow("classic 3D") << int(ButtonType::Classic3D) << false << 1;
    QTest::newRow("framed flat") << int(ButtonType::FramedFlat) << false << 0;
    QTest::newRow("option button") << int(ButtonType::Classic3D) << true << 0;
    QTest::newRow("thin raised") << int(ButtonType::ThinRaised) << false << 1;
}

void TstTamselCaption::pressedOffset() {
    QFETCH(int, type);
    QFETCH(bool, option);
    QFETCH(int, shift);
    auto render = [&](int state, const QString& caption, bool icon) {
        TamselData d = makeData(type, 120, 40);
        d.config.caption = caption;
        d.config.font = QFont(QStringLiteral("DejaVu Sans"), 12);
        d.config.optionButton = option;
        d.run.state = state;
        if (icon) {
            d.config.icon = solidIcon(16, qRgb(255, 0, 255));
            d.run.hasIcon = true;
        }
        Accelerator(d);
        d.run.fontDirty = true;
        QImage back;
        Paint(back, d, false);
        return back;
    };
    const QRect iconNormal = boxOf(render(VisualState::Normal, QString(), true), kIcon);
    const QRect iconPressed = boxOf(render(VisualState::Pressed, QString(), true), kIcon);
    QCOMPARE(iconNormal.size(), QSize(16, 16));
    QCOMPARE(iconPressed, iconNormal.translated(shift, shift));
    const QRect textNormal = boxOf(render(VisualState::Normal, QStringLiteral("Hi"), false), kT);
    const QRect textPressed = boxOf(render(VisualState::Pressed, QStringLiteral("Hi"), false), kT);
    QVERIFY(!textNormal.isEmpty());
    QCOMPARE(textPressed, textNormal.translated(shift, shift));
}

void TstTamselCaption::captionEffects_data() {
    QTest::addColumn<int>("scheme");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("captionStyle");
    QTest::addColumn<bool>("selectedOption");
    QTest::addColumn<uint>("topLeft");
    QTest::addColumn<uint>("bottomRight");
    QTest::addColumn<uint>("middle");
    const Colour mid = 0x00A000;
    const Colour shadow = 0xA00000;
    QTest::newRow("engraved") << 2 << true << 1 << false << uint(shadow) << uint(mid) << uint(kT);
    QTest::newRow("embossed") << 2 << true << 2 << false << uint(mid) << uint(shadow) << uint(kT);
    QTest::newRow("shadowed") << 2 << true << 3 << false << uint(shadow) << uint(shadow)
                              << uint(kT);
    // The gradient scheme's disabled look comes from the parent's background.
    QTest::newRow("gradient disabled")
        << 5 << false << 0 << false << uint(Shade(kParent, -192)) << uint(Shade(kParent, 31)) << 0u;
    QTest::newRow("gradient disabled selected")
        << 5 << false << 0 << true << uint(Shade(kParent, 31)) << uint(Shade(kParent, -192))
        << uint(Shade(kParent, 47));
}

void TstTamselCaption::captionEffects() {
    QFETCH(int, scheme);
    QFETCH(bool, enabled);
    QFETCH(int, captionStyle);
    QFETCH(bool, selectedOption);
    QFETCH(uint, topLeft);
    QFETCH(uint, bottomRight);
    QFETCH(uint, middle);
    TamselData d =
        schemeData(ButtonType::Classic3D, 120, 50, scheme, enabled, captionStyle, selectedOption);
    d.config.caption = QString(QChar(0x2588)); // a solid block
    d.config.font = QFont(QStringLiteral("DejaVu Sans"), 20);
    d.run.fontDirty = true;
    QImage back;
    Paint(back, d, false);
    // The block's three layers: the union is one pixel larger on every side than the text.
    QRect all;
    for (Colour c : {Colour(topLeft), Colour(bottomRight), Colour(middle)})
        all = all.united(boxOf(back, c));
    QVERIFY(all.width() > 6 && all.height() > 6);
    QCOMPARE(px(back, all.left(), all.top()), Colour(topLeft));
    QCOMPARE(px(back, all.right(), all.bottom()), Colour(bottomRight));
    QCOMPARE(px(back, all.center().x(), all.center().y()), Colour(middle));
}

// The underline is drawn in the main caption colour the look asks for, also where an effect or
// the gradient scheme gives the text itself another colour.
void TstTamselCaption::drawnUnderline_data() {
    QTest::addColumn<int>("scheme");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("captionStyle");
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("selectedOption");
    QTest::addColumn<uint>("main");  // the look's main caption colour
    QTest::addColumn<uint>("after"); // the face beyond the underline's end
    const int normal = VisualState::Normal;
    const uint grey = 0x808080; // both gradient colours
    QTest::newRow("plain") << 2 << true << 0 << normal << false << uint(kT) << uint(kF);
    QTest::newRow("hovered, engraved")
        << 2 << true << 1 << int(VisualState::Hover) << false << uint(kTO) << uint(kF);
    QTest::newRow("disabled, gradient") << 5 << false << 0 << normal << false << uint(kSh) << grey;
    QTest::newRow("selected option, gradient")
        << 5 << true << 0 << normal << true << uint(kT) << uint(kL);
}

void TstTamselCaption::drawnUnderline() {
    QFETCH(int, scheme);
    QFETCH(bool, enabled);
    QFETCH(int, captionStyle);
    QFETCH(int, state);
    QFETCH(bool, selectedOption);
    QFETCH(uint, main);
    QFETCH(uint, after);
    TamselData d =
        schemeData(ButtonType::ThinRaised, 120, 40, scheme, enabled, captionStyle, selectedOption);
    d.run.state = state;
    d.config.caption = QStringLiteral("x&x");
    d.config.font = QFont(QStringLiteral("DejaVu Sans"), 12);
    Accelerator(d);
    d.run.fontDirty = true;
    QImage back;
    Paint(back, d, false);
    const CaptionLayout& lay = d.layout;
    QVERIFY(lay.underlinePlaced);
    QVERIFY(lay.underlineLength > 0);
    for (int i = 0; i < lay.underlineLength; ++i)
        QCOMPARE(px(back, lay.underlineX + i, lay.underlineY), Colour(main));
    QCOMPARE(px(back, lay.underlineX + lay.underlineLength, lay.underlineY), Colour(after));
}

void TstTamselCaption::verticalCaptionRuns() {
    auto textBox = [](int orientation) {
        TamselData d = makeData(ButtonType::ThinRaised, 60, 160);
        d.config.caption = QStringLiteral("WWWW");
        d.config.font = QFont(QStringLiteral("DejaVu Sans"), 12);
        d.config.captionOrientation = orientation;
        d.run.fontDirty = true;
        QImage back;
        Paint(back, d, false);
        return std::make_pair(boxOf(back, kT), d.layout);
    };
    for (int o : {1, 2}) {
        const auto [box, lay] = textBox(o);
        QVERIFY(box.height() > 2 * box.width());
        // The printed text stays inside its text block.
        const QRect block(QPoint(lay.blockLeft, lay.blockTop),
                          QPoint(lay.blockRight - 1, lay.blockBottom - 1));
        QVERIFY2(block.adjusted(-2, -2, 2, 2).contains(box),
                 qPrintable(QStringLiteral("orientation %1").arg(o)));
    }
}

void TstTamselCaption::greyIconTakesTheFace() {
    // An icon with a transparent border around an opaque black square.
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x)
            icon.setPixel(x, y, qRgb(0, 0, 0));
    TamselData d = makeData(ButtonType::Classic3D, 80, 30);
    d.config.colorScheme = ColorScheme::CustomGradient;
    d.config.gradientStartColor = 0x000040;
    d.config.gradientStopColor = 0xFF0000;
    d.config.icon = icon;
    d.run.hasIcon = true;
    Layout(d, fixedPitch);
    QImage back;
    GreyIcon(back, d);
    const QImage& grey = d.run.greyIcon;
    QCOMPARE(grey.size(), QSize(16, 16));
    // The greyed square: shadow in place, highlight one pixel down and right of it.
    QCOMPARE(px(grey, 4, 4), kSh);
    QCOMPARE(px(grey, 11, 11), kSh);
    QCOMPARE(px(grey, 12, 12), kHi);
    // Transparent parts show the button's own greyed face (read one pixel down-right).
    const int ix = d.layout.iconX;
    const int iy = d.layout.iconY;
    QCOMPARE(px(grey, 0, 0), px(back, ix + 1, iy + 1));
    QCOMPARE(px(grey, 15, 2), px(back, ix + 16, iy + 3));
    QVERIFY(px(grey, 0, 0) != kF);
    // The back image holds the snapshot: the scratch area at (0, 0) is gone.
    QCOMPARE(px(back, 5, 5), px(back, 5, 20));

    // Drawn disabled, the greyed copy goes to the icon's place.
    d.config.enabled = false;
    Paint(back, d, false);
    QCOMPARE(px(back, ix + 4, iy + 4), kSh);
    QCOMPARE(px(back, ix + 12, iy + 12), kHi);
    // Enabled, the icon itself.
    d.config.enabled = true;
    Paint(back, d, false);
    QCOMPARE(px(back, ix + 4, iy + 4), Colour(0));
}

QTEST_MAIN(TstTamselCaption)
#include "tst_tamselcaption.moc"
