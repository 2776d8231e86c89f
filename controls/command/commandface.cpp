#include "controls/command/commandface.h"

#include "platform/twips.h"

#include <QPainter>
#include <QPainterPath>

namespace qv::command {

void FaceMachine::paint(Face face, Result& r) {
    if (!enabled_)
        state_ = Disabled;
    switch (state_) {
    case Plain:
    case Focused:
        hoverGradient_ = false;
        break;
    case Hover:
        hoverGradient_ = true;
        break;
    default:
        break;
    }
    face_ = face;
    r.painted.push_back(face);
}

FaceMachine::Result FaceMachine::refresh() {
    Result r;
    if (enabled_) {
        if (state_ == Disabled)
            state_ = Plain;
        paint(Face::Normal, r);
    } else {
        state_ = Disabled;
        paint(Face::Disable, r);
    }
    return r;
}

FaceMachine::Result FaceMachine::initialize() {
    state_ = Plain;
    timerRunning_ = true;
    return {};
}

FaceMachine::Result FaceMachine::mouseMove() {
    Result r;
    if (!enabled_)
        return r;
    if (state_ == Plain) {
        state_ = Hover;
        paint(Face::HighLight, r);
    } else if (state_ == Focused && !mouseDown_) {
        state_ = FocusedHover;
        paint(Face::HighLightSelect, r);
    }
    return r;
}

FaceMachine::Result FaceMachine::buttonDown(bool left) {
    Result r;
    if (!enabled_ || !left)
        return r;
    mouseDown_ = true;
    paint(Face::Pressed, r);
    return r;
}

FaceMachine::Result FaceMachine::buttonUp(bool left) {
    Result r;
    if (!enabled_)
        return r;
    if (left) {
        mouseDown_ = false;
        if (state_ == Hover)
            paint(Face::Normal, r);
        else if (state_ == FocusedHover)
            paint(Face::HighLightSelect, r);
    }
    r.click = state_ != Focused && enabled_;
    return r;
}

FaceMachine::Result FaceMachine::focusIn() {
    Result r;
    if (!enabled_)
        return r;
    if (state_ == Hover) {
        state_ = FocusedHover;
        paint(Face::Pressed, r);
    } else {
        state_ = Focused;
        paint(Face::Selected, r);
    }
    return r;
}

FaceMachine::Result FaceMachine::focusOut() {
    Result r;
    if (!enabled_)
        return r;
    if (state_ != Plain) {
        state_ = Plain;
        paint(Face::Normal, r);
    }
    return r;
}

FaceMachine::Result FaceMachine::accessKey() {
    Result r;
    if (!enabled_)
        return r;
    state_ = Hover;
    Result f = focusIn();
    Result u = buttonUp(true);
    r.painted = f.painted;
    r.painted.insert(r.painted.end(), u.painted.begin(), u.painted.end());
    r.click = u.click;
    return r;
}

FaceMachine::Result FaceMachine::dropHover() {
    Result r;
    if (state_ != Disabled && !enabled_) {
        state_ = Disabled;
        paint(Face::Disable, r);
    }
    if (state_ == Hover) {
        state_ = Plain;
        paint(Face::Normal, r);
    }
    if (state_ == FocusedHover) {
        state_ = Focused;
        paint(Face::Selected, r);
    }
    return r;
}

std::array<FramePiece, 8> framePieces(int W, int H) {
    return {{
        {{1, 1, 60, 60}, {0, 0, 60, 60}},                // top-left
        {{60, 1, W - 120, 60}, {60, 1, 840, 60}},        // top
        {{W - 60, 1, 60, 60}, {900, 1, 60, 60}},         // top-right
        {{W - 60, 60, 60, H - 120}, {900, 60, 60, 255}}, // right
        {{W - 60, H - 60, 60, 60}, {900, 315, 60, 60}},  // bottom-right
        {{60, H - 60, W - 120, 60}, {60, 315, 840, 60}}, // bottom
        {{1, H - 60, 60, 60}, {0, 315, 60, 60}},         // bottom-left
        {{1, 60, 60, H - 120}, {1, 60, 60, 255}},        // left
    }};
}

namespace {
QRect toPixels(const QRect& twips) {
    return twipsToPixels(twips.x(), twips.y(), twips.width(), twips.height());
}
} // namespace

std::array<FramePiece, 8> framePiecesInPixels(int W, int H) {
    auto pieces = framePieces(W, H);
    for (auto& p : pieces) {
        p.destination = toPixels(p.destination);
        p.source = toPixels(p.source);
    }
    return pieces;
}

std::array<std::pair<QPoint, QPoint>, 4> focusLines(int W, int H) {
    auto px = [](int x, int y) { return twipsToPixels(QPoint(x, y)); };
    return {{
        {px(60, 60), px(60, H - 60)},
        {px(60, 60), px(W - 60, 60)},
        {px(W - 70, 60), px(W - 70, H - 60)},
        {px(60, H - 70), px(W - 60, H - 70)},
    }};
}

std::optional<QChar> accessKeyOf(const QString& caption) {
    const qsizetype i = caption.indexOf(QLatin1Char('&'));
    if (i < 0 || i + 1 >= caption.size())
        return std::nullopt;
    return caption.at(i + 1);
}

QPainterPath frameLine(const QSize& size) {
    QPainterPath path;
    path.addRoundedRect(QRectF(QPointF(0, 0), QSizeF(size)).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    return path;
}

QImage facePicture(Face face) {
    QImage image(kPictureWidth, kPictureHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);

    const QColor frame = face == Face::Disable ? QColor(160, 160, 160) : QColor(0, 60, 116);
    QColor inner;
    QColor innerLow;
    switch (face) {
    case Face::Normal:
        inner = innerLow = QColor(255, 255, 255, 0);
        break;
    case Face::HighLight:
    case Face::HighLightSelect:
        inner = QColor(255, 240, 207);
        innerLow = QColor(229, 151, 0);
        break;
    case Face::Pressed:
        inner = QColor(140, 140, 150);
        innerLow = QColor(230, 230, 236);
        break;
    case Face::Selected:
        inner = QColor(206, 231, 255);
        innerLow = QColor(105, 130, 238);
        break;
    case Face::Disable:
        inner = innerLow = QColor(220, 220, 220);
        break;
    }

    const QRectF outer = QRectF(image.rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (inner.alpha() > 0) {
        QLinearGradient g(0, 1, 0, kPictureHeight - 1);
        g.setColorAt(0, inner);
        g.setColorAt(1, innerLow);
        p.setPen(QPen(QBrush(g), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(outer.adjusted(1.5, 1.5, -1.5, -1.5), 2, 2);
    }
    p.setPen(QPen(frame, 1));
    p.drawPath(frameLine(image.size()));
    return image;
}

std::uint32_t packColour(const QColor& c) {
    return static_cast<std::uint32_t>(c.red()) | (static_cast<std::uint32_t>(c.green()) << 8) |
           (static_cast<std::uint32_t>(c.blue()) << 16);
}

QColor unpackColour(std::uint32_t v) {
    return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
}

} // namespace qv::command
