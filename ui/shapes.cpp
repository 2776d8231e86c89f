#include "ui/shapes.h"

#include "platform/twips.h"

#include <QMouseEvent>
#include <QPainter>

PictureBox::PictureBox(QWidget* parent) : QLabel(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_TranslucentBackground, true);
}

void PictureBox::setPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

void PictureBox::setStretch(bool on) {
    stretch_ = on;
    update();
}

void PictureBox::setBorderStyle(int style) {
    if (border_ == style)
        return;
    border_ = style;
    update();
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!picture_.isNull()) {
        p.setRenderHint(QPainter::SmoothPixmapTransform, true);
        if (stretch_)
            p.drawPixmap(rect(), picture_);
        else
            p.drawPixmap(0, 0, picture_);
    }
    if (border_ == 1) {
        p.setPen(QPen(Qt::black, 1));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    emit MouseMove(event->buttons(), event->modifiers(), event->position().toPoint());
    event->accept(); // the window behind must not see this move as its own
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    if (rect().contains(event->position().toPoint()))
        emit Click();
    QLabel::mouseReleaseEvent(event);
}

LineShape::LineShape(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents, true);
}

void LineShape::setEnds(QPoint fromTwips, QPoint toTwips) {
    from_ = fromTwips;
    to_ = toTwips;
    const QPoint a = qv::twipsToPixels(fromTwips);
    const QPoint b = qv::twipsToPixels(toTwips);
    setGeometry(QRect(a, b).normalized().adjusted(0, 0, 1, 1));
    update();
}

void LineShape::setColour(const QColor& colour) {
    colour_ = colour;
    update();
}

void LineShape::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(QPen(colour_, 1));
    const QPoint origin = geometry().topLeft();
    p.drawLine(qv::twipsToPixels(from_) - origin, qv::twipsToPixels(to_) - origin);
}

RectShape::RectShape(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents, true);
}

void RectShape::setBorderColour(const QColor& colour) {
    border_ = colour;
    update();
}

void RectShape::setFillColour(const QColor& colour) {
    fill_ = colour;
    update();
}

void RectShape::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (fill_.isValid())
        p.fillRect(rect(), fill_);
    p.setPen(QPen(border_, 1));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
