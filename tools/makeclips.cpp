// Draws the two clips the program plays and writes them as RLE8 AVI files:
//   makeclips <folder>   writes <folder>/Download.avi and <folder>/AccessDatabase.avi
// "Download.avi": a document flies from a page stack into a folder (the search's downloads).
// "AccessDatabase.avi": records leave a database cylinder for a table (loading and exports).
#include "media/aviwriter.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

const QColor kBackground(88, 146, 231); // the windows' own blue, drawn transparent by the player
constexpr double kPi = 3.14159265358979323846;

void drawDocument(QPainter& p, QRectF r, double angle = 0) {
    p.save();
    p.translate(r.center());
    p.rotate(angle);
    p.translate(-r.width() / 2, -r.height() / 2);
    const double w = r.width();
    const double h = r.height();
    const double fold = w * 0.3;
    QPainterPath page;
    page.moveTo(0, 0);
    page.lineTo(w - fold, 0);
    page.lineTo(w, fold);
    page.lineTo(w, h);
    page.lineTo(0, h);
    page.closeSubpath();
    p.setPen(QPen(QColor(40, 50, 70), 1));
    p.setBrush(Qt::white);
    p.drawPath(page);
    QPainterPath corner;
    corner.moveTo(w - fold, 0);
    corner.lineTo(w - fold, fold);
    corner.lineTo(w, fold);
    corner.closeSubpath();
    p.setBrush(QColor(200, 210, 225));
    p.drawPath(corner);
    p.setPen(QPen(QColor(90, 120, 170), 1));
    for (double y = h * 0.35; y < h - 3; y += h / 6)
        p.drawLine(QPointF(3, y), QPointF(w - 4, y));
    p.restore();
}

void drawFolder(QPainter& p, QRectF r, bool open) {
    p.setPen(QPen(QColor(120, 80, 10), 1));
    p.setBrush(QColor(230, 180, 60));
    QPainterPath back;
    back.moveTo(r.left(), r.top() + 4);
    back.lineTo(r.left() + r.width() * 0.35, r.top() + 4);
    back.lineTo(r.left() + r.width() * 0.42, r.top());
    back.lineTo(r.right() - 2, r.top());
    back.lineTo(r.right() - 2, r.bottom());
    back.lineTo(r.left(), r.bottom());
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(QColor(250, 210, 90));
    const double lift = open ? r.height() * 0.25 : 0;
    QPainterPath front;
    front.moveTo(r.left() + lift * 0.6, r.top() + 8 + lift);
    front.lineTo(r.right(), r.top() + 8 + lift);
    front.lineTo(r.right() - 2, r.bottom());
    front.lineTo(r.left(), r.bottom());
    front.closeSubpath();
    p.drawPath(front);
}

QList<QImage> downloadFrames() {
    const int frames = 20;
    QList<QImage> out;
    for (int f = 0; f < frames; ++f) {
        QImage image(272, 44, QImage::Format_RGB32);
        image.fill(kBackground);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        // the stack of pages on the server side
        for (int k = 2; k >= 0; --k)
            drawDocument(p, QRectF(18 + 3 * k, 8 - 2 * k + 4, 24, 30));
        const bool flying = f < 16;
        drawFolder(p, QRectF(212, 8, 44, 32), flying && f > 10);
        if (flying) {
            const double t = f / 15.0;
            const double x = 24 + t * (214 - 24);
            const double y = 10 - 10 * std::sin(t * kPi);
            drawDocument(p, QRectF(x, y, 20, 25), -25 + 50 * t);
        }
        // dotted path the pages travel along
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(210, 225, 250));
        for (int d = 0; d < 14; ++d) {
            const double t = (d + 0.5) / 14.0;
            if (flying && t > f / 15.0)
                continue;
            p.drawEllipse(QPointF(60 + t * 140, 36), 1.6, 1.6);
        }
        p.end();
        out.append(image);
    }
    return out;
}

