// Draws the pictures of the main window into a folder (assets/pictures in the repository):
//   cmake --build build --target drawpictures && build/tools/drawpictures assets/pictures
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

const QColor kNavy(20, 50, 120);
const QColor kBlue(88, 146, 231);
const QColor kWordBlue(43, 87, 154);
const QColor kExcelGreen(33, 115, 70);
const QColor kPaper(252, 252, 255);

QImage canvas(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A sheet of paper with a folded corner and text lines.
void paper(QPainter& p, QRectF r, int lines, bool lined = true) {
    const qreal fold = r.width() * 0.28;
    QPainterPath sheet;
    sheet.moveTo(r.topLeft());
    sheet.lineTo(r.right() - fold, r.top());
    sheet.lineTo(r.right(), r.top() + fold);
    sheet.lineTo(r.bottomRight());
    sheet.lineTo(r.bottomLeft());
    sheet.closeSubpath();
    p.setPen(QPen(QColor(90, 100, 130), std::max(1.0, r.width() / 30)));
    p.setBrush(kPaper);
    p.drawPath(sheet);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.setBrush(QColor(215, 222, 238));
    p.drawPath(corner);
    if (!lined)
        return;
    p.setPen(QPen(QColor(150, 165, 200), std::max(1.0, r.height() / 28)));
    for (int i = 0; i < lines; ++i) {
        const qreal y = r.top() + fold + (r.height() - fold) * (i + 0.7) / (lines + 0.6);
        const qreal right = r.right() - r.width() * (i % 3 == 2 ? 0.35 : 0.15);
        p.drawLine(QPointF(r.left() + r.width() * 0.15, y), QPointF(right, y));
    }
}

// A badge with a letter, as the word processor and spreadsheet marks.
void badge(QPainter& p, QRectF r, const QColor& colour, const QString& letter) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRoundedRect(r, r.width() * 0.15, r.width() * 0.15);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setPixelSize(std::max(6, int(r.height() * 0.72)));
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(r, Qt::AlignCenter, letter);
}

void gear(QPainter& p, QPointF c, qreal radius, const QColor& colour) {
    QPainterPath path;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const qreal a0 = M_PI * 2 * i / (teeth * 2);
        const qreal a1 = M_PI * 2 * (i + 1) / (teeth * 2);
        const qreal r = (i % 2 == 0) ? radius : radius * 0.78;
        const QPointF p0(c.x() + r * std::cos(a0), c.y() + r * std::sin(a0));
        const QPointF p1(c.x() + r * std::cos(a1), c.y() + r * std::sin(a1));
        if (i == 0)
            path.moveTo(p0);
        else
            path.lineTo(p0);
        path.lineTo(p1);
    }
    path.closeSubpath();
    path.addEllipse(c, radius * 0.32, radius * 0.32);
    path.setFillRule(Qt::OddEvenFill);
    p.setPen(QPen(colour.darker(140), std::max(1.0, radius / 12)));
    p.setBrush(colour);
    p.drawPath(path);
}

QImage introBackground() {
    QImage img = canvas(494, 509);
    QPainter p(&img);
    QLinearGradient g(0, 0, 0, img.height());
    g.setColorAt(0, QColor(38, 84, 170));
    g.setColorAt(1, kBlue);
    p.fillRect(img.rect(), g);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255, 18), 18));
    for (int x = -img.height(); x < img.width(); x += 60)
        p.drawLine(x, img.height(), x + img.height(), 0);
    return img;
}

