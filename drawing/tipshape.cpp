#include "drawing/tipshape.h"

#include <QPolygon>
#include <algorithm>

namespace qv {

QRegion TipShape::mask() const {
    return QRegion(outline.toFillPolygon().toPolygon());
}

TipShape balloonShape(QSize content, bool stemBelow, int stemX) {
    TipShape s;
    const int w = content.width() + 2 * kBalloonPadding;
    const int bodyHeight = content.height() + 2 * kBalloonPadding;
    s.windowSize = QSize(w, bodyHeight + kStemHeight);
    const int bodyTop = stemBelow ? 0 : kStemHeight;
    s.contentRect = QRect(QPoint(kBalloonPadding, bodyTop + kBalloonPadding), content);

    const int lowest = kBalloonRadius + 2;
    const int highest = std::max(lowest, w - kBalloonRadius - kStemWidth - 2);
    const int x = std::clamp(stemX, lowest, highest);

    QPainterPath body;
    body.addRoundedRect(QRectF(0.5, bodyTop + 0.5, w - 1, bodyHeight - 1), kBalloonRadius,
                        kBalloonRadius);
    QPainterPath stem;
    if (stemBelow) {
        const double edge = bodyHeight - 1.5;
        stem.moveTo(x + 0.5, edge);
        stem.lineTo(x + 0.5, s.windowSize.height() - 0.5);
        stem.lineTo(x + kStemWidth + 0.5, edge);
        s.anchor = QPoint(x, s.windowSize.height() - 1);
    } else {
        const double edge = kStemHeight + 1.5;
        stem.moveTo(x + 0.5, edge);
        stem.lineTo(x + 0.5, 0.5);
        stem.lineTo(x + kStemWidth + 0.5, edge);
        s.anchor = QPoint(x, 0);
    }
    stem.closeSubpath();
    s.outline = body.united(stem).simplified();
    return s;
}

TipShape rectangleShape(QSize content) {
    TipShape s;
    s.windowSize = content + QSize(2 * kRectPadding, 2 * kRectPadding);
    s.contentRect = QRect(QPoint(kRectPadding, kRectPadding), content);
    s.outline.addRect(QRectF(0, 0, s.windowSize.width() - 1, s.windowSize.height() - 1));
    s.anchor = QPoint(0, 0);
    return s;
}

QPoint placeWindow(const TipShape& shape, QPoint anchor, const QRect& screen) {
    QPoint topLeft = anchor - shape.anchor;
    if (screen.isValid()) {
        topLeft.setX(
            std::clamp(topLeft.x(), screen.left(),
                       std::max(screen.left(), screen.right() + 1 - shape.windowSize.width())));
        topLeft.setY(
            std::clamp(topLeft.y(), screen.top(),
                       std::max(screen.top(), screen.bottom() + 1 - shape.windowSize.height())));
    }
    return topLeft;
}

} // namespace qv
