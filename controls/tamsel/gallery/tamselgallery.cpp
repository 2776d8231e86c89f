#include "controls/tamsel/gallery/tamselgallery.h"

#include "controls/host/propertybag.h"
#include "controls/tamsel/tamselbutton.h"
#include "controls/tamsel/tamselproperties.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <initializer_list>
#include <utility>

namespace qv::tamsel {
namespace {

using Setting = std::pair<const char*, QVariant>;

// A small round icon with a transparent background.
QImage galleryIcon(QColor colour) {
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(colour);
    p.setPen(QPen(colour.darker(160), 2));
    p.drawEllipse(3, 3, 26, 26);
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawEllipse(10, 8, 8, 8);
    return image;
}

// A button placed the way a window loads it: from a stored property set.
TamselButton* place(QWidget* parent, const QString& name, QRect rect,
                    std::initializer_list<Setting> settings) {
    auto* button = new TamselButton(parent);
    button->setObjectName(name);
    button->setGeometry(rect);
    host::PropertyBag bag;
    button->WriteProperties(bag);
    bag.write("GMODE", -1);
    for (const auto& [key, value] : settings)
        bag.write(QString::fromLatin1(key), value);
    button->ReadProperties(bag);
    return button;
}

QLabel* label(QWidget* parent, const QString& text, QRect rect) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(rect);
    return l;
}

const char* const kTypeNames[] = {"OutlinedBevel", "Classic3D",  "WindowsXP",   "FramedFlat",
                                  "SoftBevel",     "ThinRaised", "HoverRaised", "Macintosh"};
const char* const kSchemeNames[] = {"SystemColors", "CustomColors", "ClassicGrey",
                                    "ContainerColors", "CustomGradient"};

} // namespace

