// The eight looks of the multi-style button, checked by pixels of the back image in their
// normal, pressed, focused, hovered, disabled and selected-option variants.
#include "controls/tamsel/shade.h"
#include "controls/tamsel/tamselpainter.h"
#include "tamselfixture.h"

#include <QTest>

using namespace qv::tamsel;
using namespace qv::tamsel::test;

namespace {

constexpr int W = 40;
constexpr int H = 23;

// One pixel expectation.
struct Expect {
    int x;
    int y;
    Colour colour;
};

enum Variant { Normal, Pressed, Focused, Hovered, Disabled, Selected, SelectedDisabled };

QImage paintVariant(int type, Variant v, int style = 0, int scheme = ColorScheme::SystemColors) {
    TamselData d = makeData(type, W, H, style);
    d.config.colorScheme = scheme;
    switch (v) {
    case Pressed:
        d.run.state = VisualState::Pressed;
        d.run.hasFocus = true;
        break;
    case Focused:
        d.run.state = VisualState::Focused;
        d.run.hasFocus = true;
        break;
    case Hovered:
        d.run.state = VisualState::Hover;
        d.run.mouseOver = true;
        break;
    case Disabled:
        d.config.enabled = false;
        break;
    case Selected:
        d.config.optionButton = true;
        d.config.value = true;
        break;
    case SelectedDisabled:
        d.config.optionButton = true;
        d.config.value = true;
        d.config.enabled = false;
        break;
    default:
        break;
    }
    QImage back;
    Paint(back, d, false);
    return back;
}

QString describe(const Expect& e, Colour actual) {
    return QStringLiteral("(%1,%2): expected %3, got %4")
        .arg(e.x)
        .arg(e.y)
        .arg(e.colour, 6, 16, QLatin1Char('0'))
        .arg(actual, 6, 16, QLatin1Char('0'));
}

// The inverted face colour: a pixel of the dotted focus rectangle.
constexpr Colour kFocusDot = kF ^ 0xFFFFFF;

Colour S(Colour c, int d) {
    return Shade(c, d, true);
}

} // namespace

Q_DECLARE_METATYPE(QList<Expect>)

