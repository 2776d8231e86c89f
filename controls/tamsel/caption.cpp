#include "controls/tamsel/caption.h"

#include "controls/tamsel/captionlayout.h"
#include "controls/tamsel/primitives.h"
#include "controls/tamsel/shade.h"
#include "controls/tamsel/tamselpainter.h"
#include "platform/twips.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <array>

namespace qv::tamsel {

namespace {

bool defaultScalable(const QFont& font) {
    const QFontInfo info(font);
    return QFontDatabase::isScalable(info.family(), info.styleName());
}

// Prints one text at its top-left character-cell corner in the text's own direction.
void printText(QPainter& p, const QFont& font, int escapement, int x, int y, const QString& text,
               Colour colour) {
    p.setPen(toQColor(colour));
    const int ascent = QFontMetrics(font).ascent();
    if (escapement == 0) {
        p.drawText(QPoint(x, y + ascent), text);
        return;
    }
    p.save();
    p.translate(x, y);
    p.rotate(escapement == 900 ? -90 : 90);
    p.drawText(QPoint(0, ascent), text);
    p.restore();
}

// Draws the image embossed in two greys, as the platform draws disabled pictures: every
// opaque pixel that is not white is drawn in the highlight one pixel down and right, then in
// the shadow in place.
void drawDisabled(Canvas& canvas, const QImage& picture, Colour highlight, Colour shadow) {
    const QImage src = picture.convertToFormat(QImage::Format_ARGB32);
    auto marked = [&src](int x, int y) {
        const QRgb p = src.pixel(x, y);
        return qAlpha(p) >= 128 && (p & 0x00FFFFFFu) != 0x00FFFFFFu;
    };
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x)
            if (marked(x, y))
                canvas.setPixel(x + 1, y + 1, highlight);
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x)
            if (marked(x, y))
                canvas.setPixel(x, y, shadow);
}

// Pressed command buttons (but not the flat framed look) print one pixel down-right.
int pressOffset(const TamselData& d) {
    const TamselConfig& c = d.config;
    return (d.run.state == VisualState::Pressed && c.buttonType != ButtonType::FramedFlat &&
            !c.optionButton)
               ? 1
               : 0;
}

// One print of the caption: its colour and offset.
struct Layer {
    Colour colour;
    int dx;
    int dy;
};

// The prints of the caption in drawing order; the last is the text itself.
using CaptionLayers = std::array<Layer, 3>;

// The two prints around the text that give an effect its relief.
CaptionLayers effectLayers(int effect, Colour text, Colour mid, Colour shadow) {
    switch (effect) {
    case CaptionStyle::Engraved:
        return {{{shadow, -1, -1}, {mid, 1, 1}, {text, 0, 0}}};
    case CaptionStyle::Embossed:
        return {{{mid, -1, -1}, {shadow, 1, 1}, {text, 0, 0}}};
    default:
        return {{{shadow, 1, 1}, {shadow, -1, -1}, {text, 0, 0}}};
    }
}

// An enabled caption with an effect takes the button's effect colours; a disabled caption of
// the gradient scheme is embossed (engraved when it is a selected option) in shades of the
// container's colour.
CaptionLayers effectLayersOf(const TamselData& d) {
    const TamselConfig& c = d.config;
    if (c.enabled)
        return effectLayers(c.captionStyle, d.run.palette.T, c.embossEngraveMid,
                            c.embossEngraveShadow);
    const Colour b = d.run.parentBackColor;
    if (c.optionButton && c.value)
        return effectLayers(CaptionStyle::Engraved, Shade(b, 47), Shade(b, -192), Shade(b, 31));
    return effectLayers(CaptionStyle::Embossed, 0, Shade(b, -192), Shade(b, 31));
}

CaptionLayers captionLayers(const TamselData& d, Colour main, Colour lower, Colour upper) {
    const TamselConfig& c = d.config;
    const bool gradientDisabled = c.colorScheme == ColorScheme::CustomGradient && !c.enabled;
    if ((c.enabled && c.captionStyle != CaptionStyle::Plain) || gradientDisabled)
        return effectLayersOf(d);
    const bool gradientSelected =
        c.colorScheme == ColorScheme::CustomGradient && c.optionButton && c.value;
    return {
        {{upper, -1, -1}, {lower, 1, 1}, {gradientSelected ? c.gradientStartColor : main, 0, 0}}};
}

// Every line in every layer, in the caption font. The design-time word about fonts that do not
// rotate well comes with the font-and-layout step, not again with every print.
void printLines(QImage& back, const TamselData& d, const CaptionLayers& layers, int press) {
    const CaptionFont cf = CaptionFontFor(d);
    const QFont font = cf.unrotated;
    QPainter p(&back);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setFont(font);
    for (const CaptionLine& line : d.layout.lines) {
        if (line.text.isEmpty())
            continue;
        for (const Layer& layer : layers) {
            if (layer.colour == kNoColour)
                continue;
            printText(p, font, cf.escapement, line.x + press + layer.dx, line.y + press + layer.dy,
                      line.text, layer.colour);
        }
    }
}

