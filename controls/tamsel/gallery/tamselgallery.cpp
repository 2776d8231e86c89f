#include "controls/tamsel/gallery/tamselgallery.h"

#include "controls/host/propertybag.h"
#include "controls/tamsel/tamselbutton.h"
#include "controls/tamsel/tamselproperties.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <initializer_list>
#include <utility>

using namespace Qt::StringLiterals;

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
    bag.write(u"GMODE"_s, -1);
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

// Where the gallery's rows and columns go, and the caption font most buttons use.
struct Grid {
    int left = 120;
    int colWidth = 112;
    int rowHeight = 44;
    int top = 28;
    QString fontText = QFont(QStringLiteral("DejaVu Sans"), 8).toString();

    int column(int i) const { return left + i * colWidth; }
};

// The widget fills its background with a colour of its own and writes in another.
void setColours(QWidget* widget, QColor background, QColor text) {
    widget->setAutoFillBackground(true);
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, background);
    pal.setColor(QPalette::WindowText, text);
    widget->setPalette(pal);
}

QWidget* galleryWindow(QWidget* parent) {
    auto* window = new QWidget(parent);
    window->setObjectName(QStringLiteral("TamselGallery"));
    window->setWindowTitle(QStringLiteral("TamselButton gallery"));
    setColours(window, QColor(0xEC, 0xE9, 0xD8), Qt::black);
    return window;
}

// The container's own colours: a panel of its own behind the row at y.
QWidget* containerPanel(QWidget* window, const Grid& grid, int y) {
    auto* panel = new QWidget(window);
    panel->setObjectName(QStringLiteral("ContainerPanel"));
    panel->setGeometry(grid.left - 4, y - 4, 8 * grid.colWidth + 4, grid.rowHeight);
    setColours(panel, QColor(0x2F, 0x6F, 0x8F), Qt::white);
    return panel;
}

// The eight looks under the five colour schemes.
void placeLooksBySchemes(QWidget* window, const Grid& grid) {
    for (int t = 0; t < 8; ++t)
        label(window, QString::fromLatin1(kTypeNames[t]), QRect(grid.column(t), 6, 108, 18));
    for (int s = 1; s <= 5; ++s) {
        const int y = grid.top + (s - 1) * grid.rowHeight;
        label(window, QString::fromLatin1(kSchemeNames[s - 1]), QRect(6, y + 8, 112, 18));
        QWidget* row = s == 4 ? containerPanel(window, grid, y) : window;
        const int x0 = row == window ? grid.left : 4;
        for (int t = 1; t <= 8; ++t) {
            const QRect r(x0 + (t - 1) * grid.colWidth, row == window ? y : 4, 104, 34);
            place(row, QStringLiteral("S%1T%2").arg(s).arg(t), r,
                  {{"BTYPE", t},
                   {"COLTYPE", s},
                   {"TX", QStringLiteral("Type &%1").arg(t)},
                   {"FONT", grid.fontText},
                   {"BCOL", qint64(0xE0C8A0)},
                   {"FCOL", qint64(0x402000)},
                   {"FCOLO", qint64(0x0000C0)},
                   {"GStart", qint64(0xFFFFFF)},
                   {"GStop", qint64(0xC08040)},
                   {"GStyle", 1}});
        }
    }
}

// Caption effects, a wrapped caption with access keys, and disabled buttons.
void placeCaptionRow(QWidget* window, const Grid& grid, int y) {
    label(window, QStringLiteral("Caption effects"), QRect(6, y + 8, 112, 18));
    const char* const effects[] = {"Plain", "Engraved", "Embossed", "Shadowed"};
    for (int e = 0; e < 4; ++e)
        place(window, QStringLiteral("Effect%1").arg(e), QRect(grid.column(e), y, 104, 34),
              {{"BTYPE", 2},
               {"COLTYPE", 2},
               {"STYLE", e},
               {"TX", QString::fromLatin1(effects[e])},
               {"FONT", QFont(QStringLiteral("DejaVu Sans"), 11, QFont::Bold).toString()},
               {"BCOL", qint64(0xC0C0C0)},
               {"FCOL", qint64(0x800000)},
               {"EMBOSSM", qint64(0x808080)},
               {"EMBOSSS", qint64(0xFFFFFF)}});
    place(window, QStringLiteral("Wrapped"), QRect(grid.column(4), y - 4, 216, 42),
          {{"BTYPE", 1},
           {"TX", QStringLiteral("Save && &Exit, a caption long enough to wrap")},
           {"FONT", grid.fontText}});
    place(window, QStringLiteral("Disabled1"), QRect(grid.column(6), y, 104, 34),
          {{"BTYPE", 2},
           {"TX", QStringLiteral("Disabled")},
           {"ENAB", false},
           {"FONT", grid.fontText}});
    place(window, QStringLiteral("Disabled2"), QRect(grid.column(7), y, 104, 34),
          {{"BTYPE", 3},
           {"TX", QStringLiteral("Disabled")},
           {"ENAB", false},
           {"FONT", grid.fontText},
           {"BTNICON", pictureToText(galleryIcon(QColor(0x20, 0x80, 0x20)))}});
}