namespace {

// Rows of the outlined bevel and classic 3D looks.
void addClassicRows() {
    // 1 OutlinedBevel: dark outline, two-line bevel inset by one.
    QTest::newRow("1 normal") << 1 << int(Normal) << 0
                              << QList<Expect>{{0, 0, kDk},     {W - 1, 5, kDk}, {1, 5, kHi},
                                               {5, 1, kHi},     {2, 5, kHi},     {W - 2, 5, kSh},
                                               {5, H - 2, kSh}, {10, 10, kF},    {4, 4, kF}};
    QTest::newRow("1 focused") << 1 << int(Focused) << 0 << QList<Expect>{{4, 4, kFocusDot}};
    QTest::newRow("1 pressed") << 1 << int(Pressed) << 0
                               << QList<Expect>{{0, 0, kDk},
                                                {1, 5, kSh},
                                                {W - 2, 5, kHi},
                                                {5, H - 2, kHi},
                                                {4, 4, kFocusDot}};
    QTest::newRow("1 selected") << 1 << int(Selected) << 0
                                << QList<Expect>{{0, 5, kSh}, {W - 1, 5, kHi}, {10, 10, kL}};

    // 2 Classic3D: no outline unless focused.
    QTest::newRow("2 normal") << 2 << int(Normal) << 0
                              << QList<Expect>{{0, 0, kF},      {0, 5, kF},      {1, 5, kHi},
                                               {2, 5, kL},      {W - 1, 5, kDk}, {W - 2, 5, kSh},
                                               {5, H - 1, kDk}, {4, 4, kF}};
    QTest::newRow("2 focused") << 2 << int(Focused) << 0
                               << QList<Expect>{{0, 0, kDk}, {0, 5, kDk}, {4, 4, kFocusDot}};
    QTest::newRow("2 pressed") << 2 << int(Pressed) << 0
                               << QList<Expect>{{0, 5, kDk},     {1, 5, kSh}, {W - 2, 5, kSh},
                                                {W - 1, 5, kDk}, {5, 5, kF},  {4, 4, kFocusDot}};
    QTest::newRow("2 disabled") << 2 << int(Disabled) << 0
                                << QList<Expect>{{0, 5, kF}, {1, 5, kHi}, {W - 1, 5, kDk}};
    QTest::newRow("2 selected")
        << 2 << int(Selected) << 0
        << QList<Expect>{{0, 5, kDk}, {1, 5, kSh}, {W - 1, 5, kHi}, {W - 2, 5, kL}, {10, 10, kL}};
}

// Rows of the framed flat, soft bevel, thin raised and hover raised looks.
void addFlatRows() {
    // 4 FramedFlat.
    QTest::newRow("4 normal") << 4 << int(Normal) << 0
                              << QList<Expect>{{5, 5, Shade(kF, 12)},   {1, 5, kHi},
                                               {0, 5, Shade(kSh, -26)}, {W - 2, 5, Shade(kSh, -26)},
                                               {W - 1, 5, kF},          {5, H - 2, Shade(kSh, -26)},
                                               {5, H - 1, kF}};
    // The fill stops at W - 2 and H - 2, the frame at W - 1 and H - 1: the last column and
    // row keep the background.
    QTest::newRow("4 pressed") << 4 << int(Pressed) << 0
                               << QList<Expect>{
                                      {5, 5, Shade(kSh, 16)},      {0, 5, Shade(kSh, -26)},
                                      {W - 2, 5, Shade(kSh, -26)}, {W - 1, 5, kF},
                                      {5, H - 2, Shade(kSh, -26)}, {5, H - 1, kF},
                                      {W - 1, H - 1, kF}};
    QTest::newRow("4 disabled") << 4 << int(Disabled) << 0
                                << QList<Expect>{{0, 5, kSh}, {W - 1, 5, kSh}, {5, 5, kF}};
    QTest::newRow("4 slanted dots")
        << 4 << int(Normal) << int(ButtonStyle::SlantRight)
        << QList<Expect>{{1, H - 2, Shade(kSh, 26)}, {W - 2, 1, Shade(kSh, 26)}};
    QTest::newRow("4 selected") << 4 << int(Selected) << 0
                                << QList<Expect>{
                                       {10, 10, Shade(kL, 2)}, {0, 5, kSh}, {W - 1, 5, kHi}};

    // 5 SoftBevel: A = light lightened by 8, no outline.
    const Colour A = Shade(kL, 8);
    QTest::newRow("5 normal") << 5 << int(Normal) << 0
                              << QList<Expect>{
                                     {0, 5, A}, {1, 5, A}, {W - 1, 5, kSh}, {W - 2, 5, kSh}};
    QTest::newRow("5 pressed")
        << 5 << int(Pressed) << 0
        << QList<Expect>{{0, 5, kSh}, {1, 5, kSh}, {W - 1, 5, A}, {W - 2, 5, A}, {5, H - 1, A}};

    // 6 ThinRaised.
    QTest::newRow("6 normal") << 6 << int(Normal) << 0
                              << QList<Expect>{{0, 5, kHi}, {W - 1, 5, kSh}, {1, 5, kF}};
    QTest::newRow("6 pressed") << 6 << int(Pressed) << 0
                               << QList<Expect>{{0, 5, kSh}, {W - 1, 5, kHi}, {4, 4, kFocusDot}};
    QTest::newRow("6 disabled") << 6 << int(Disabled) << 0
                                << QList<Expect>{{0, 5, kHi}, {W - 1, 5, kSh}};
    // 7 HoverRaised: flat until hovered; disabled shows a shadow frame.
    QTest::newRow("7 normal") << 7 << int(Normal) << 0 << QList<Expect>{{0, 5, kF}, {W - 1, 5, kF}};
    QTest::newRow("7 hovered") << 7 << int(Hovered) << 0
                               << QList<Expect>{{0, 5, kHi}, {W - 1, 5, kSh}};
    QTest::newRow("7 disabled") << 7 << int(Disabled) << 0
                                << QList<Expect>{{0, 5, kSh}, {W - 1, 5, kSh}, {5, 0, kSh}};
}

// Rows of the Windows XP look.
void addWindowsXPRows() {
    // 3 WindowsXP.
    const Colour Q = S(kF, 48);
    const Colour P = S(Q, -32);
    const Colour N = S(S(kF, -22), 32);
    QTest::newRow("3 normal")
        << 3 << int(Normal) << 0
        << QList<Expect>{{0, 5, 0x733C00},      {1, 1, 0x7B4D10}, {W - 2, H - 2, 0x7B4D10},
                         {5, H - 2, S(Q, -48)}, {5, H - 3, P},    {W - 2, 5, S(Q, -36)},
                         {W - 3, 5, S(Q, -24)}, {5, 1, S(Q, 16)}, {5, 2, S(Q, 10)},
                         {1, 5, S(Q, -5)},      {2, 5, S(Q, -10)}};
    QTest::newRow("3 hovered") << 3 << int(Hovered) << 0
                               << QList<Expect>{{2, 5, 0x31B2FF},     {1, 5, 0x6BCBFF},
                                                {5, H - 2, 0x0096E7}, {5, 1, 0xCEF3FF},
                                                {W - 2, 5, 0x6BCBFF}, {0, 5, 0x733C00}};
    QTest::newRow("3 focused") << 3 << int(Focused) << 0
                               << QList<Expect>{{1, 5, 0xE7AE8C},     {3, 5, 0xF0D1B5},
                                                {5, H - 2, 0xE7AE8C}, // over the bottom line
                                                {5, H - 3, 0xE7AE8C}, {5, 3, 0xFFE7CE},
                                                {W - 4, 5, 0xF0D1B5}, {W - 2, 5, 0xE7AE8C},
                                                {5, 1, 0xE7AE8C}};
    QTest::newRow("3 pressed") << 3 << int(Pressed) << 0
                               << QList<Expect>{{0, 5, 0x733C00},     {1, 1, 0x7B4D10},
                                                {5, H - 2, S(P, 16)}, {W - 2, 5, S(P, 5)},
                                                {W - 3, 5, 0xE7AE8C}, {5, 1, S(P, -32)},
                                                {1, 5, 0xE7AE8C}, // focus frame
                                                {5, H - 3, 0xE7AE8C}, {10, 10, S(P, -14)}};
    QTest::newRow("3 disabled") << 3 << int(Disabled) << 0
                                << QList<Expect>{
                                       {10, 10, S(Q, -24)}, {0, 5, S(Q, -84)}, {1, 1, S(Q, -72)}};
    QTest::newRow("3 selected") << 3 << int(Selected) << 0
                                << QList<Expect>{{0, 5, 0x733C00},
                                                 {5, H - 2, S(N, -48)},
                                                 {5, 1, S(N, 16)},
                                                 {10, 10, S(N, -14)}};
    QTest::newRow("3 slanted") << 3 << int(Normal) << int(ButtonStyle::SlantRight)
                               << QList<Expect>{{1, 1, S(Q, -1)}, {0, 5, 0x733C00}};
}

// Rows of the Macintosh look.
void addMacintoshRows() {
    // 8 Macintosh: the detail dots of the rounded corners.
    const Colour s16 = Shade(kSh, -16);
    QTest::newRow("8 normal") << 8 << int(Normal) << 0
                              << QList<Expect>{
                                     {0, 0, kDk},         {1, 1, kDk},     {W - 2, H - 2, kDk},
                                     {1, 2, kF},          {2, 1, kF},      {2, 2, kHi},
                                     {3, 3, kHi},         {5, 2, kHi},     {2, 5, kHi},
                                     {W - 3, H - 3, kSh}, {W - 2, 5, kSh}, {5, H - 2, kSh},
                                     {W - 3, 5, kF},      {5, H - 3, kF},  {10, 10, kL}};
    QTest::newRow("8 pressed") << 8 << int(Pressed) << 0
                               << QList<Expect>{{0, 0, kDk},         {10, 10, s16},
                                                {1, 1, s16},         {W - 2, 5, s16},
                                                {W - 2, H - 2, kDk}, {2, H - 2, Shade(kSh, -32)},
                                                {5, H - 1, kDk}};
    QTest::newRow("8 selected as pressed")
        << 8 << int(Selected) << 0 << QList<Expect>{{10, 10, s16}, {W - 2, 5, s16}};
    QTest::newRow("8 slanted") << 8 << int(Normal) << int(ButtonStyle::SlantBoth)
                               << QList<Expect>{
                                      {5, 2, kL}, {10, 5, kL}, {W - 3, H - 3, kL}, {0, 0, kDk}};
}

} // namespace

