// The Windows XP look (row-shaded face, fixed blue frame, orange hover and blue focus glow)
// and the Macintosh look (light rounded face with a pixel-drawn bevel).
#include "controls/tamsel/looks.h"

#include "platform/twips.h"

namespace qv::tamsel {

namespace {

// Fixed Windows XP colours.
constexpr Colour kOutline = 0x733C00;
constexpr Colour kCorner = 0x7B4D10;
constexpr Colour kHoverOuter = 0x31B2FF;
constexpr Colour kHoverSide = 0x6BCBFF;
constexpr Colour kHoverBottom = 0x0096E7;
constexpr Colour kHoverTop = 0xCEF3FF;
constexpr Colour kFocusFrame = 0xE7AE8C;
constexpr Colour kFocusSide = 0xF0D1B5;
constexpr Colour kFocusBottom = 0xEF826B;
constexpr Colour kFocusTop = 0xFFE7CE;

// The XP tint: blue moves in proportion to itself.
Colour S(Colour c, int delta) {
    return Shade(c, delta, true);
}

// The shading of face row i: 25 levels over the height, in single precision.
int rowDelta(int H, int i) {
    const float step = 25.0f / static_cast<float>(H);
    const float value = -step * static_cast<float>(i);
    return qv::roundHalfEven(value);
}

void xpHover(LookContext& c) {
    if (c.style() == 0) {
        c.frame(2, 2, c.W - 2, c.H - 2, kHoverOuter);
        c.line(1, 2, 1, c.H - 2, kHoverSide);
        c.line(2, c.H - 2, c.W - 2, c.H - 2, kHoverBottom);
        c.line(2, 1, c.W - 2, 1, kHoverTop);
        c.line(c.W - 2, 2, c.W - 2, c.H - 2, kHoverSide);
    } else {
        c.frame(0, 0, c.W, c.H, kOutline);
        c.frame(1, 1, c.W - 1, c.H - 1, kHoverSide);
        c.frame(2, 2, c.W - 2, c.H - 2, kHoverOuter);
    }
}

void xpFocus(LookContext& c) {
    if (c.style() == 0) {
        c.frame(1, 2, c.W - 2, c.H - 2, kFocusFrame);
        c.line(3, 2, 3, c.H - 2, kFocusSide);
        c.line(3, c.H - 2, c.W - 3, c.H - 2, kFocusBottom);
        c.line(4, 3, c.W - 4, 3, kFocusTop);
        c.line(c.W - 4, 3, c.W - 4, c.H - 3, kFocusSide);
        c.frame(1, 1, c.W - 1, c.H - 1, kFocusFrame);
    } else {
        c.frame(0, 0, c.W, c.H, kOutline);
        c.frame(1, 1, c.W - 1, c.H - 1, kFocusFrame);
    }
}

void xpCorners(LookContext& c, Colour colour = kCorner) {
    if (c.style() != 0)
        return;
    c.dot(1, 1, colour);
    c.dot(1, c.H - 2, colour);
    c.dot(c.W - 2, 1, colour);
    c.dot(c.W - 2, c.H - 2, colour);
}

// The raised inset lines of a resting face built on base colour b, then the outline.
void xpRaisedEdges(LookContext& c, Colour b, Colour secondBottom) {
    const int W = c.W;
    const int H = c.H;
    c.line(2, H - 2, W - 2, H - 2, S(b, -48));
    c.line(1, H - 3, W - 2, H - 3, secondBottom);
    c.line(W - 2, 2, W - 2, H - 2, S(b, -36));
    c.line(W - 3, 3, W - 3, H - 3, S(b, -24));
    c.line(2, 1, W - 2, 1, S(b, 16));
    c.line(1, 2, W - 2, 2, S(b, 10));
    c.line(1, 2, 1, H - 2, S(b, -5));
    c.line(2, 3, 2, H - 3, S(b, -10));
    c.frame(0, 0, W, H, kOutline);
}

// The sunken inset lines of a pressed or selected face built on base colour b.
void xpSunkenEdges(LookContext& c, Colour b) {
    const int W = c.W;
    const int H = c.H;
    c.line(2, H - 2, W - 2, H - 2, S(b, 16));
    c.line(1, H - 3, W - 2, H - 3, S(b, 10));
    c.line(W - 2, 2, W - 2, H - 2, S(b, 5));
    c.line(W - 3, 3, W - 3, H - 3, b);
    c.line(2, 1, W - 2, 1, S(b, -32));
    c.line(1, 2, W - 2, 2, S(b, -24));
    c.line(1, 2, 1, H - 2, S(b, -32));
    c.line(2, 2, 2, H - 2, S(b, -22));
}

// The four dark corner dots of the Macintosh outline.
void macCorners(LookContext& c) {
    const TamselPalette& p = c.p;
    c.dot(1, 1, p.Dk);
    c.dot(1, c.H - 2, p.Dk);
    c.dot(c.W - 2, 1, p.Dk);
    c.dot(c.W - 2, c.H - 2, p.Dk);
}

// The raised Macintosh face's rounded corners, light top-left and shaded bottom-right edges
// (the square style has none of them).
void macDetails(LookContext& c) {
    if (c.style() != 0)
        return;
    const TamselPalette& p = c.p;
    const int W = c.W;
    const int H = c.H;
    macCorners(c);
    c.dot(1, 2, p.F);
    c.dot(2, 1, p.F);
    c.dot(3, 3, p.Hi);
    c.dot(W - 4, H - 4, p.F);
    c.dot(W - 3, H - 3, p.Sh);
    c.dot(2, H - 2, p.F);
    c.dot(2, H - 3, p.L);
    c.dot(W - 2, 2, p.F);
    c.dot(W - 3, 2, p.L);
    c.line(3, 2, W - 3, 2, p.Hi);
    c.line(2, 2, 2, H - 3, p.Hi);
    c.line(W - 3, 1, W - 3, H - 3, p.F);
    c.line(1, H - 3, W - 3, H - 3, p.F);
    c.line(W - 2, 3, W - 2, H - 2, p.Sh);
    c.line(3, H - 2, W - 2, H - 2, p.Sh);
}

// The Macintosh look pressed, or as a selected option button: a sunken face.
void drawMacintoshSunken(LookContext& c) {
    const TamselPalette& p = c.p;
    const int W = c.W;
    const int H = c.H;
    if (c.style() == 0) {
        c.dot(2, 2, Shade(p.Sh, -64));
        c.dot(3, 3, Shade(p.Sh, -32));
        macCorners(c);
        c.dot(W - 4, H - 4, p.Sh);
        c.dot(W - 2, H - 3, Shade(p.Sh, -32));
        c.dot(W - 3, H - 2, Shade(p.Sh, -32));
        c.dot(2, H - 2, Shade(p.Sh, -32));
        c.dot(2, H - 3, Shade(p.Sh, -16));
        c.dot(1, H - 3, Shade(p.Sh, -16));
        c.dot(W - 2, 2, Shade(p.Sh, -32));
        c.dot(W - 3, 2, Shade(p.Sh, -16));
        c.dot(W - 3, 1, Shade(p.Sh, -16));
        c.frame(1, 1, W - 2, H - 2, Shade(p.Sh, -64));
        c.frame(2, 2, W - 4, H - 4, Shade(p.Sh, -32));
    }
    c.line(W - 3, 1, W - 3, H - 3, p.Sh);
    c.line(1, H - 3, W - 2, H - 3, p.Sh);
    c.line(W - 2, 3, W - 2, H - 2, Shade(p.Sh, -16));
    c.line(2, H - 1, W - 2, H - 1, Shade(p.Sh, -16));
    c.focusMark();
    // The sunken face covers everything above inside (1, 1, W - 2, H - 2).
    c.fill(1, 1, W - 2, H - 2, Shade(p.Sh, -16));
    c.frame(0, 0, W, H, p.Dk);
    if (!c.enabled()) {
        c.caption(p.L);
    } else if (c.selectedOption()) {
        c.caption(c.hovered() ? p.TO : p.L);
        if (c.focused())
            c.focusMark();
    } else {
        c.caption(p.Sh, p.Hi);
    }
}

} // namespace

void DrawWindowsXP(LookContext& c) {
    const TamselPalette& p = c.p;
    const int W = c.W;
    const int H = c.H;
    const Colour Q = S(p.F, 48);
    const Colour P = S(Q, -32);
    const Colour N = S(S(p.F, -22), 32);

    if (c.selectedOption()) {
        for (int i = H; i >= 1; --i)
            c.line(0, H - i, W, H - i, S(N, rowDelta(H, i)));
        xpCorners(c);
        xpSunkenEdges(c, N);
        c.frame(0, 0, W, H, kOutline);
        if (c.enabled()) {
            if (c.hovered()) {
                xpHover(c);
                c.caption(p.TO);
            } else if (c.focused()) {
                xpFocus(c);
                c.caption(p.T);
            } else {
                xpRaisedEdges(c, N, S(N, -32));
                c.caption(p.T);
            }
        } else {
            c.caption(p.Hi);
        }
        return;
    }

    if (c.pressed()) {
        // Darkest at the top, lightest at the bottom.
        for (int i = 1; i <= H; ++i)
            c.line(0, H - i, W, H - i, S(P, rowDelta(H, i)));
        xpCorners(c);
        xpSunkenEdges(c, P);
        c.frame(0, 0, W, H, kOutline);
        c.caption(p.T);
        if (c.focused())
            c.frame(1, 2, W - 2, H - 2, kFocusFrame);
        return;
    }

    if (!c.enabled()) {
        c.fill(0, 0, W, H, S(Q, -24));
        c.frame(0, 0, W, H, S(Q, -84));
        xpCorners(c, S(Q, -72));
        c.caption(S(Q, -104));
        return;
    }

    // The face darkens by 25 levels from top to bottom.
    for (int i = 1; i <= H; ++i)
        c.line(0, i, W, i, S(Q, rowDelta(H, i)));
    if (c.style() == 0) {
        c.frame(0, 0, W, H, kOutline);
        xpCorners(c);
    }
    if (c.hovered()) {
        xpHover(c);
        c.caption(p.TO);
    } else if (c.focused()) {
        xpFocus(c);
        c.caption(p.T);
    } else {
        xpRaisedEdges(c, Q, P);
        c.caption(p.T);
    }
}

void DrawMacintosh(LookContext& c) {
    if (c.pressed() || c.selectedOption()) {
        drawMacintoshSunken(c);
        return;
    }
    const TamselPalette& p = c.p;
    const int W = c.W;
    const int H = c.H;
    if (c.enabled()) {
        c.fill(1, 1, W - 1, H - 1, p.L);
        c.frame(0, 0, W, H, p.Dk);
        macDetails(c);
        c.caption(c.hovered() ? p.TO : p.T);
        if (c.focused())
            c.focusMark();
    } else {
        c.fill(1, 1, W - 2, H - 2, p.L);
        c.frame(0, 0, W, H, p.Dk);
        macDetails(c);
        c.caption(p.Sh, p.Hi);
    }
}

} // namespace qv::tamsel
