#include "controls/tamsel/region.h"

#include <QPolygon>

namespace qv::tamsel {

int SegmentRight(int buttonStyle) {
    return (buttonStyle == 1 || buttonStyle == 2) ? 18 : 0;
}

int SegmentLeft(int buttonStyle) {
    return (buttonStyle == 2 || buttonStyle == 3) ? 18 : 0;
}

QRegion WindowRegion(int buttonType, int buttonStyle, int width, int height) {
    const int W = width;
    const int H = height;
    if (W <= 0 || H <= 0)
        return {};
    if (buttonStyle != 0) {
        QPolygon outline;
        outline << QPoint(0, 0) << QPoint(SegmentLeft(buttonStyle), H) << QPoint(W, H)
                << QPoint(W - SegmentRight(buttonStyle), 0);
        return QRegion(outline, Qt::WindingFill);
    }
    QRegion region(0, 0, W, H);
    auto cut = [&region](int x, int y, int w) { region -= QRegion(x, y, w, 1); };
    switch (buttonType) {
    case 1:
        cut(0, 0, 1);
        cut(0, H - 1, 1);
        cut(W - 1, 0, 1);
        cut(W - 1, H - 1, 1);
        break;
    case 3:
    case 8:
        cut(0, 0, 2);
        cut(0, 1, 1);
        cut(0, H - 1, 2);
        cut(0, H - 2, 1);
        cut(W - 2, 0, 2);
        cut(W - 1, 1, 1);
        cut(W - 2, H - 1, 2);
        cut(W - 1, H - 2, 1);
        break;
    case 4:
        cut(0, H - 1, 1);
        cut(W - 1, 0, 1);
        break;
    default:
        break;
    }
    return region;
}

} // namespace qv::tamsel
