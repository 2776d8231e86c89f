#pragma once

#include <QColor>
#include <QPainterPath>
#include <QRect>
#include <QRegion>

// Geometry of a tooltip window: a plain rectangle, or a balloon (rounded body with a pointer
// whose tip touches the point the tip speaks about). Pure maths, no window.
namespace qv {

// A 32-bit colour value 0x00BBGGRR.
inline QColor colorFromColorRef(quint32 value) {
    return QColor(int(value & 0xff), int((value >> 8) & 0xff), int((value >> 16) & 0xff));
}

struct TipShape {
    QSize windowSize;
    QRect contentRect;    // where title and text go
    QPainterPath outline; // filled with the background, stroked with the border
    QPoint anchor; // the pointer's tip (balloons) or the window's corner that sits on the anchor

    QRegion mask() const; // the window's shape
};

inline constexpr int kBalloonPadding = 8;
inline constexpr int kBalloonRadius = 8;
inline constexpr int kStemHeight = 14;
inline constexpr int kStemWidth = 16;
inline constexpr int kRectPadding = 4;

// `stemBelow`: the balloon sits above its anchor and the pointer hangs from its bottom edge;
// otherwise the balloon sits below and the pointer rises from its top edge. `stemX` is the
// wanted horizontal position of the pointer's tip, kept within the straight part of the edge.
TipShape balloonShape(QSize content, bool stemBelow, int stemX);
TipShape rectangleShape(QSize content);

// Where the window goes so that its anchor lies on `anchor`, then moved inside `screen`.
// A balloon that would leave the screen at the bottom is flipped above its anchor (the caller
// asks for the other stem side); this returns the top-left corner only.
QPoint placeWindow(const TipShape& shape, QPoint anchor, const QRect& screen);

} // namespace qv