QImage introMerge() {
    QImage img = canvas(453, 333);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(0, -22);
    // Soft panel.
    p.setPen(QPen(QColor(255, 255, 255, 120), 2));
    p.setBrush(QColor(255, 255, 255, 40));
    p.drawRoundedRect(QRectF(6, 120, 441, 210), 18, 18);

    // The server.
    const QRectF server(26, 160, 90, 130);
    QLinearGradient sg(server.topLeft(), server.topRight());
    sg.setColorAt(0, QColor(70, 80, 100));
    sg.setColorAt(1, QColor(120, 130, 150));
    p.setPen(QPen(QColor(30, 35, 50), 2));
    p.setBrush(sg);
    p.drawRoundedRect(server, 8, 8);
    for (int i = 0; i < 4; ++i) {
        const QRectF slot(server.left() + 12, server.top() + 16 + i * 26, server.width() - 24, 14);
        p.setBrush(QColor(40, 45, 60));
        p.drawRoundedRect(slot, 3, 3);
        p.setBrush(i == 0 ? QColor(90, 230, 120) : QColor(230, 200, 80));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(slot.right() - 8, slot.center().y()), 3, 3);
        p.setPen(QPen(QColor(30, 35, 50), 2));
    }

    // Arrow to the merge files.
    auto arrow = [&](QPointF a, QPointF b) {
        p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(a, b);
        const QPointF d = (b - a) / std::hypot(b.x() - a.x(), b.y() - a.y());
        const QPointF n(-d.y(), d.x());
        QPolygonF head({b + d * 6, b - d * 10 + n * 9, b - d * 10 - n * 9});
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPolygon(head);
    };
    arrow({126, 225}, {168, 225});

    // Merge files, fanned.
    for (int i = 0; i < 3; ++i)
        paper(p, QRectF(180 + i * 14, 170 + i * 12, 62, 80), 5);

    // Results: document, workbook, page.
    arrow({262, 205}, {300, 165});
    arrow({262, 230}, {300, 230});
    arrow({262, 255}, {300, 295});
    paper(p, QRectF(312, 128, 46, 58), 4);
    badge(p, QRectF(342, 158, 26, 26), kWordBlue, QStringLiteral("W"));
    paper(p, QRectF(312, 198, 46, 58), 0, false);
    p.setPen(QPen(QColor(120, 160, 130), 1));
    for (int i = 1; i < 5; ++i)
        p.drawLine(QPointF(316, 212 + i * 9), QPointF(354, 212 + i * 9));
    for (int i = 1; i < 3; ++i)
        p.drawLine(QPointF(316 + i * 13, 214), QPointF(316 + i * 13, 252));
    badge(p, QRectF(342, 228, 26, 26), kExcelGreen, QStringLiteral("X"));
    paper(p, QRectF(312, 268, 46, 52), 3);
    badge(p, QRectF(342, 292, 26, 26), QColor(214, 95, 40), QStringLiteral("<>"));

    // Title ribbon.
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setPixelSize(15);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(
        QRectF(0, 78, 453, 36), Qt::AlignCenter,
        QStringLiteral("Server  \u2192  Merge files  \u2192  Word \u00b7 Excel \u00b7 HTML"));
    return img;
}

QImage documentIcon(int w, int h, const QString& badgeText, const QColor& badgeColour, bool empty) {
    QImage img = canvas(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal m = std::max(1.0, w / 12.0);
    paper(p, QRectF(m, m * 0.6, w * 0.72, h - m * 1.4), empty ? 0 : (w >= 32 ? 5 : 2), !empty);
    if (!badgeText.isEmpty())
        badge(p, QRectF(w * 0.46, h * 0.46, w * 0.5, h * 0.5), badgeColour, badgeText);
    return img;
}

QImage recordIcon(int w, int h) {
    QImage img = canvas(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(1, h * 0.18, w - 2, h * 0.64);
    p.setPen(QPen(kNavy, std::max(1.0, w / 16.0)));
    p.setBrush(QColor(235, 242, 255));
    p.drawRoundedRect(r, w / 10.0, w / 10.0);
    p.setPen(QPen(QColor(88, 146, 231), std::max(1.0, w / 16.0)));
    for (int i = 1; i < 3; ++i)
        p.drawLine(QPointF(r.left() + r.width() * i / 3, r.top() + 2),
                   QPointF(r.left() + r.width() * i / 3, r.bottom() - 2));
    return img;
}

QImage emptyIcon(int w, int h) {
    QImage img = documentIcon(w, h, {}, {}, true);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(200, 60, 50), std::max(1.5, w / 14.0), Qt::SolidLine, Qt::RoundCap));
    const QRectF c(w * 0.5, h * 0.5, w * 0.44, h * 0.44);
    p.drawEllipse(c);
    p.drawLine(c.topRight() + QPointF(-c.width() * 0.15, c.height() * 0.15),
               c.bottomLeft() + QPointF(c.width() * 0.15, -c.height() * 0.15));
    return img;
}