class TstTamselLooks : public QObject {
    Q_OBJECT
private slots:
    void pixels_data();
    void pixels();
    void xpFaceRows_data();
    void xpFaceRows();
    void hoverRaisedShowsParentUntilHovered();
    void snapshotDrawsNoCaption_data();
    void snapshotDrawsNoCaption();
    void snapshotRestoresState();
    void designTimeResetsState();
    void focusMarkPlacement_data();
    void focusMarkPlacement();
    void tinySizes_data();
    void tinySizes();
};

void TstTamselLooks::pixels_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("variant");
    QTest::addColumn<int>("style");
    QTest::addColumn<QList<Expect>>("expected");
    addClassicRows();
    addFlatRows();
    addWindowsXPRows();
    addMacintoshRows();
}

void TstTamselLooks::pixels() {
    QFETCH(int, type);
    QFETCH(int, variant);
    QFETCH(int, style);
    QFETCH(QList<Expect>, expected);
    const QImage img = paintVariant(type, Variant(variant), style);
    QCOMPARE(img.size(), QSize(W, H));
    for (const Expect& e : expected) {
        const Colour actual = px(img, e.x, e.y);
        QVERIFY2(actual == e.colour, qPrintable(describe(e, actual)));
    }
}

void TstTamselLooks::xpFaceRows_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("delta");
    // 25 levels over H = 23 rows; the row's shading is rnd(-25/23 * row), halves to even.
    QTest::newRow("row 3") << 3 << -3;
    QTest::newRow("row 4") << 4 << -4;
    QTest::newRow("row 12") << 12 << -13;
    QTest::newRow("row 19") << 19 << -21;
}