QWidget* createGallery(QWidget* parent) {
    auto* window = new QWidget(parent);
    window->setObjectName(QStringLiteral("TamselGallery"));
    window->setWindowTitle(QStringLiteral("TamselButton gallery"));
    window->setAutoFillBackground(true);
    QPalette pal = window->palette();
    pal.setColor(QPalette::Window, QColor(0xEC, 0xE9, 0xD8));
    pal.setColor(QPalette::WindowText, Qt::black);
    window->setPalette(pal);

    const QFont font(QStringLiteral("DejaVu Sans"), 8);
    const QString fontText = font.toString();
    const int left = 120, colWidth = 112, rowHeight = 44, top = 28;

    // The eight looks under the five colour schemes.
    for (int t = 0; t < 8; ++t)
        label(window, QString::fromLatin1(kTypeNames[t]), QRect(left + t * colWidth, 6, 108, 18));
    for (int s = 1; s <= 5; ++s) {
        const int y = top + (s - 1) * rowHeight;
        QWidget* row = window;
        int x0 = left;
        label(window, QString::fromLatin1(kSchemeNames[s - 1]), QRect(6, y + 8, 112, 18));
        if (s == 4) {
            // The container's own colours: a panel of its own.
            auto* panel = new QWidget(window);
            panel->setObjectName(QStringLiteral("ContainerPanel"));
            panel->setGeometry(left - 4, y - 4, 8 * colWidth + 4, rowHeight);
            panel->setAutoFillBackground(true);
            QPalette pp = panel->palette();
            pp.setColor(QPalette::Window, QColor(0x2F, 0x6F, 0x8F));
            pp.setColor(QPalette::WindowText, Qt::white);
            panel->setPalette(pp);
            row = panel;
            x0 = 4;
        }
        for (int t = 1; t <= 8; ++t) {
            const QRect r((row == window ? x0 : x0) + (t - 1) * colWidth, row == window ? y : 4,
                          104, 34);
            place(row, QStringLiteral("S%1T%2").arg(s).arg(t), r,
                  {{"BTYPE", t},
                   {"COLTYPE", s},
                   {"TX", QStringLiteral("Type &%1").arg(t)},
                   {"FONT", fontText},
                   {"BCOL", qint64(0xE0C8A0)},
                   {"FCOL", qint64(0x402000)},
                   {"FCOLO", qint64(0x0000C0)},
                   {"GStart", qint64(0xFFFFFF)},
                   {"GStop", qint64(0xC08040)},
                   {"GStyle", 1}});
        }
    }

    // Captions, effects, icons, vertical captions, slanted outlines, disabled and option buttons.
    int y = top + 5 * rowHeight + 14;
    label(window, QStringLiteral("Caption effects"), QRect(6, y + 8, 112, 18));
    const char* const effects[] = {"Plain", "Engraved", "Embossed", "Shadowed"};
    for (int e = 0; e < 4; ++e)
        place(window, QStringLiteral("Effect%1").arg(e), QRect(left + e * colWidth, y, 104, 34),
              {{"BTYPE", 2},
               {"COLTYPE", 2},
               {"STYLE", e},
               {"TX", QString::fromLatin1(effects[e])},
               {"FONT", QFont(QStringLiteral("DejaVu Sans"), 11, QFont::Bold).toString()},
               {"BCOL", qint64(0xC0C0C0)},
               {"FCOL", qint64(0x800000)},
               {"EMBOSSM", qint64(0x808080)},
               {"EMBOSSS", qint64(0xFFFFFF)}});
    place(window, QStringLiteral("Wrapped"), QRect(left + 4 * colWidth, y - 4, 216, 42),
          {{"BTYPE", 1},
           {"TX", QStringLiteral("Save && &Exit, a caption long enough to wrap")},
           {"FONT", fontText}});
    place(window, QStringLiteral("Disabled1"), QRect(left + 6 * colWidth, y, 104, 34),
          {{"BTYPE", 2}, {"TX", QStringLiteral("Disabled")}, {"ENAB", false}, {"FONT", fontText}});
    place(window, QStringLiteral("Disabled2"), QRect(left + 7 * colWidth, y, 104, 34),
          {{"BTYPE", 3},
           {"TX", QStringLiteral("Disabled")},
           {"ENAB", false},
           {"FONT", fontText},
           {"BTNICON", pictureToText(galleryIcon(QColor(0x20, 0x80, 0x20)))}});

    y += rowHeight + 6;
    label(window, QStringLiteral("Icons"), QRect(6, y + 8, 112, 18));
    const QColor iconColours[] = {QColor(0xD0, 0x30, 0x30), QColor(0x30, 0x70, 0xD0),
                                  QColor(0x20, 0xA0, 0x40), QColor(0xE0, 0xA0, 0x10)};
    for (int i = 0; i < 4; ++i)
        place(window, QStringLiteral("Icon%1").arg(i), QRect(left + i * colWidth, y, 104, 38),
              {{"BTYPE", i == 3 ? 8 : i + 1},
               {"TX", i == 2 ? QString() : QStringLiteral("Icon %1").arg(i + 1)},
               {"IconSize", i + 1 == 1 ? 2 : (i == 2 ? 4 : 3)},
               {"ICONAlign", i % 2},
               {"FONT", fontText},
               {"BTNICON", pictureToText(galleryIcon(iconColours[i]))}});
    // Slanted outlines.
    for (int s = 1; s <= 3; ++s)
        place(window, QStringLiteral("Slant%1").arg(s),
              QRect(left + (3 + s) * colWidth, y, 104, 34),
              {{"BTYPE", s == 2 ? 4 : 1},
               {"BSTYLE", s},
               {"COLTYPE", 2},
               {"BCOL", qint64(0x60A0E0)},
               {"FCOL", qint64(0)},
               {"TX", QStringLiteral("Slant %1").arg(s)},
               {"FONT", fontText}});
    place(window, QStringLiteral("Hover7"), QRect(left + 7 * colWidth, y, 104, 34),
          {{"BTYPE", 7},
           {"COLTYPE", 2},
           {"BCOL", qint64(0xF0E0D0)},
           {"TX", QStringLiteral("Hover me")},
           {"FONT", fontText}});

    y += rowHeight + 10;
    label(window, QStringLiteral("Vertical"), QRect(6, y + 30, 112, 18));
    place(window, QStringLiteral("Up"), QRect(left, y, 40, 100),
          {{"BTYPE", 2},
           {"ORIENT", 1},
           {"TX", QStringLiteral("Upwards")},
           {"FONT", QFont(QStringLiteral("DejaVu Sans"), 9).toString()}});
    place(window, QStringLiteral("Down"), QRect(left + 50, y, 40, 100),
          {{"BTYPE", 5},
           {"ORIENT", 2},
           {"TX", QStringLiteral("Downwards")},
           {"FONT", QFont(QStringLiteral("DejaVu Sans"), 9).toString()}});

    // Option buttons: two groups, each with its own selection.
    const int ox = left + 2 * colWidth;
    label(window, QStringLiteral("Option groups"), QRect(ox - 8, y - 4, 160, 18));
    for (int g = 0; g < 2; ++g) {
        auto* frame = new QWidget(window);
        frame->setObjectName(QStringLiteral("Group%1").arg(g + 1));
        frame->setGeometry(ox + g * 3 * colWidth, y + 16, 3 * colWidth, 84);
        for (int i = 0; i < 3; ++i)
            place(frame, QStringLiteral("Option%1%2").arg(g + 1).arg(i + 1),
                  QRect(i * colWidth, 0 + (i % 2) * 40, 104, 34),
                  {{"BTYPE", g == 0 ? 3 : 4},
                   {"OPTMOD", true},
                   {"OPTVAL", i == g},
                   {"TX", QStringLiteral("Choice &%1").arg(i + 1)},
                   {"FONT", fontText}});
    }

    window->resize(left + 8 * colWidth + 10, y + 112);
    return window;
}

} // namespace qv::tamsel
