#pragma once

#include "controls/tamsel/caption.h"
#include "controls/tamsel/primitives.h"
#include "controls/tamsel/shade.h"
#include "controls/tamsel/tamselpainter.h"
#include "controls/tamsel/tamselstate.h"

// What every look routine draws with: the canvas, the button's data and the primitives in
// the short forms the looks are written in.
namespace qv::tamsel {

class LookContext {
public:
    LookContext(QImage& back, TamselData& data, bool snapshotPaint)
        : back_(back), canvas(back), d(data), p(data.run.palette), snapshot(snapshotPaint),
          W(canvas.width()), H(canvas.height()) {}

    bool enabled() const { return d.config.enabled; }
    int state() const { return d.run.state; }
    bool hovered() const { return d.run.state == VisualState::Hover; }
    bool pressed() const { return d.run.state == VisualState::Pressed; }
    bool focused() const { return d.run.hasFocus; }
    bool selectedOption() const { return d.config.optionButton && d.config.value; }
    int style() const { return d.config.buttonStyle; }

    void bevel(Colour c1, Colour c2, Colour c3, Colour c4, int a) {
        Bevel(canvas, d, c1, c2, c3, c4, a, false);
    }
    void bevel1(Colour c1, Colour c2) { Bevel(canvas, d, c1, c2, c1, c2, 0, true); }
    void fill(int l, int t, int r, int b, Colour c) { Box(canvas, d, l, t, r, b, c, false); }
    void frame(int l, int t, int r, int b, Colour c) { Box(canvas, d, l, t, r, b, c, true); }
    void line(int x1, int y1, int x2, int y2, Colour c) { Line(canvas, x1, y1, x2, y2, c); }
    void dot(int x, int y, Colour c) { Dot(canvas, x, y, c); }
    void focusMark() { FocusMark(canvas, d); }
    // The caption and icon in main colour c, with a recessed copy in e first. A snapshot
    // paint draws no caption.
    void caption(Colour c, Colour e = kNoColour) {
        if (snapshot)
            return;
        DrawCaption(back_, d, c, e, kNoColour);
    }

private:
    QImage& back_;

public:
    Canvas canvas;
    TamselData& d;
    const TamselPalette& p;
    const bool snapshot;
    const int W;
    const int H;
};

void DrawOutlinedBevel(LookContext& c);
void DrawClassic3D(LookContext& c);
void DrawFramedFlat(LookContext& c);
void DrawSoftBevel(LookContext& c);
void DrawThinRaised(LookContext& c); // types 6 and 7
void DrawWindowsXP(LookContext& c);
void DrawMacintosh(LookContext& c);

} // namespace qv::tamsel