void TstTamselLooks::xpFaceRows() {
    QFETCH(int, row);
    QFETCH(int, delta);
    const QImage img = paintVariant(ButtonType::WindowsXP, Normal);
    const Colour Q = S(kF, 48);
    QCOMPARE(px(img, 10, row), S(Q, delta));
    QCOMPARE(px(img, W - 5, row), S(Q, delta));
}

void TstTamselLooks::hoverRaisedShowsParentUntilHovered() {
    const QImage flat = paintVariant(ButtonType::HoverRaised, Normal, 0, ColorScheme::CustomColors);
    QCOMPARE(px(flat, 10, 10), kParent);
    QCOMPARE(px(flat, 0, 5), kParent);
    const QImage raised =
        paintVariant(ButtonType::HoverRaised, Hovered, 0, ColorScheme::CustomColors);
    QCOMPARE(px(raised, 10, 10), kF);
    QCOMPARE(px(raised, 0, 5), kHi);
    // Under the system colours the face is always drawn.
    const QImage system = paintVariant(ButtonType::HoverRaised, Normal);
    QCOMPARE(px(system, 10, 10), kF);
}

void TstTamselLooks::snapshotDrawsNoCaption_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("selected");
    for (int t = 1; t <= 8; ++t) {
        QTest::addRow("type %d", t) << t << false;
        QTest::addRow("type %d selected", t) << t << true;
    }
}

void TstTamselLooks::snapshotDrawsNoCaption() {
    QFETCH(int, type);
    QFETCH(bool, selected);
    auto render = [&](const QString& caption, bool snapshot) {
        TamselData d = makeData(type, 80, 30);
        d.config.caption = caption;
        d.config.font = QFont(QStringLiteral("DejaVu Sans"), 12);
        d.config.optionButton = selected;
        d.config.value = selected;
        d.run.fontDirty = true;
        QImage back;
        Paint(back, d, snapshot);
        return back;
    };
    const QImage empty = render(QString(), true);
    QCOMPARE(render(QStringLiteral("WWWW"), true), empty);
    // Not a snapshot: the disabled caption shows.
    TamselData d = makeData(type, 80, 30);
    d.config.caption = QStringLiteral("WWWW");
    d.config.font = QFont(QStringLiteral("DejaVu Sans"), 12);
    d.config.enabled = false;
    d.config.optionButton = selected;
    d.config.value = selected;
    d.run.fontDirty = true;
    QImage disabled;
    Paint(disabled, d, false);
    QVERIFY(disabled != empty);
}

void TstTamselLooks::snapshotRestoresState() {
    TamselData d = makeData(ButtonType::Classic3D, W, H);
    d.run.state = VisualState::Hover;
    QImage back;
    Paint(back, d, true);
    QCOMPARE(d.run.state, int(VisualState::Hover));
    QVERIFY(d.config.enabled);
    // Painted disabled: no focus or hover effects, the disabled bevel.
    QCOMPARE(px(back, 1, 5), kHi);
}

