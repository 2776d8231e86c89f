#include "controls/tamsel/tamselproperties.h"

#include "controls/tamsel/colorscheme.h"

#include <QBuffer>

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
        "BTYPE",   "BSTYLE",   "OPTVAL",  "OPTMOD", "TX",     "ENAB",      "FONT",
        "COLTYPE", "BCOL",     "FCOL",    "FCOLO",  "GStart", "GStop",     "GStyle",
        "EMBOSSM", "EMBOSSS",  "MPTR",    "MICON",  "ALIGN",  "ICONAlign", "STYLE",
        "ORIENT",  "IconSize", "BTNICON", "GMODE",  "SHOWF"};
    return keys;
}

const QStringList& saveOrder() {
    static const QStringList keys = {
        "BTNICON",   "BTYPE",  "TX",      "ENAB",     "FONT",  "COLTYPE", "BCOL",
        "FCOL",      "FCOLO",  "EMBOSSM", "EMBOSSS",  "MPTR",  "MICON",   "ALIGN",
        "ICONAlign", "ORIENT", "STYLE",   "IconSize", "SHOWF", "BSTYLE",  "OPTVAL",
        "OPTMOD",    "GStart", "GStop",   "GStyle",   "GMODE"};
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
    c.buttonType = readRanged(bag, "BTYPE", 2, 1, 8);
    c.buttonStyle = readRanged(bag, "BSTYLE", 0, 0, 3);
    c.value = bag.readBool("OPTVAL", false);
    c.optionButton = bag.readBool("OPTMOD", false);
    c.caption = bag.readString("TX", defaults.caption);
    c.enabled = bag.readBool("ENAB", true);
    c.font = bag.readFont("FONT", defaults.font);
    c.colorScheme = readRanged(bag, "COLTYPE", 1, 1, 5);
    c.backColor = readColour(bag, "BCOL", systemColour(kColorBtnFace));
    c.foreColor = readColour(bag, "FCOL", systemColour(kColorBtnText));
    c.mouseOver = readColour(bag, "FCOLO", systemColour(kColorBtnText));
    c.gradientStartColor = readColour(bag, "GStart", 0);
    c.gradientStopColor = readColour(bag, "GStop", 0xFF0000);
    c.gradientOrientation = bag.readInt("GStyle", 0);
    c.embossEngraveMid = readColour(bag, "EMBOSSM", c.backColor);
    c.embossEngraveShadow = readColour(bag, "EMBOSSS", systemColour(kColorBtnHighlight));
    c.mousePointer = bag.readInt("MPTR", 0);
    c.mouseIcon = pictureFromText(bag.readString("MICON", {}));
    c.alignment = readRanged(bag, "ALIGN", 1, 0, 2);
    c.iconAlignmentValue = readRanged(bag, "ICONAlign", 0, 0, 1);
    c.captionStyle = readRanged(bag, "STYLE", 0, 0, 3);
    c.captionOrientation = readRanged(bag, "ORIENT", 0, 0, 2);
    c.iconSize = readRanged(bag, "IconSize", 2, 1, 4);
    c.icon = pictureFromText(bag.readString("BTNICON", {}));
    c.graphicsMode = bag.readInt("GMODE", OsCheck(false));
    c.showFocus = bag.readBool("SHOWF", true);

    data.run.graphicsMode = effectiveGraphicsMode(c.graphicsMode);
    if (OsCheck(true) == -1 && c.colorScheme == ColorScheme::CustomGradient)
        c.colorScheme = ColorScheme::CustomColors;
    data.run.hasIcon = !c.icon.isNull();
    ComputePalette(data, false);
}

void saveProperties(const TamselData& data, host::PropertyBag& bag) {
    const TamselConfig& c = data.config;
    auto colour = [](Colour value) { return QVariant::fromValue<qint64>(value); };
    bag.write("BTNICON", pictureToText(c.icon));
    bag.write("BTYPE", c.buttonType);
    bag.write("TX", c.caption);
    bag.write("ENAB", c.enabled);
    bag.write("FONT", c.font);
    bag.write("COLTYPE", c.colorScheme);
    bag.write("BCOL", colour(c.backColor));
    bag.write("FCOL", colour(c.foreColor));
    bag.write("FCOLO", colour(c.mouseOver));
    bag.write("EMBOSSM", colour(c.embossEngraveMid));
    bag.write("EMBOSSS", colour(c.embossEngraveShadow));
    bag.write("MPTR", c.mousePointer);
    bag.write("MICON", pictureToText(c.mouseIcon));
    bag.write("ALIGN", c.alignment);
    bag.write("ICONAlign", c.iconAlignmentValue);
    bag.write("ORIENT", c.captionOrientation);
    bag.write("STYLE", c.captionStyle);
    bag.write("IconSize", c.iconSize);
    bag.write("SHOWF", c.showFocus);
    bag.write("BSTYLE", c.buttonStyle);
    bag.write("OPTVAL", c.value);
    bag.write("OPTMOD", c.optionButton);
    bag.write("GStart", colour(c.gradientStartColor));
    bag.write("GStop", colour(c.gradientStopColor));
    bag.write("GStyle", c.gradientOrientation);
    bag.write("GMODE", c.graphicsMode);
}

} // namespace qv::tamsel
