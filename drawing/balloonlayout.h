#pragma once

#include <QRect>
#include <QRegion>
#include <QSize>
#include <QString>

// The measurements of the balloon tip window, kept apart from the widget so they can be checked
// as plain values. Every number here is in pixels unless its name says twips.
namespace qv::balloon {

// Corner ellipse of the window's outline and of its border.
inline constexpr int kCornerEllipse = 25;
// Title band colour RGB(243, 245, 158); as a packed 0x00BBGGRR value 10417651.
inline constexpr unsigned kTitleBandRgb = 0xF3F59E;
inline constexpr unsigned kTitleBandPacked = 10417651;

// Design sizes of the children (twips at design, pixels here).
inline constexpr int kTitleHeight = 17;     // 255 twips
inline constexpr int kIconSize = 16;        // 240 twips
inline constexpr int kCloseImageSize = 16;  // 240 twips
inline constexpr int kCloseGlyphSize = 13;  // 195 twips
inline constexpr int kLinkStripHeight = 20; // 300 twips
inline constexpr int kDesignWidthTwips = 4680;
inline constexpr int kDesignHeightTwips = 1905;
inline constexpr int kLongestAutoClose = 65535; // the timer's range, ms

enum class Icon {
    None,
    Information,
    InformationClassic,
    Error,
    ErrorClassic,
    Warning,
    WarningClassic
};

// "i", "i9", "x", "x9", "!", "!9" in any case; anything else shows no icon.
Icon iconForCode(const QString& code);
// 0 information, 1 error, 2 warning; -1 for none.
int iconSlot(Icon icon);
bool isClassic(Icon icon);

// The window outline: a rounded rectangle from (0, 0) to (size) exclusive, corner ellipse 25 x 25.
// A pixel belongs to it when its centre lies inside the rounded rectangle.
QRegion roundedRegion(QSize size, int ellipse = kCornerEllipse);

// Where the children go for an inner size W x H, title height T and link strip height S.
struct Layout {
    QRect body;
    QRect closeGlyph; // the cross over the close button
    QRect closeImage; // the close button (its up and down pictures share the place)
    QRect icon;       // the icon left of the title
    QRect title;      // the title text
    QRect titleBand;  // the painted band: the title label's rectangle
    QRect border;     // RoundRect corners: (0, 0) to (W - 1, H - 1)
    QRect linkStrip;
};

Layout layoutFor(QSize inner, int titleHeight = kTitleHeight, int stripHeight = 0,
                 QSize closeGlyph = {kCloseGlyphSize, kCloseGlyphSize},
                 QSize closeImage = {kCloseImageSize, kCloseImageSize},
                 QSize icon = {kIconSize, kIconSize});

// The window height in twips setBalloon uses: with the link strip kept it grows by twelve times
// the strip's height in pixels.
int heightWithLinkStrip(int heightTwips, bool keepStrip, int stripHeightPixels = kLinkStripHeight);

} // namespace qv::balloon
