#pragma once

#include "controls/tamsel/tamselstate.h"

#include <QFont>
#include <QImage>
#include <QString>
#include <functional>

// The caption font, the printing of the caption with its effects, and the greyed icon.
namespace qv::tamsel {

// "No colour": a caption layer given this colour is skipped.
inline constexpr Colour kNoColour = 0xFFFFFFFFu;

// The caption font as described to the platform, and the font realised from it.
struct CaptionFont {
    QString faceName;   // the font's name, plus " Bold" and/or " Italic"
    int height = 0;     // negative: character height in pixels
    int escapement = 0; // tenths of a degree: 0, 900 (VerticalUp) or 2700 (VerticalDown)
    bool underline = false;
    bool strikeOut = false;
    QFont unrotated; // the realised font, used for measuring
};

// The description of the caption font for the current configuration, without side effects.
CaptionFont CaptionFontFor(const TamselData& d);

// Whether a font scales to any size (an outline font); bitmap fonts do not rotate well.
using ScalableCheck = std::function<bool(const QFont&)>;

// Builds the caption font. For a vertical caption in a font that is not scalable it tells the
// host at design time (d.run.notice) "Non-True Type fonts may not draw vertically"; the
// caption is drawn all the same. With withLayout set the caption is laid out (in the
// unrotated font) as well.
CaptionFont MakeFont(TamselData& d, bool withLayout, const ScalableCheck& isScalable = {});

// Prints the caption lines, the accelerator underline and the icon on the back image. upper
// is drawn one pixel up and left, lower one pixel down and right, main in place; a layer of
// kNoColour is skipped. The enabled/effect rules may replace the three colours.
void DrawCaption(QImage& back, TamselData& d, Colour main, Colour lower = kNoColour,
                 Colour upper = kNoColour);

// Rebuilds the greyed icon (d.run.greyIcon, Z x Z) from the icon: drawn disabled, scaled to
// the square, its transparent parts taken from the button's own greyed face. Paints the back
// image (snapshot) on the way. Does nothing without an icon.
void GreyIcon(QImage& back, TamselData& d);

} // namespace qv::tamsel
