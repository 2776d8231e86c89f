// Draws the program's desktop icon: a letter on a page in front of a blue disc.
//   cmake --build build --target drawicon && build/tools/drawicon assets/desktop/quorvane.png
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const int size = 128;
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(88, 146, 231));
    p.drawEllipse(QRectF(4, 4, size - 8, size - 8));

    // A page with a folded corner and a few lines of a letter.
    QPainterPath page;
    page.moveTo(36, 22);
    page.lineTo(80, 22);
    page.lineTo(96, 38);
    page.lineTo(96, 106);
    page.lineTo(36, 106);
    page.closeSubpath();
    p.setBrush(Qt::white);
    p.setPen(QPen(QColor(30, 60, 120), 3));
    p.drawPath(page);
    p.setBrush(QColor(198, 197, 215));
    p.drawPolygon(QPolygonF({QPointF(80, 22), QPointF(80, 38), QPointF(96, 38)}));
    p.setPen(QPen(QColor(30, 60, 120), 4, Qt::SolidLine, Qt::RoundCap));
    for (int y = 52; y <= 92; y += 10)
        p.drawLine(QPointF(46, y), QPointF(y == 92 ? 68 : 86, y));
    p.end();
    return icon.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