// Icons in several sizes and alignments, slanted outlines and a hover look.
void placeIconRow(QWidget* window, const Grid& grid, int y) {
    label(window, QStringLiteral("Icons"), QRect(6, y + 8, 112, 18));
    const QColor iconColours[] = {QColor(0xD0, 0x30, 0x30), QColor(0x30, 0x70, 0xD0),
                                  QColor(0x20, 0xA0, 0x40), QColor(0xE0, 0xA0, 0x10)};
    for (int i = 0; i < 4; ++i)
        place(window, QStringLiteral("Icon%1").arg(i), QRect(grid.column(i), y, 104, 38),
              {{"BTYPE", i == 3 ? 8 : i + 1},
               {"TX", i == 2 ? QString() : QStringLiteral("Icon %1").arg(i + 1)},
               {"IconSize", i + 1 == 1 ? 2 : (i == 2 ? 4 : 3)},
               {"ICONAlign", i % 2},
               {"FONT", grid.fontText},
               {"BTNICON", pictureToText(galleryIcon(iconColours[i]))}});
    for (int s = 1; s <= 3; ++s)
        place(window, QStringLiteral("Slant%1").arg(s), QRect(grid.column(3 + s), y, 104, 34),
              {{"BTYPE", s == 2 ? 4 : 1},
               {"BSTYLE", s},
               {"COLTYPE", 2},
               {"BCOL", qint64(0x60A0E0)},
               {"FCOL", qint64(0)},
               {"TX", QStringLiteral("Slant %1").arg(s)},
               {"FONT", grid.fontText}});
    place(window, QStringLiteral("Hover7"), QRect(grid.column(7), y, 104, 34),
          {{"BTYPE", 7},
           {"COLTYPE", 2},
           {"BCOL", qint64(0xF0E0D0)},
           {"TX", QStringLiteral("Hover me")},
           {"FONT", grid.fontText}});
}

void placeVerticalCaptions(QWidget* window, const Grid& grid, int y) {
    label(window, QStringLiteral("Vertical"), QRect(6, y + 30, 112, 18));
    place(window, QStringLiteral("Up"), QRect(grid.left, y, 40, 100),
          {{"BTYPE", 2},
           {"ORIENT", 1},
           {"TX", QStringLiteral("Upwards")},
           {"FONT", QFont(QStringLiteral("DejaVu Sans"), 9).toString()}});
    place(window, QStringLiteral("Down"), QRect(grid.left + 50, y, 40, 100),
          {{"BTYPE", 5},
           {"ORIENT", 2},
           {"TX", QStringLiteral("Downwards")},
           {"FONT", QFont(QStringLiteral("DejaVu Sans"), 9).toString()}});
}

// Option buttons: two groups, each with its own selection.
void placeOptionGroups(QWidget* window, const Grid& grid, int y) {
    const int ox = grid.column(2);
    label(window, QStringLiteral("Option groups"), QRect(ox - 8, y - 4, 160, 18));
    for (int g = 0; g < 2; ++g) {
        auto* frame = new QWidget(window);
        frame->setObjectName(QStringLiteral("Group%1").arg(g + 1));
        frame->setGeometry(ox + g * 3 * grid.colWidth, y + 16, 3 * grid.colWidth, 84);
        for (int i = 0; i < 3; ++i)
            place(frame, QStringLiteral("Option%1%2").arg(g + 1).arg(i + 1),
                  QRect(i * grid.colWidth, 0 + (i % 2) * 40, 104, 34),
                  {{"BTYPE", g == 0 ? 3 : 4},
                   {"OPTMOD", true},
                   {"OPTVAL", i == g},
                   {"TX", QStringLiteral("Choice &%1").arg(i + 1)},
                   {"FONT", grid.fontText}});
    }
}

} // namespace

QWidget* createGallery(QWidget* parent) {
    QWidget* window = galleryWindow(parent);
    const Grid grid;
    placeLooksBySchemes(window, grid);
    int y = grid.top + 5 * grid.rowHeight + 14;
    placeCaptionRow(window, grid, y);
    y += grid.rowHeight + 6;
    placeIconRow(window, grid, y);
    y += grid.rowHeight + 10;
    placeVerticalCaptions(window, grid, y);
    placeOptionGroups(window, grid, y);
    window->resize(grid.column(8) + 10, y + 112);
    return window;
}

} // namespace qv::tamsel