QImage settingsIcon(int w, int h) {
    QImage img = canvas(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal r = std::min(w, h) * 0.45;
    gear(p, QPointF(w / 2.0, h / 2.0), r, QColor(230, 235, 245));
    return img;
}

QImage roundButtonPicture(int w, int h, const std::function<void(QPainter&, QRectF)>& glyph,
                          const QColor& colour) {
    QImage img = canvas(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal d = std::min(w, h) - 8;
    const QRectF circle((w - d) / 2, (h - d) / 2, d, d);
    QRadialGradient g(circle.center() - QPointF(d / 5, d / 5), d);
    g.setColorAt(0, colour.lighter(150));
    g.setColorAt(1, colour);
    p.setPen(QPen(colour.darker(160), 2));
    p.setBrush(g);
    p.drawEllipse(circle);
    glyph(p, circle);
    return img;
}

QImage exitPicture() {
    return roundButtonPicture(
        75, 68,
        [](QPainter& p, QRectF c) {
            p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap));
            const QRectF ring = c.adjusted(c.width() * 0.27, c.height() * 0.27, -c.width() * 0.27,
                                           -c.height() * 0.27);
            p.drawArc(ring, 120 * 16, 300 * 16);
            p.drawLine(QPointF(c.center().x(), ring.top() - 4),
                       QPointF(c.center().x(), c.center().y()));
        },
        QColor(200, 60, 50));
}

QImage aboutPicture() {
    return roundButtonPicture(
        75, 68,
        [](QPainter& p, QRectF c) {
            QFont f(QStringLiteral("DejaVu Serif"));
            f.setBold(true);
            f.setItalic(true);
            f.setPixelSize(int(c.height() * 0.62));
            p.setFont(f);
            p.setPen(Qt::white);
            p.drawText(c, Qt::AlignCenter, QStringLiteral("i"));
        },
        kWordBlue);
}

QImage settingsPicture() {
    return roundButtonPicture(
        75, 68,
        [](QPainter& p, QRectF c) { gear(p, c.center(), c.width() * 0.3, QColor(240, 240, 245)); },
        QColor(90, 100, 120));
}

QImage corner() {
    QImage img = canvas(35, 22);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    paper(p, QRectF(3, 1, 15, 20), 3);
    paper(p, QRectF(16, 1, 15, 20), 3);
    return img;
}

QImage browserBackground() {
    QImage img = canvas(492, 510);
    QPainter p(&img);
    QLinearGradient g(0, 0, img.width(), img.height());
    g.setColorAt(0, QColor(250, 252, 255));
    g.setColorAt(1, QColor(226, 234, 250));
    p.fillRect(img.rect(), g);
    p.setRenderHint(QPainter::Antialiasing);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setPixelSize(64);
    p.setFont(f);
    p.setPen(QColor(88, 146, 231, 28));
    p.drawText(img.rect().adjusted(0, 0, 0, -30), Qt::AlignHCenter | Qt::AlignBottom,
               QStringLiteral("Quorvane"));
    return img;
}

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: drawpictures <folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.filePath(QStringLiteral("large")));
    QDir().mkpath(out.filePath(QStringLiteral("small")));

    const std::pair<const char*, QImage> pictures[] = {
        {"intro-background.png", introBackground()},
        {"intro-merge.png", introMerge()},
        {"settings.png", settingsIcon(41, 41)},
        {"mergefile.png", documentIcon(55, 54, {}, {}, false)},
        {"mergefile-template.png", documentIcon(55, 52, QStringLiteral("W"), kWordBlue, false)},
        {"corner.png", corner()},
        {"exit.png", exitPicture()},
        {"about.png", aboutPicture()},
        {"settings-large.png", settingsPicture()},
        {"browser-background.png", browserBackground()},
        // Image lists: 1 merge file, 2 with template, 3 record, 4 empty file.
        {"large/icon-blank.png", documentIcon(50, 50, {}, {}, false)},
        {"large/icon-word.png", documentIcon(50, 50, QStringLiteral("W"), kWordBlue, false)},
        {"large/icon-record.png", recordIcon(50, 50)},
        {"large/icon-empty.png", emptyIcon(50, 50)},
        {"small/icon-blank.png", documentIcon(16, 16, {}, {}, false)},
        {"small/icon-word.png", documentIcon(16, 16, QStringLiteral("W"), kWordBlue, false)},
        {"small/icon-record.png", recordIcon(16, 16)},
        {"small/icon-empty.png", emptyIcon(16, 16)},
    };
    for (const auto& [name, image] : pictures) {
        const QString path = out.filePath(QString::fromLatin1(name));
        if (!image.save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