void drawCylinder(QPainter& p, QRectF r, int lit) {
    const double cap = r.height() * 0.22;
    QLinearGradient side(r.topLeft(), r.topRight());
    side.setColorAt(0, QColor(40, 90, 60));
    side.setColorAt(0.45, QColor(110, 200, 130));
    side.setColorAt(1, QColor(30, 80, 50));
    p.setPen(QPen(QColor(20, 50, 30), 1));
    p.setBrush(side);
    QPainterPath body;
    body.moveTo(r.left(), r.top() + cap / 2);
    body.lineTo(r.left(), r.bottom() - cap / 2);
    body.arcTo(QRectF(r.left(), r.bottom() - cap, r.width(), cap), 180, 180);
    body.lineTo(r.right(), r.top() + cap / 2);
    body.closeSubpath();
    p.drawPath(body);
    p.setBrush(QColor(150, 225, 165));
    p.drawEllipse(QRectF(r.left(), r.top(), r.width(), cap));
    // three bands, one lit at a time
    for (int b = 0; b < 3; ++b) {
        const double y = r.top() + cap + (b + 0.6) * (r.height() - 1.5 * cap) / 3;
        p.setPen(QPen(b == lit ? QColor(255, 250, 180) : QColor(30, 70, 45), b == lit ? 2 : 1));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(r.left(), y - cap / 2, r.width(), cap), 180 * 16, 180 * 16);
    }
}

void drawTable(QPainter& p, QRectF r, int filledRows) {
    p.setPen(QPen(QColor(40, 50, 70), 1));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setBrush(QColor(60, 100, 170));
    p.drawRect(QRectF(r.left(), r.top(), r.width(), 5));
    const double rowHeight = (r.height() - 5) / 5;
    for (int i = 0; i < 5; ++i) {
        const double y = r.top() + 5 + i * rowHeight;
        if (i < filledRows) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(190, 215, 250));
            p.drawRect(QRectF(r.left() + 2, y + 1, r.width() - 4, rowHeight - 2));
        }
        p.setPen(QPen(QColor(170, 180, 200), 1));
        p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
    }
    p.drawLine(QPointF(r.left() + r.width() / 3, r.top() + 5),
               QPointF(r.left() + r.width() / 3, r.bottom()));
}

QList<QImage> databaseFrames() {
    const int frames = 24;
    QList<QImage> out;
    for (int f = 0; f < frames; ++f) {
        QImage image(256, 36, QImage::Format_RGB32);
        image.fill(kBackground);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        drawCylinder(p, QRectF(14, 2, 30, 32), (f / 2) % 3);
        drawTable(p, QRectF(206, 4, 38, 28), (f / 5) % 6);
        // records travelling right, spaced out, each a little card with a stripe
        for (int k = 0; k < 4; ++k) {
            const double t = std::fmod(f / double(frames) + k / 4.0, 1.0);
            const double x = 50 + t * 146;
            const double y = 13 + 3 * std::sin(t * 2 * kPi);
            p.setPen(QPen(QColor(40, 50, 70), 1));
            p.setBrush(Qt::white);
            p.drawRoundedRect(QRectF(x, y, 16, 10), 2, 2);
            p.setPen(QPen(QColor(200, 60, 60), 1.5));
            p.drawLine(QPointF(x + 3, y + 3.5), QPointF(x + 13, y + 3.5));
            p.setPen(QPen(QColor(90, 120, 170), 1));
            p.drawLine(QPointF(x + 3, y + 6.5), QPointF(x + 10, y + 6.5));
        }
        p.end();
        out.append(image);
    }
    return out;
}

bool save(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "makeclips: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: makeclips <folder>\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(folder.path()))
        return 1;
    const bool ok = save(folder.filePath(u"Download.avi"_s),
                         qv::writeAvi(downloadFrames(), 10, qv::AviEncoding::Rle8)) &&
                    save(folder.filePath(u"AccessDatabase.avi"_s),
                         qv::writeAvi(databaseFrames(), 12, qv::AviEncoding::Rle8));
    return ok ? 0 : 1;
}
