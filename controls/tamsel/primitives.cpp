#include "controls/tamsel/primitives.h"

#include <algorithm>
#include <cstdlib>

namespace qv::tamsel {

Canvas::Canvas(QImage& image) : image_(image) {
    const auto f = image_.format();
    if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 &&
        f != QImage::Format_ARGB32_Premultiplied)
        image_ = image_.convertToFormat(QImage::Format_RGB32);
}

void Canvas::plot(int x, int y, Colour colour) {
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height())
        return;
    reinterpret_cast<QRgb*>(image_.scanLine(y))[x] = toQRgb(colour);
}

void Canvas::setPixel(int x, int y, Colour colour) {
    plot(x, y, colour);
}

std::optional<Colour> Canvas::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height())
        return std::nullopt;
    return fromQRgb(reinterpret_cast<const QRgb*>(image_.constScanLine(y))[x]);
}

void Canvas::invert(int x, int y) {
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height())
        return;
    QRgb& p = reinterpret_cast<QRgb*>(image_.scanLine(y))[x];
    p = (p & 0xFF000000u) | (~p & 0x00FFFFFFu);
}

void Canvas::lineTo(int x, int y) {
    // Bresenham from the current position; the last point is left out.
    int x0 = position_.x();
    int y0 = position_.y();
    const int dx = std::abs(x - x0);
    const int dy = -std::abs(y - y0);
    const int sx = x0 < x ? 1 : -1;
    const int sy = y0 < y ? 1 : -1;
    int err = dx + dy;
    while (x0 != x || y0 != y) {
        plot(x0, y0, pen_);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
    position_ = QPoint(x, y);
}

void Canvas::fillRect(int l, int t, int r, int b, Colour colour) {
    l = std::max(l, 0);
    t = std::max(t, 0);
    r = std::min(r, image_.width());
    b = std::min(b, image_.height());
    const QRgb c = toQRgb(colour);
    for (int y = t; y < b; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
        std::fill(line + l, line + std::max(l, r), c);
    }
}

void Canvas::frameRect(int l, int t, int r, int b, Colour colour) {
    if (r <= l || b <= t)
        return;
    fillRect(l, t, r, t + 1, colour);
    fillRect(l, b - 1, r, b, colour);
    fillRect(l, t, l + 1, b, colour);
    fillRect(r - 1, t, r, b, colour);
}

void Canvas::polygon(const std::vector<QPoint>& points) {
    if (points.empty())
        return;
    const QPoint saved = position_;
    moveTo(points.front().x(), points.front().y());
    for (std::size_t i = 1; i < points.size(); ++i)
        lineTo(points[i].x(), points[i].y());
    lineTo(points.front().x(), points.front().y());
    if (points.size() == 1)
        plot(points.front().x(), points.front().y(), pen_);
    position_ = saved;
}

void Canvas::drawFocusRect(int l, int t, int r, int b) {
    if (r <= l || b <= t)
        return;
    auto dotted = [this](int x0, int y0, int x1, int y1) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (((x + y) & 1) == 0)
                    invert(x, y);
    };
    // Four strips; the side strips leave out the rows of the top and bottom strips so that
    // no pixel is inverted twice.
    dotted(l, t, r, t + 1);
    if (b - 1 > t)
        dotted(l, b - 1, r, b);
    dotted(l, t + 1, l + 1, b - 1);
    if (r - 1 > l)
        dotted(r - 1, t + 1, r, b - 1);
}

void Canvas::gradientFill(int l, int t, int r, int b, Colour from, Colour to, bool vertical) {
    if (r <= l || b <= t)
        return;
    const long long c0[3] = {redOf(from) * 256LL, greenOf(from) * 256LL, blueOf(from) * 256LL};
    const long long c1[3] = {redOf(to) * 256LL, greenOf(to) * 256LL, blueOf(to) * 256LL};
    const long long span = vertical ? b - t : r - l;
    auto colourAt = [&](long long step) {
        int ch[3];
        for (int i = 0; i < 3; ++i)
            ch[i] = static_cast<int>((c0[i] + (c1[i] - c0[i]) * step / span) >> 8);
        return rgbColour(ch[0], ch[1], ch[2]);
    };
    if (vertical) {
        for (int y = t; y < b; ++y)
            fillRect(l, y, r, y + 1, colourAt(y - t));
    } else {
        for (int x = l; x < r; ++x)
            fillRect(x, t, x + 1, b, colourAt(x - l));
    }
}

} // namespace qv::tamsel
