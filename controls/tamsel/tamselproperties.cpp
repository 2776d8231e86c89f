#include "controls/tamsel/tamselproperties.h"

#include "controls/tamsel/colorscheme.h"

#include <QBuffer>

using namespace Qt::StringLiterals;

namespace qv::tamsel {
namespace {

PropertyInfo info(const char* name, const char* key, const char* help, bool designOnly = false) {
    return {QString::fromLatin1(name), QString::fromLatin1(key), QString::fromLatin1(help),
            designOnly};
}

int readRanged(host::PropertyBag& bag, const QString& key, int missing, int low, int high) {
    const int value = bag.readInt(key, missing);
    return value < low || value > high ? missing : value;
}

Colour readColour(host::PropertyBag& bag, const QString& key, Colour missing) {
    const qint64 value = bag.read(key, QVariant::fromValue<qint64>(missing)).toLongLong();
    // A stored system colour code stands for the colour of that moment.
    return TranslateColor(static_cast<Colour>(value));
}

} // namespace

const std::vector<PropertyInfo>& propertyTable() {
    static const std::vector<PropertyInfo> table = {
        info("ButtonType", "BTYPE", "One of several button types. Read-only at runtime", true),
        info("ButtonStyle", "BSTYLE", "Default rectangular or segmeneted", true),
        info("Caption", "TX", "Button Caption"),
        info("Enabled", "ENAB",
             "Returns/set value to determine whether button can interact with user-generated "
             "events."),
        info("Font", "FONT", "Button caption font"),
        info("ColorScheme", "COLTYPE",
             "Most colors are ignored unless Custom ColorScheme is applied. Read-only at runtime",
             true),
        info("BackColor", "BCOL", "Not applicable unless Custom ColorScheme is applied."),
        info("ForeColor", "FCOL", "Color of button caption font."),
        info("MouseOver", "FCOLO",
             "Font color when mouse hovers over a button. CustomColor Scheme must be applied."),
        info("GradientStartColor", "GStart",
             "N/A for Win95 & below. Color to begin gradient fill."),
        info("GradientStopColor", "GStop", "N/A for Win95 & below. Color to end gradient fill."),
        info("GradientOrientation", "GStyle", ""),
        info("EmbossEngraveMid", "EMBOSSM",
             "Middle color between fore color and EmbossEngrave Shadow color. Not used with "
             "Shadow caption style."),
        info("EmbossEngraveShadow", "EMBOSSS",
             "The shadow color used when embossing, engraving or shadowing button caption."),
        info("MousePointer", "MPTR", "Sets a custom mouse pointer."),
        info("MouseIcon", "MICON", "Sets a custom mouse icon."),
        info("Alignment", "ALIGN", "Alignment of caption within the button. Read-only at runtime",
             true),
        info("IconAlignmentValue", "ICONAlign",
             "Icon left or right edge of caption. Read-only at runtime", true),
        info("CaptionStyle", "STYLE",
             "Engraved, Embossed, Shadowed or Plain. Applicable when ColorScheme is Custom "
             "Colors."),
        info("CaptionOrientation", "ORIENT",
             "Changes text between horizontal and veritcal display. Read-only at runtime", true),
        info("IconSize", "IconSize",
             "Icon size to display on button. Image list name and icon index must be provided.",
             true),
        info("Icon", "BTNICON", "Button icon."),
        info("GraphicsMode", "GMODE", "Used to force vertical text to display."),
        info("ShowFocus", "SHOWF",
             "When button has focus, display an inner rectangle or highlight button. Style "
             "dependent upon button type.",
             true),
        info("OptionButton", "OPTMOD",
             "IF set to True then button acts as an option button, otherwise acts as a command "
             "button."),
        info("Value", "OPTVAL",
             "Applicable only when OptionButton is set to true. Either True for selected or False "
             "for unselected."),
        info("Container", "", ""),
        info("hWnd", "", "Button Window handle"),
        info("RefreshButton", "", "Redraws button"),
    };
    return table;
}

const PropertyInfo* findProperty(const QString& name) {
    for (const PropertyInfo& p : propertyTable())
        if (p.name == name)
            return &p;
    return nullptr;
}

const QStringList& loadOrder() {
    static const QStringList keys = {
        u"BTYPE"_s, u"BSTYLE"_s,    u"OPTVAL"_s,  u"OPTMOD"_s,  u"TX"_s,       u"ENAB"_s,
        u"FONT"_s,  u"COLTYPE"_s,   u"BCOL"_s,    u"FCOL"_s,    u"FCOLO"_s,    u"GStart"_s,
        u"GStop"_s, u"GStyle"_s,    u"EMBOSSM"_s, u"EMBOSSS"_s, u"MPTR"_s,     u"MICON"_s,
        u"ALIGN"_s, u"ICONAlign"_s, u"STYLE"_s,   u"ORIENT"_s,  u"IconSize"_s, u"BTNICON"_s,
        u"GMODE"_s, u"SHOWF"_s};
    return keys;
}

const QStringList& saveOrder() {
    static const QStringList keys = {
        u"BTNICON"_s, u"BTYPE"_s,  u"TX"_s,        u"ENAB"_s,    u"FONT"_s,    u"COLTYPE"_s,
        u"BCOL"_s,    u"FCOL"_s,   u"FCOLO"_s,     u"EMBOSSM"_s, u"EMBOSSS"_s, u"MPTR"_s,
        u"MICON"_s,   u"ALIGN"_s,  u"ICONAlign"_s, u"ORIENT"_s,  u"STYLE"_s,   u"IconSize"_s,
        u"SHOWF"_s,   u"BSTYLE"_s, u"OPTVAL"_s,    u"OPTMOD"_s,  u"GStart"_s,  u"GStop"_s,
        u"GStyle"_s,  u"GMODE"_s};
    return keys;
}

QString pictureToText(const QImage& image) {
    if (image.isNull())
        return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QString::fromLatin1(bytes.toBase64());
}

QImage pictureFromText(const QString& text) {
    if (text.isEmpty())
        return {};
    QImage image;
    image.loadFromData(QByteArray::fromBase64(text.toLatin1()), "PNG");
    return image;
}

void loadProperties(TamselData& data, host::PropertyBag& bag, const LoadDefaults& defaults) {
    TamselConfig& c = data.config;
    c.buttonType = readRanged(bag, u"BTYPE"_s, 2, 1, 8);
    c.buttonStyle = readRanged(bag, u"BSTYLE"_s, 0, 0, 3);
    c.value = bag.readBool(u"OPTVAL"_s, false);
    c.optionButton = bag.readBool(u"OPTMOD"_s, false);
    c.caption = bag.readString(u"TX"_s, defaults.caption);
    c.enabled = bag.readBool(u"ENAB"_s, true);
    c.font = bag.readFont(u"FONT"_s, defaults.font);
    c.colorScheme = readRanged(bag, u"COLTYPE"_s, 1, 1, 5);
    c.backColor = readColour(bag, u"BCOL"_s, systemColour(kColorBtnFace));
    c.foreColor = readColour(bag, u"FCOL"_s, systemColour(kColorBtnText));
    c.mouseOver = readColour(bag, u"FCOLO"_s, systemColour(kColorBtnText));
    c.gradientStartColor = readColour(bag, u"GStart"_s, 0);
    c.gradientStopColor = readColour(bag, u"GStop"_s, 0xFF0000);
    c.gradientOrientation = bag.readInt(u"GStyle"_s, 0);
    c.embossEngraveMid = readColour(bag, u"EMBOSSM"_s, c.backColor);
    c.embossEngraveShadow = readColour(bag, u"EMBOSSS"_s, systemColour(kColorBtnHighlight));
    c.mousePointer = bag.readInt(u"MPTR"_s, 0);
    c.mouseIcon = pictureFromText(bag.readString(u"MICON"_s, {}));
    c.alignment = readRanged(bag, u"ALIGN"_s, 1, 0, 2);
    c.iconAlignmentValue = readRanged(bag, u"ICONAlign"_s, 0, 0, 1);
    c.captionStyle = readRanged(bag, u"STYLE"_s, 0, 0, 3);
    c.captionOrientation = readRanged(bag, u"ORIENT"_s, 0, 0, 2);
    c.iconSize = readRanged(bag, u"IconSize"_s, 2, 1, 4);
    c.icon = pictureFromText(bag.readString(u"BTNICON"_s, {}));
    c.graphicsMode = bag.readInt(u"GMODE"_s, OsCheck(false));
    c.showFocus = bag.readBool(u"SHOWF"_s, true);

    data.run.graphicsMode = effectiveGraphicsMode(c.graphicsMode);
    if (OsCheck(true) == -1 && c.colorScheme == ColorScheme::CustomGradient)
        c.colorScheme = ColorScheme::CustomColors;
    data.run.hasIcon = !c.icon.isNull();
    ComputePalette(data, false);
}

void saveProperties(const TamselData& data, host::PropertyBag& bag) {
    const TamselConfig& c = data.config;
    auto colour = [](Colour value) { return QVariant::fromValue<qint64>(value); };
    bag.write(u"BTNICON"_s, pictureToText(c.icon));
    bag.write(u"BTYPE"_s, c.buttonType);
    bag.write(u"TX"_s, c.caption);
    bag.write(u"ENAB"_s, c.enabled);
    bag.write(u"FONT"_s, c.font);
    bag.write(u"COLTYPE"_s, c.colorScheme);
    bag.write(u"BCOL"_s, colour(c.backColor));
    bag.write(u"FCOL"_s, colour(c.foreColor));
    bag.write(u"FCOLO"_s, colour(c.mouseOver));
    bag.write(u"EMBOSSM"_s, colour(c.embossEngraveMid));
    bag.write(u"EMBOSSS"_s, colour(c.embossEngraveShadow));
    bag.write(u"MPTR"_s, c.mousePointer);
    bag.write(u"MICON"_s, pictureToText(c.mouseIcon));
    bag.write(u"ALIGN"_s, c.alignment);
    bag.write(u"ICONAlign"_s, c.iconAlignmentValue);
    bag.write(u"ORIENT"_s, c.captionOrientation);
    bag.write(u"STYLE"_s, c.captionStyle);
    bag.write(u"IconSize"_s, c.iconSize);
    bag.write(u"SHOWF"_s, c.showFocus);
    bag.write(u"BSTYLE"_s, c.buttonStyle);
    bag.write(u"OPTVAL"_s, c.value);
    bag.write(u"OPTMOD"_s, c.optionButton);
    bag.write(u"GStart"_s, colour(c.gradientStartColor));
    bag.write(u"GStop"_s, colour(c.gradientStopColor));
    bag.write(u"GStyle"_s, c.gradientOrientation);
    bag.write(u"GMODE"_s, c.graphicsMode);
}

} // namespace qv::tamsel
