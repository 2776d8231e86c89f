#include "drawing/balloonicons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace qv::balloon {
namespace {

constexpr int kSize = 16;

QImage blank() {
    QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A disc with a fill; XP style shades it and smooths its edge, classic style is flat.
void disc(QPainter& p, QColor light, QColor dark, bool classic) {
    const QRectF r(0.5, 0.5, kSize - 1.0, kSize - 1.0);
    if (classic) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(dark);
        p.drawEllipse(QRect(0, 0, kSize - 1, kSize - 1));
        return;
    }
    p.setRenderHint(QPainter::Antialiasing, true);
    QRadialGradient g(QPointF(5, 4), 12);
    g.setColorAt(0, light);
    g.setColorAt(1, dark);
    p.setPen(QPen(dark.darker(130), 1));
    p.setBrush(g);
    p.drawEllipse(r);
}

QImage information(bool classic) {
    QImage image = blank();
    QPainter p(&image);
    disc(p, QColor(120, 170, 255), QColor(20, 70, 190), classic);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRect(7, 3, 2, 2));  // the dot
    p.drawRect(QRect(7, 6, 2, 7));  // the stem
    p.drawRect(QRect(6, 12, 4, 1)); // its foot
    return image;
}

QImage error(bool classic) {
    QImage image = blank();
    QPainter p(&image);
    disc(p, QColor(255, 130, 110), QColor(190, 20, 10), classic);
    p.setRenderHint(QPainter::Antialiasing, !classic);
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(5, 5), QPointF(11, 11));
    p.drawLine(QPointF(11, 5), QPointF(5, 11));
    return image;
}

QImage warning(bool classic) {
    QImage image = blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, !classic);
    QPainterPath triangle;
    triangle.moveTo(7.5, 0.5);
    triangle.lineTo(15.0, 15.0);
    triangle.lineTo(0.5, 15.0);
    triangle.closeSubpath();
    if (classic) {
        p.setBrush(QColor(255, 255, 0));
    } else {
        QLinearGradient g(0, 0, 0, kSize);
        g.setColorAt(0, QColor(255, 240, 120));
        g.setColorAt(1, QColor(240, 180, 0));
        p.setBrush(g);
    }
    p.setPen(QPen(classic ? Qt::black : QColor(150, 100, 0), 1));
    p.drawPath(triangle);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRect(QRect(7, 5, 2, 6));
    p.drawRect(QRect(7, 12, 2, 2));
    return image;
}

QImage closeFace(bool pressed) {
    QImage image = blank();
    QPainter p(&image);
    const QColor dark(128, 0, 0);
    const QColor bright(255, 40, 40);
    QLinearGradient g(0, 0, kSize, kSize);
    g.setColorAt(0, pressed ? bright : dark);
    g.setColorAt(1, pressed ? dark : bright);
    p.fillRect(QRect(0, 0, kSize, kSize), g);
    const QColor topLeft = pressed ? QColor(255, 190, 190) : dark;
    const QColor bottomRight = pressed ? QColor(64, 0, 0) : Qt::black;
    p.setPen(topLeft);
    p.drawLine(0, 0, kSize - 1, 0);
    p.drawLine(0, 0, 0, kSize - 1);
    p.setPen(bottomRight);
    p.drawLine(kSize - 1, 0, kSize - 1, kSize - 1);
    p.drawLine(0, kSize - 1, kSize - 1, kSize - 1);
    return image;
}

} // namespace

QImage iconImage(Icon icon) {
    switch (icon) {
    case Icon::Information:
    case Icon::InformationClassic:
        return information(isClassic(icon));
    case Icon::Error:
    case Icon::ErrorClassic:
        return error(isClassic(icon));
    case Icon::Warning:
    case Icon::WarningClassic:
        return warning(isClassic(icon));
    case Icon::None:
        break;
    }
    return {};
}

QImage closeFaceUp() {
    return closeFace(false);
}
QImage closeFacePressed() {
    return closeFace(true);
}

} // namespace qv::balloon
