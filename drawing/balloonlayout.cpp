#include "drawing/balloonlayout.h"

#include "platform/twips.h"

#include <algorithm>
#include <cmath>

namespace qv::balloon {

Icon iconForCode(const QString& code) {
    const QString c = code.toLower();
    if (c == u"i")
        return Icon::Information;
    if (c == u"i9")
        return Icon::InformationClassic;
    if (c == u"x")
        return Icon::Error;
    if (c == u"x9")
        return Icon::ErrorClassic;
    if (c == u"!")
        return Icon::Warning;
    if (c == u"!9")
        return Icon::WarningClassic;
    return Icon::None;
}

int iconSlot(Icon icon) {
    switch (icon) {
    case Icon::Information:
    case Icon::InformationClassic:
        return 0;
    case Icon::Error:
    case Icon::ErrorClassic:
        return 1;
    case Icon::Warning:
    case Icon::WarningClassic:
        return 2;
    case Icon::None:
        break;
    }
    return -1;
}

bool isClassic(Icon icon) {
    return icon == Icon::InformationClassic || icon == Icon::ErrorClassic ||
           icon == Icon::WarningClassic;
}

QRegion roundedRegion(QSize size, int ellipse) {
    const int w = size.width();
    const int h = size.height();
    if (w <= 0 || h <= 0)
        return {};
    const double rx = std::min(ellipse / 2.0, w / 2.0);
    const double ry = std::min(ellipse / 2.0, h / 2.0);
    QRegion region;
    int runStart = 0;
    int runInset = -1;
    auto flush = [&](int end) {
        if (runInset >= 0 && end > runStart && w - 2 * runInset > 0)
            region += QRect(runInset, runStart, w - 2 * runInset, end - runStart);
    };
    for (int y = 0; y < h; ++y) {
        const double cy = y + 0.5;
        double dy = 0;
        if (cy < ry)
            dy = ry - cy;
        else if (cy > h - ry)
            dy = cy - (h - ry);
        int inset = 0;
        if (dy > 0) {
            const double t = std::max(0.0, 1.0 - (dy * dy) / (ry * ry));
            const double edge = rx - rx * std::sqrt(t); // leftmost x inside on this row
            inset = static_cast<int>(std::ceil(edge - 0.5));
        }
        if (inset != runInset) {
            flush(y);
            runStart = y;
            runInset = inset;
        }
    }
    flush(h);
    return region;
}

Layout layoutFor(QSize inner, int titleHeight, int stripHeight, QSize closeGlyph, QSize closeImage,
                 QSize icon) {
    const int W = inner.width();
    const int H = inner.height();
    const int T = titleHeight;
    const int S = stripHeight;
    Layout l;
    const int bodyHeight = qv::roundHalfEven(H - T - 20 - S - 0.75 * S);
    l.body = QRect(8, T + 10, W - 20, bodyHeight);
    l.closeGlyph = QRect(W - closeGlyph.width() - 13, 5, closeGlyph.width(), closeGlyph.height());
    l.closeImage = QRect(W - closeImage.width() - 15, 2, closeImage.width(), closeImage.height());
    l.icon = QRect(10, 2, icon.width(), icon.height());
    l.title = QRect(0, 1, W, T);
    l.titleBand = l.title;
    l.border = QRect(0, 0, W - 1, H - 1);
    // The strip sits under the body, three quarters of its height apart, as wide as the body.
    l.linkStrip = QRect(8, H - S - 10, W - 20, S);
    return l;
}

int heightWithLinkStrip(int heightTwips, bool keepStrip, int stripHeightPixels) {
    return keepStrip ? heightTwips + 12 * stripHeightPixels : heightTwips;
}

} // namespace qv::balloon