void TstTamselLooks::designTimeResetsState() {
    TamselData d = makeData(ButtonType::Classic3D, W, H);
    d.run.designMode = true;
    d.run.state = VisualState::Pressed;
    QImage back;
    Paint(back, d, false);
    QCOMPARE(d.run.state, int(VisualState::Normal));
    QCOMPARE(px(back, 1, 5), kSh); // drawn pressed all the same
}

void TstTamselLooks::focusMarkPlacement_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("style");
    QTest::addColumn<bool>("showFocus");
    QTest::addColumn<bool>("aroundCaption");
    QTest::newRow("classic: inset by 4") << 2 << 0 << true << false;
    QTest::newRow("framed flat: around the caption") << 4 << 0 << true << true;
    QTest::newRow("slanted: around the caption") << 2 << 1 << true << true;
    QTest::newRow("focus not shown") << 2 << 0 << false << false;
}

void TstTamselLooks::focusMarkPlacement() {
    QFETCH(int, type);
    QFETCH(int, style);
    QFETCH(bool, showFocus);
    QFETCH(bool, aroundCaption);
    const int w = 120, h = 40;
    auto render = [&](bool focused, TamselData* out) {
        TamselData d = makeData(type, w, h, style);
        d.config.caption = QStringLiteral("Hi");
        d.config.font = QFont(QStringLiteral("DejaVu Sans"), 10);
        d.config.showFocus = showFocus;
        d.run.hasFocus = focused;
        d.run.state = focused ? VisualState::Focused : VisualState::Normal;
        d.run.fontDirty = true;
        QImage back;
        Paint(back, d, false);
        if (out)
            *out = d;
        return back;
    };
    TamselData d;
    const QImage focused = render(true, &d);
    const QImage plain = render(false, nullptr);
    QRect mark = aroundCaption ? QRect(QPoint(d.layout.blockLeft, d.layout.blockTop),
                                       QPoint(d.layout.blockRight - 1, d.layout.blockBottom - 1))
                               : QRect(QPoint(4, 4), QPoint(w - 5, h - 5));
    // Along the mark's top edge every other pixel is the inverse of the unfocused one.
    int inverted = 0;
    for (int x = mark.left(); x <= mark.right(); ++x) {
        const Colour a = px(focused, x, mark.top());
        const Colour b = px(plain, x, mark.top());
        if (a == (b ^ 0xFFFFFF))
            ++inverted;
    }
    if (showFocus)
        QVERIFY(inverted >= mark.width() / 2);
    else
        QCOMPARE(inverted, 0);
    // Nothing inverted just outside the mark's top-left corner.
    if (type != ButtonType::Classic3D || aroundCaption)
        QCOMPARE(px(focused, mark.left() - 1, mark.top() - 1),
                 px(plain, mark.left() - 1, mark.top() - 1));
}

void TstTamselLooks::tinySizes_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("style");
    for (int t = 1; t <= 8; ++t)
        for (int s = 0; s <= 3; s += 3)
            QTest::addRow("type %d style %d", t, s) << t << s;
}

void TstTamselLooks::tinySizes() {
    // Buttons too small for their frames, caption and icon still paint without harm.
    QFETCH(int, type);
    QFETCH(int, style);
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::red);
    for (const QSize size : {QSize(1, 1), QSize(3, 2), QSize(10, 4), QSize(2, 30), QSize(30, 6)}) {
        for (int o = 0; o <= 2; ++o) {
            TamselData d = makeData(type, size.width(), size.height(), style);
            d.config.caption = QStringLiteral(" lead&ing and  trailing spaces ");
            d.config.font = QFont(QStringLiteral("DejaVu Sans"), 12);
            d.config.captionOrientation = o;
            d.config.icon = icon;
            d.run.hasIcon = true;
            d.run.hasFocus = true;
            d.run.fontDirty = true;
            QImage back;
            Paint(back, d, false);
            QCOMPARE(back.size(), size);
            d.run.state = VisualState::Pressed;
            Paint(back, d, false);
            d.config.enabled = false;
            Paint(back, d, false);
            QVERIFY(!d.layout.lines.empty());
        }
    }
    TamselData none = makeData(type, 0, 0, style);
    QImage back;
    Paint(back, none, false);
    QVERIFY(back.isNull());
}

QTEST_MAIN(TstTamselLooks)
#include "tst_tamsellooks.moc"
