#pragma once

#include "controls/tamsel/primitives.h"
#include "controls/tamsel/tamselstate.h"

#include <QImage>

// The paint routine of TamselButton and the drawing primitives its looks are built from. All
// drawing goes to the back image; the widget presents it.
namespace qv::tamsel {

// Draws the whole control on the back image (resized to the client size when needed): the
// background (face colour, gradient face, or for a hover-raised button with custom colours the
// parent's background), the caption font and layout when the font is dirty, then the look of
// the button type. A snapshot paint draws the greyed look without caption and leaves the
// visual state and Enabled as they were. At design time the visual state returns to normal
// afterwards.
void Paint(QImage& back, TamselData& d, bool snapshot);

// The gradient face of the gradient colour scheme over the whole canvas.
void GradientFace(Canvas& canvas, const TamselData& d);

// A two-tone frame following the outline: c1 outer top-left, c2 outer bottom-right, c3 and
// c4 the inner ones; inset is the inset of the top-left lines; single draws the outer pair
// only.
void Bevel(Canvas& canvas, const TamselData& d, Colour c1, Colour c2, Colour c3, Colour c4,
           int inset, bool single);

// Fills (l, t, r, b); with frameOnly draws a one-pixel frame inside it instead, or, for a
// slanted outline, the quadrilateral (l, t), (r - R, t), (r, b - 1), (l + L, b - 1).
void Box(Canvas& canvas, const TamselData& d, int l, int t, int r, int b, Colour colour,
         bool frameOnly);

// A line from (x1, y1) to (x2, y2) without the end point.
void Line(Canvas& canvas, int x1, int y1, int x2, int y2, Colour colour);

// One pixel.
void Dot(Canvas& canvas, int x, int y, Colour colour);

// The dotted focus rectangle: around the caption block for the flat framed look and for
// slanted outlines, otherwise 4 pixels inside the edges. Nothing when ShowFocus is off.
void FocusMark(Canvas& canvas, const TamselData& d);

} // namespace qv::tamsel