void drawUnderline(Canvas& canvas, const CaptionLayout& lay, int orientation, Colour colour,
                   int press) {
    if (!lay.underlinePlaced || lay.underlineLength <= 0)
        return;
    const int ux = lay.underlineX + press;
    const int uy = lay.underlineY + press;
    canvas.selectPen(colour);
    canvas.moveTo(ux, uy);
    if (orientation == 0)
        canvas.lineTo(ux + lay.underlineLength, uy);
    else
        canvas.lineTo(ux, uy + lay.underlineLength);
}

// The icon: stretched into its square, or the greyed copy when disabled.
void drawIcon(QImage& back, const TamselData& d, int press) {
    const TamselConfig& c = d.config;
    if (!d.run.hasIcon || c.icon.isNull())
        return;
    const CaptionLayout& lay = d.layout;
    const int Z = c.iconSquare();
    QPainter p(&back);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (c.enabled) {
        p.drawImage(QRect(lay.iconX + press, lay.iconY + press, Z, Z), c.icon);
    } else if (!d.run.greyIcon.isNull()) {
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(QPoint(lay.iconX + press, lay.iconY + press), d.run.greyIcon);
    }
}

} // namespace

CaptionFont CaptionFontFor(const TamselData& d) {
    const QFont& f = d.config.font;
    CaptionFont cf;
    cf.faceName = f.family();
    if (f.bold())
        cf.faceName += QStringLiteral(" Bold");
    if (f.italic())
        cf.faceName += QStringLiteral(" Italic");
    cf.underline = f.underline();
    cf.strikeOut = f.strikeOut();
    // Points to pixels: size x 20 twips per point / twips per pixel.
    const double points = f.pointSizeF() > 0 ? f.pointSizeF() : f.pixelSize() * 0.75;
    cf.height = -qv::roundHalfEven(points * 20.0 / qv::kTwipsPerPixel);
    const int o = d.config.captionOrientation;
    cf.escapement = o == 1 ? 900 : o == 2 ? 2700 : 0;

    // Bold and italic travel in the face name; full names like "Arial Bold" are not matched
    // by this platform's font lookup, so the suffixes become weight and style here.
    QFont realised(f.family());
    realised.setBold(f.bold());
    realised.setItalic(f.italic());
    realised.setUnderline(cf.underline);
    realised.setStrikeOut(cf.strikeOut);
    realised.setPixelSize(std::max(1, -cf.height));
    realised.setStyleStrategy(QFont::NoAntialias);
    cf.unrotated = realised;
    return cf;
}

CaptionFont MakeFont(TamselData& d, bool withLayout, const ScalableCheck& isScalable) {
    // The graphics-mode switch has no counterpart here: every surface of this platform draws
    // rotated text.
    CaptionFont cf = CaptionFontFor(d);
    if (d.config.captionOrientation != 0) {
        const bool scalable = isScalable ? isScalable(cf.unrotated) : defaultScalable(cf.unrotated);
        if (!scalable && d.run.designMode && d.run.notice)
            d.run.notice(QStringLiteral("Non-True Type fonts may not draw vertically"));
    }
    if (withLayout)
        Layout(d);
    return cf;
}

void DrawCaption(QImage& back, TamselData& d, Colour main, Colour lower, Colour upper) {
    const int press = pressOffset(d);
    const CaptionLayers layers = captionLayers(d, main, lower, upper);
    printLines(back, d, layers, press);
    Canvas canvas(back); // from here on the picture is a 32-bit one
    // The accelerator underline, in the colour of the text itself.
    // The accelerator underline is in the main caption colour the look asked for, even where an
    // effect or the gradient scheme prints the text itself in another colour.
    drawUnderline(canvas, d.layout, d.config.captionOrientation, main, press);
    drawIcon(back, d, press);
}

void GreyIcon(QImage& back, TamselData& d) {
    if (!d.run.hasIcon || d.config.icon.isNull())
        return;
    const TamselPalette& pal = d.run.palette;
    const int Z = d.config.iconSquare();
    const int w = d.config.icon.width();
    const int h = d.config.icon.height();
    if (back.isNull() || back.size() != d.run.clientSize) {
        if (d.run.clientSize.isEmpty())
            return;
        back = QImage(d.run.clientSize, QImage::Format_RGB32);
        back.fill(toQRgb(pal.F));
    }

    // The disabled drawing in a scratch corner of the back image, scaled into the square.
    Canvas canvas(back);
    canvas.fillRect(0, 0, w, h, pal.F);
    drawDisabled(canvas, d.config.icon, pal.Hi, pal.Sh);
    QImage grey(Z, Z, QImage::Format_RGB32);
    grey.fill(toQRgb(pal.F));
    {
        const QImage scratch = back.copy(0, 0, w, h);
        QPainter p(&grey);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        p.drawImage(QRect(0, 0, Z, Z), scratch);
    }

    // The button in its greyed look without caption erases the scratch area.
    Paint(back, d, true);

    // Where the greyed icon shows the face colour, take the button's own pixel instead.
    const Canvas face(back);
    for (int j = 0; j < Z; ++j) {
        for (int i = 0; i < Z; ++i) {
            if (fromQRgb(grey.pixel(i, j)) != pal.F)
                continue;
            const auto below = face.pixel(d.layout.iconX + i + 1, d.layout.iconY + j + 1);
            if (below && *below != pal.F)
                grey.setPixel(i, j, toQRgb(*below));
        }
    }
    d.run.greyIcon = grey;
}

} // namespace qv::tamsel
