#pragma once

#include "controls/tamsel/primitives.h"
#include "controls/tamsel/tamselstate.h"

#include <QImage>
#include <QSize>

// A button's data with a palette of seven distinguishable colours, and pixel reading helpers.
namespace qv::tamsel::test {

inline constexpr Colour kF = 0xC0C0C0;
inline constexpr Colour kL = 0xD0D8E0;
inline constexpr Colour kHi = 0xF0F4F8;
inline constexpr Colour kSh = 0x807060;
inline constexpr Colour kDk = 0x201008;
inline constexpr Colour kT = 0x0000C0;
inline constexpr Colour kTO = 0x00C000;
inline constexpr Colour kParent = 0x336699;

inline TamselData makeData(int type, int W, int H, int style = 0) {
    TamselData d;
    d.config.buttonType = type;
    d.config.buttonStyle = style;
    d.config.caption.clear();
    d.run.clientSize = QSize(W, H);
    d.run.palette = TamselPalette{kF, kL, kHi, kSh, kDk, kT, kTO};
    d.run.parentBackColor = kParent;
    return d;
}

inline Colour px(const QImage& img, int x, int y) {
    return fromQRgb(img.pixel(x, y));
}

// The bounding box of every pixel of the given colour; null when there is none.
inline QRect boxOf(const QImage& img, Colour c) {
    QRect r;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (px(img, x, y) == c)
                r = r.united(QRect(x, y, 1, 1));
    return r;
}

inline QImage blank(int W, int H, Colour c = 0x123456) {
    QImage img(W, H, QImage::Format_RGB32);
    img.fill(toQRgb(c));
    return img;
}

} // namespace qv::tamsel::test
