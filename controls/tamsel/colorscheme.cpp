#include "controls/tamsel/colorscheme.h"

#include "controls/tamsel/shade.h"
#include "platform/services.h"
#include "platform/versionquery.h"

#include <QGuiApplication>
#include <algorithm>
#include <type_traits>

namespace qv::tamsel {
namespace {

static_assert(std::is_same_v<SystemColourSource, decltype(Services::systemColourSource)>);

// Classic grey colours, used when there is no application palette to read.
Colour classicSystemColour(int index) {
    switch (index) {
    case 0:
        return 0xC8C8C8;
    case 1:
        return 0x808000;
    case 2:
        return 0x800000;
    case 3:
        return 0x808080;
    case 4:
        return 0xC0C0C0;
    case 5:
        return 0xFFFFFF;
    case 6:
        return 0x000000;
    case 7:
        return 0x000000;
    case 8:
        return 0x000000;
    case 9:
        return 0xFFFFFF;
    case 10:
        return 0xC0C0C0;
    case 11:
        return 0xC0C0C0;
    case 12:
        return 0x808080;
    case 13:
        return 0x800000;
    case 14:
        return 0xFFFFFF;
    case 15:
        return 0xC0C0C0;
    case 16:
        return 0x808080;
    case 17:
        return 0x808080;
    case 18:
        return 0x000000;
    case 19:
        return 0xC0C0C0;
    case 20:
        return 0xFFFFFF;
    case 21:
        return 0x000000;
    case 22:
        return 0xDFDFDF;
    case 23:
        return 0x000000;
    case 24:
        return 0xE1FFFF;
    case 26:
        return 0x800000;
    case 27:
        return 0xF0CAA6;
    case 28:
        return 0xC0C0C0;
    case 29:
        return 0x800000;
    case 30:
        return 0xC0C0C0;
    default:
        return 0;
    }
}

void derivedFromFace(TamselPalette& p) {
    p.Sh = Shade(p.F, -64);
    p.L = Shade(p.F, +31);
    p.Hi = Shade(p.F, +47);
    p.Dk = Shade(p.F, -192);
}

} // namespace

Colour systemColourFromPalette(const QPalette& pal, int index) {
    auto c = [&](QPalette::ColorRole role, QPalette::ColorGroup group = QPalette::Active) {
        return fromQColor(pal.color(group, role));
    };
    switch (index) {
    case 0:
        return c(QPalette::Mid); // scroll bar
    case 1:
        return c(QPalette::Window); // desktop
    case 2:
        return c(QPalette::Highlight); // active caption
    case 3:
        return c(QPalette::Highlight, QPalette::Inactive); // inactive caption
    case 4:
        return c(QPalette::Window); // menu
    case 5:
        return c(QPalette::Base); // window
    case 6:
        return c(QPalette::Shadow); // window frame
    case 7:
        return c(QPalette::WindowText); // menu text
    case 8:
        return c(QPalette::Text); // window text
    case 9:
        return c(QPalette::HighlightedText); // caption text
    case 10:
        return c(QPalette::Window); // active border
    case 11:
        return c(QPalette::Window); // inactive border
    case 12:
        return c(QPalette::Mid); // application workspace
    case 13:
        return c(QPalette::Highlight); // highlight
    case 14:
        return c(QPalette::HighlightedText); // highlight text
    case 15:
        return c(QPalette::Button); // button face
    case 16:
        return c(QPalette::Dark); // button shadow
    case 17:
        return c(QPalette::Text, QPalette::Disabled); // grey text
    case 18:
        return c(QPalette::ButtonText); // button text
    case 19:
        return c(QPalette::HighlightedText, QPalette::Inactive); // inactive caption text
    case 20:
        return c(QPalette::Light); // button highlight
    case 21:
        return c(QPalette::Shadow); // 3D dark shadow
    case 22:
        return c(QPalette::Midlight); // 3D light
    case 23:
        return c(QPalette::ToolTipText); // info text
    case 24:
        return c(QPalette::ToolTipBase); // info background
    case 26:
        return c(QPalette::Link); // hot-tracked item
    case 27:
        return c(QPalette::Highlight); // gradient active caption
    case 28:
        return c(QPalette::Highlight, QPalette::Inactive); // gradient inactive caption
    case 29:
        return c(QPalette::Highlight); // menu highlight
    case 30:
        return c(QPalette::Window); // menu bar
    default:
        return 0;
    }
}

Colour systemColour(int index) {
    if (const SystemColourSource& source = services().systemColourSource)
        return source(index);
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return systemColourFromPalette(QGuiApplication::palette(), index);
    return classicSystemColour(index);
}

Colour TranslateColor(Colour value) {
    if (static_cast<std::int32_t>(value) < -1)
        return systemColour(static_cast<int>(value & 0xFF));
    return value;
}

QString osKey() {
    const OsVersion v = queryOsVersion();
    return QStringLiteral("%1.%2.%3").arg(v.platformId).arg(v.major).arg(v.minor);
}

int OsCheck(bool askGradient) {
    const QString key = osKey();
    int mode = 0;
    if (key == QLatin1String("2.3.51"))
        mode = 2;
    else if (key == QLatin1String("2.4.0"))
        mode = 1;
    if (askGradient && (key == QLatin1String("1.4.0") || key == QLatin1String("2.4.0") ||
                        key == QLatin1String("2.3.51")))
        return -1;
    return mode;
}

int effectiveGraphicsMode(int requested) {
    return requested >= 0 ? requested : OsCheck(false);
}

void ComputePalette(TamselData& data, bool overwrite) {
    TamselConfig& cfg = data.config;
    TamselPalette& p = data.run.palette;
    switch (cfg.colorScheme) {
    case ColorScheme::CustomColors:
    case ColorScheme::CustomGradient:
        p.F = cfg.backColor;
        p.T = cfg.foreColor;
        p.TO = cfg.mouseOver;
        derivedFromFace(p);
        break;
    case ColorScheme::ClassicGrey:
        p.Hi = 0xFFFFFF;
        cfg.embossEngraveShadow = 0xFFFFFF;
        p.F = 0xC0C0C0;
        p.Sh = 0x808080;
        p.L = 0xDFDFDF;
        p.Dk = 0;
        p.T = 0;
        p.TO = 0;
        cfg.embossEngraveMid = 0xC0C0C0;
        if (overwrite) {
            cfg.backColor = 0xC0C0C0;
            cfg.foreColor = 0;
            cfg.mouseOver = 0;
        }
        break;
    case ColorScheme::ContainerColors:
        p.F = data.run.parentBackColor;
        p.T = data.run.parentTextColor;
        p.TO = p.T;
        derivedFromFace(p);
        cfg.embossEngraveMid = 0xC0C0C0;
        cfg.embossEngraveShadow = 0xFFFFFF;
        if (overwrite) {
            cfg.backColor = p.F;
            cfg.foreColor = p.T;
            cfg.mouseOver = p.TO;
        }
        break;
    default: // system colours, and any other stored value
        p.F = systemColour(kColorBtnFace);
        p.Sh = systemColour(kColorBtnShadow);
        p.L = systemColour(kColor3DLight);
        p.Dk = systemColour(kColor3DDkShadow);
        p.Hi = systemColour(kColorBtnHighlight);
        p.T = systemColour(kColorBtnText);
        p.TO = p.T;
        cfg.embossEngraveMid = 0xC0C0C0;
        cfg.embossEngraveShadow = 0xFFFFFF;
        if (overwrite) {
            cfg.foreColor = p.T;
            cfg.backColor = p.F;
            cfg.mouseOver = p.T;
        }
        break;
    }
}

QString schemeRefusedMessage() {
    return QStringLiteral("This option is not available on the following operating systems.") +
           QStringLiteral("\r\n\r\n - Win NT 4 and lower\r\n - Windows 95 and earlier");
}

} // namespace qv::tamsel
