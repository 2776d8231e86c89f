#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <cmath>

// Window positions are designed in twips: 1/1440 inch, 15 twips to the pixel at 96 dots per inch.
namespace qv {

inline constexpr int kTwipsPerPixel = 15;

// Nearest integer; an exact half goes to the even neighbour.
inline int roundHalfEven(double value) {
    return static_cast<int>(std::nearbyint(value));
}

inline int twipsToPixels(int twips) {
    return roundHalfEven(static_cast<double>(twips) / kTwipsPerPixel);
}
inline constexpr int pixelsToTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}

inline QPoint twipsToPixels(QPoint twips) {
    return {twipsToPixels(twips.x()), twipsToPixels(twips.y())};
}
inline QSize twipsToPixels(QSize twips) {
    return {twipsToPixels(twips.width()), twipsToPixels(twips.height())};
}

// A rectangle given as left, top, width, height in twips.
inline QRect twipsToPixels(int left, int top, int width, int height) {
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

} // namespace qv
