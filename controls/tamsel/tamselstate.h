#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

// Everything a TamselButton knows about itself, as plain data: the stored configuration (what
// is persisted), the run-time state (palette, visual state, flags) and the caption layout. The
// painting routines and the colour maths read and write these structs; the widget owns one
// TamselData and hands it over. No widgets here.
namespace qv::tamsel {

// A colour as 0x00BBGGRR (red in the low byte). A value with the top bit set (0x800000nn)
// names system colour nn until it is translated.
using Colour = std::uint32_t;

inline constexpr Colour rgbColour(int r, int g, int b) {
    return static_cast<Colour>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
inline constexpr int redOf(Colour c) {
    return static_cast<int>(c & 0xFF);
}
inline constexpr int greenOf(Colour c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
inline constexpr int blueOf(Colour c) {
    return static_cast<int>((c >> 16) & 0xFF);
}
inline QColor toQColor(Colour c) {
    return QColor(redOf(c), greenOf(c), blueOf(c));
}
inline QRgb toQRgb(Colour c) {
    return qRgb(redOf(c), greenOf(c), blueOf(c));
}
inline Colour fromQColor(const QColor& c) {
    return rgbColour(c.red(), c.green(), c.blue());
}
inline Colour fromQRgb(QRgb c) {
    return rgbColour(qRed(c), qGreen(c), qBlue(c));
}

// Looks.
struct ButtonType {
    enum Value : int {
        OutlinedBevel = 1,
        Classic3D = 2,
        WindowsXP = 3,
        FramedFlat = 4,
        SoftBevel = 5,
        ThinRaised = 6,
        HoverRaised = 7,
        Macintosh = 8,
    };
};

struct ColorScheme {
    enum Value : int {
        SystemColors = 1,
        CustomColors = 2,
        ClassicGrey = 3,
        ContainerColors = 4,
        CustomGradient = 5,
    };
};

// Outline: how far the corners are cut back by the slanted styles.
struct ButtonStyle {
    enum Value : int { Rectangular = 0, SlantRight = 1, SlantBoth = 2, SlantLeft = 3 };
};

struct CaptionStyle {
    enum Value : int { Plain = 0, Engraved = 1, Embossed = 2, Shadowed = 3 };
};

struct CaptionOrientation {
    enum Value : int { Horizontal = 0, VerticalUp = 1, VerticalDown = 2 };
};

struct Alignment {
    enum Value : int { Left = 0, Center = 1, Right = 2 };
};

struct IconAlignmentValue {
    enum Value : int { IconLeft = 0, IconRight = 1 };
};

// 0 start colour left, 1 start top, 2 start right, 3 start bottom.
struct GradientOrientation {
    enum Value : int { LeftToRight = 0, TopToBottom = 1, RightToLeft = 2, BottomToTop = 3 };
};

struct VisualState {
    enum Value : int { Normal = 0, Snapshot = 1, Pressed = 2, Focused = 3, Hover = 4 };
};

// The persisted configuration, with the values of a newly placed instance (the colours that
// come from the system are filled in by the control when it is created).
struct TamselConfig {
    int buttonType = ButtonType::Classic3D;                  // 1..8
    int buttonStyle = ButtonStyle::Rectangular;              // 0..3
    QString caption;                                         // with "&" accelerator markers
    bool enabled = true;                                     // also the click-allowed flag
    QFont font;                                              // TextFont
    int colorScheme = ColorScheme::SystemColors;             // 1..5
    Colour backColor = 0xC0C0C0;                             // BackColor
    Colour foreColor = 0x000000;                             // ForeColor
    Colour mouseOver = 0x000000;                             // MouseOver (hover text colour)
    Colour gradientStartColor = 0x000000;                    // GradientStartColor
    Colour gradientStopColor = 0xFF0000;                     // GradientStopColor
    int gradientOrientation = 0;                             // 0..3 (not range checked)
    Colour embossEngraveMid = 0xC0C0C0;                      // EmbossEngraveMid
    Colour embossEngraveShadow = 0xFFFFFF;                   // EmbossEngraveShadow
    int alignment = Alignment::Center;                       // 0..2
    int iconAlignmentValue = IconAlignmentValue::IconLeft;   // 0..1
    int captionStyle = CaptionStyle::Plain;                  // 0..3
    int captionOrientation = CaptionOrientation::Horizontal; // 0..2
    int iconSize = 2;                                        // 1..4, square of iconSize * 8 pixels
    QImage icon;                                             // null = no icon
    int graphicsMode = -1;                                   // requested; -1 automatic
    bool showFocus = true;
    bool optionButton = false;
    bool value = false;
    int mousePointer = 0; // pointer code, kept for the host surface
    QImage mouseIcon;     // null = none

    int iconSquare() const { return iconSize * 8; } // Z
};

// The seven colours every look draws with.
struct TamselPalette {
    Colour F = 0xC0C0C0;  // face
    Colour L = 0xDFDFDF;  // light
    Colour Hi = 0xFFFFFF; // highlight
    Colour Sh = 0x808080; // shadow
    Colour Dk = 0x000000; // dark shadow
    Colour T = 0x000000;  // text
    Colour TO = 0x000000; // hover text
};

// One printed caption line.
struct CaptionLine {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    QString text;
};

// Where the caption lines, the accelerator underline and the icon go.
struct CaptionLayout {
    std::vector<CaptionLine> lines; // at least one record once laid out
    int blockLeft = 0;              // text block rectangle (left, top, right, bottom)
    int blockTop = 0;
    int blockRight = 0;
    int blockBottom = 0;
    bool underlinePlaced = false; // accelerator placed on a line
    int underlineLine = 0;        // index of the line holding the accelerator
    int underlineX = 0;           // ux
    int underlineY = 0;           // uy
    int underlineLength = 0;      // width of the accelerator character
    int iconX = 0;
    int iconY = 0;
};

// Run-time state, never persisted.
struct TamselRuntime {
    bool designMode = false; // the host's design-mode flag at the time of the call
    QSize clientSize;        // W x H in pixels
    int graphicsMode = 0;    // effective graphics mode (0, 1, 2 or a forced value)
    TamselPalette palette;   // derived from the colour scheme
    int state = VisualState::Normal;
    bool hasFocus = false;
    bool mouseOver = false;
    int lastButton = 1;                // |button code| of the last press, one byte
    int lastKey = 0;                   // low byte of the last key code pressed
    bool hasIcon = false;              // Icon is set
    bool shown = false;                // set by the first show; gates resizing work
    bool fontDirty = false;            // caption, font or caption direction changed
    Colour parentBackColor = 0xC0C0C0; // background of the parent's drawing surface
    Colour parentTextColor = 0x000000; // text colour of the parent's drawing surface
    int accelerator = 0;               // k: position of the accelerator in the display text, 0 none
    QChar accessKey;                   // lower-cased access key taken from the caption; null none
    QImage greyIcon;                   // picIcon: the Z x Z greyed icon
    // Messages that the painting routines show at design time (e.g. about vertical fonts).
    std::function<void(const QString&)> notice;
};

// What the painting routines are handed: everything above in one place.
struct TamselData {
    TamselConfig config;
    TamselRuntime run;
    CaptionLayout layout;
};

} // namespace qv::tamsel
