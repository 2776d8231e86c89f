#include "controls/tamsel/tamselpainter.h"

#include "controls/tamsel/caption.h"
#include "controls/tamsel/looks.h"
#include "controls/tamsel/region.h"

namespace qv::tamsel {

void GradientFace(Canvas& canvas, const TamselData& d) {
    const int orientation = d.config.gradientOrientation;
    const bool reversed = orientation > 1;
    const Colour v0 = reversed ? d.config.gradientStopColor : d.config.gradientStartColor;
    const Colour v1 = reversed ? d.config.gradientStartColor : d.config.gradientStopColor;
    const int mode = orientation - 2 * (reversed ? 1 : 0);
    // Modes other than horizontal (0) and vertical (1) are refused by the gradient fill.
    if (mode != 0 && mode != 1)
        return;
    canvas.gradientFill(0, 0, canvas.width(), canvas.height(), v0, v1, mode == 1);
}

void Bevel(Canvas& canvas, const TamselData& d, Colour c1, Colour c2, Colour c3, Colour c4, int a,
           bool single) {
    const int W = canvas.width();
    const int H = canvas.height();
    const int L = SegmentLeft(d.config.buttonStyle);
    const int R = SegmentRight(d.config.buttonStyle);
    canvas.selectPen(c1);
    canvas.moveTo(L + a, H - 1);
    canvas.lineTo(a, a);
    canvas.lineTo(W - 1 - R, a);
    canvas.selectPen(c2);
    canvas.lineTo(W - 1, H - 1);
    canvas.lineTo(L + a - 1, H - 1);
    canvas.moveTo(L + a + 1, H - 1);
    if (single)
        return;
    canvas.selectPen(c3);
    canvas.lineTo(a + 1, a + 1);
    canvas.lineTo(W - 2 - R, a + 1);
    canvas.selectPen(c4);
    canvas.lineTo(W - 2, H - 2);
    canvas.lineTo(L + a, H - 2);
}

void Box(Canvas& canvas, const TamselData& d, int l, int t, int r, int b, Colour colour,
         bool frameOnly) {
    const int s = d.config.buttonStyle;
    if (!frameOnly) {
        canvas.fillRect(l, t, r, b, colour);
    } else if (s == 0) {
        canvas.frameRect(l, t, r, b, colour);
    } else {
        const Colour saved = canvas.pen();
        canvas.selectPen(colour);
        canvas.polygon({QPoint(l, t), QPoint(r - SegmentRight(s), t), QPoint(r, b - 1),
                        QPoint(l + SegmentLeft(s), b - 1)});
        canvas.selectPen(saved);
    }
}

void Line(Canvas& canvas, int x1, int y1, int x2, int y2, Colour colour) {
    canvas.selectPen(colour);
    canvas.moveTo(x1, y1);
    canvas.lineTo(x2, y2);
}

void Dot(Canvas& canvas, int x, int y, Colour colour) {
    canvas.setPixel(x, y, colour);
}

void FocusMark(Canvas& canvas, const TamselData& d) {
    if (!d.config.showFocus)
        return;
    const int W = canvas.width();
    const int H = canvas.height();
    if (d.config.buttonType == ButtonType::FramedFlat || d.config.buttonStyle != 0) {
        const CaptionLayout& lay = d.layout;
        canvas.drawFocusRect(lay.blockLeft, lay.blockTop, lay.blockRight, lay.blockBottom);
    } else {
        canvas.drawFocusRect(4, 4, W - 4, H - 4);
    }
}

void Paint(QImage& back, TamselData& d, bool snapshot) {
    QSize size = d.run.clientSize;
    if (size.isEmpty())
        size = back.size();
    if (size.isEmpty())
        return;
    if (back.size() != size || back.isNull()) {
        back = QImage(size, QImage::Format_RGB32);
        back.fill(Qt::black);
    }

    // A snapshot is the greyed look: state 1 and Enabled off for the time of the paint.
    const int savedState = d.run.state;
    const bool savedEnabled = d.config.enabled;
    if (snapshot) {
        d.run.state = VisualState::Snapshot;
        d.config.enabled = false;
    }

    // The background.
    {
        Canvas canvas(back);
        const TamselConfig& c = d.config;
        if (c.colorScheme == ColorScheme::CustomGradient) {
            GradientFace(canvas, d);
        } else if (c.buttonType != ButtonType::HoverRaised ||
                   (c.colorScheme != ColorScheme::CustomColors &&
                    c.colorScheme != ColorScheme::CustomGradient) ||
                   d.run.state == VisualState::Hover) {
            canvas.fillRect(0, 0, canvas.width(), canvas.height(), d.run.palette.F);
        } else {
            // Flat until the pointer is over it: the window behind shows through.
            canvas.fillRect(0, 0, canvas.width(), canvas.height(), d.run.parentBackColor);
        }
    }

    // A changed caption, font or direction: new font and layout.
    if (d.run.fontDirty)
        MakeFont(d, true);

    // The look.
    {
        LookContext ctx(back, d, snapshot);
        switch (d.config.buttonType) {
        case ButtonType::OutlinedBevel:
            DrawOutlinedBevel(ctx);
            break;
        case ButtonType::Classic3D:
            DrawClassic3D(ctx);
            break;
        case ButtonType::WindowsXP:
            DrawWindowsXP(ctx);
            break;
        case ButtonType::FramedFlat:
            DrawFramedFlat(ctx);
            break;
        case ButtonType::SoftBevel:
            DrawSoftBevel(ctx);
            break;
        case ButtonType::Macintosh:
            DrawMacintosh(ctx);
            break;
        default:
            DrawThinRaised(ctx);
            break;
        }
    }

    // Back to the state of before the snapshot.
    if (snapshot) {
        d.run.state = savedState;
        d.config.enabled = savedEnabled;
    }
    // In the designer a button always rests in its normal state.
    if (d.run.designMode)
        d.run.state = VisualState::Normal;
}

} // namespace qv::tamsel
