#pragma once

#include "controls/tamsel/tamselstate.h"

#include <QImage>
#include <QPoint>
#include <optional>
#include <vector>

// Raster operations over a QImage with the semantics the button looks are written against:
// lines exclude their end point, frames are drawn just inside their rectangle, a rectangle
// (l, t, r, b) covers columns l..r-1 and rows t..b-1. Nothing is antialiased; pixels outside
// the image are silently skipped.
namespace qv::tamsel {

class Canvas {
public:
    // The image is converted to a 32-bit format when it is not one already.
    explicit Canvas(QImage& image);

    QImage& image() { return image_; }
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }

    // One pixel (SetPixelV); outside the image nothing happens.
    void setPixel(int x, int y, Colour colour);
    // The pixel's colour (GetPixel); nothing when the point lies outside the image.
    std::optional<Colour> pixel(int x, int y) const;

    // The current pen (solid, one pixel wide) and the current position.
    void selectPen(Colour colour) { pen_ = colour; }
    Colour pen() const { return pen_; }
    void moveTo(int x, int y) { position_ = QPoint(x, y); }
    QPoint position() const { return position_; }
    // Draws from the current position to (x, y) without the end point, which becomes the
    // current position.
    void lineTo(int x, int y);

    // Fills (l, t, r, b) (FillRect); an empty or inverted rectangle draws nothing.
    void fillRect(int l, int t, int r, int b, Colour colour);
    // A one-pixel frame along the inside of (l, t, r, b) (FrameRect).
    void frameRect(int l, int t, int r, int b, Colour colour);
    // The closed outline through the points with the current pen, not filled (Polygon).
    void polygon(const std::vector<QPoint>& points);
    // The inverting dotted frame along the inside of (l, t, r, b) (DrawFocusRect): every
    // other pixel, on the pattern aligned to the image origin, has its colour inverted.
    // Drawing it twice restores the image.
    void drawFocusRect(int l, int t, int r, int b);
    // A two-colour linear fill of (l, t, r, b) (GradientFill with two vertices). Channels are
    // 16-bit values (8-bit channel in the high byte); vertical fills run top to bottom,
    // horizontal fills left to right, from `from` to `to`.
    void gradientFill(int l, int t, int r, int b, Colour from, Colour to, bool vertical);

private:
    void plot(int x, int y, Colour colour);
    void invert(int x, int y);

    QImage& image_;
    Colour pen_ = 0;
    QPoint position_;
};

} // namespace qv::tamsel
