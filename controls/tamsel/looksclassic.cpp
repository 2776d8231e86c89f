// The six palette-driven looks: outlined bevel, classic 3D, framed flat, soft bevel, and the
// thin raised bevel shared by the thin-raised and hover-raised buttons.
#include "controls/tamsel/looks.h"

namespace qv::tamsel {

namespace {

// The caption of an enabled button: hover colour under the pointer.
void enabledCaption(LookContext& c) {
    c.caption(c.hovered() ? c.p.TO : c.p.T);
}

} // namespace

void DrawOutlinedBevel(LookContext& c) {
    const TamselPalette& p = c.p;
    if (c.selectedOption()) {
        c.fill(0, 0, c.W, c.H, p.L);
        c.bevel(p.Sh, p.Hi, p.Sh, p.Hi, 0);
        if (c.enabled()) {
            if (c.focused() || c.pressed())
                c.focusMark();
            enabledCaption(c);
        } else {
            c.caption(p.Sh, p.Hi);
        }
    } else if (c.pressed()) {
        c.bevel(p.Sh, p.Hi, p.Sh, p.Hi, 1);
        c.frame(0, 0, c.W, c.H, p.Dk);
        c.focusMark();
        c.caption(p.T);
    } else if (c.enabled()) {
        c.bevel(p.Hi, p.Sh, p.Hi, p.Sh, 1);
        c.frame(0, 0, c.W, c.H, p.Dk);
        enabledCaption(c);
        if (c.focused())
            c.focusMark();
    } else {
        c.bevel(p.Hi, p.Sh, p.Hi, p.Sh, 1);
        c.frame(0, 0, c.W, c.H, p.Dk);
        c.caption(p.Sh, p.Hi);
    }
}

void DrawClassic3D(LookContext& c) {
    const TamselPalette& p = c.p;
    if (c.selectedOption()) {
        c.fill(0, 0, c.W, c.H, p.L);
        c.bevel(p.Dk, p.Hi, p.Sh, p.L, 0);
        if (c.enabled()) {
            if (c.focused() || c.pressed())
                c.focusMark();
            enabledCaption(c);
        } else {
            c.caption(p.Sh);
        }
    } else if (c.pressed()) {
        c.frame(0, 0, c.W, c.H, p.Dk);
        c.frame(1, 1, c.W - 1, c.H - 1, p.Sh);
        c.focusMark();
        c.caption(p.T);
    } else if (c.enabled()) {
        c.bevel(p.Hi, p.Dk, p.L, p.Sh, 1);
        if (c.focused()) {
            c.frame(0, 0, c.W, c.H, p.Dk);
            c.focusMark();
        }
        enabledCaption(c);
    } else {
        c.bevel(p.Hi, p.Dk, p.L, p.Sh, 1);
        if (c.d.config.optionButton)
            c.caption(p.Sh);
        else
            c.caption(p.Sh, p.Hi);
    }
}

void DrawFramedFlat(LookContext& c) {
    const TamselPalette& p = c.p;
    auto face = [&c, &p] {
        c.fill(1, 1, c.W - 1, c.H - 1, Shade(p.F, 12));
        c.frame(1, 1, c.W - 1, c.H - 1, p.Hi);
        c.frame(0, 0, c.W - 1, c.H - 1, Shade(p.Sh, -26));
        if (c.style() != 0) {
            c.dot(1, c.H - 2, Shade(p.Sh, 26));
            c.dot(c.W - 2, 1, Shade(p.Sh, 26));
        }
    };
    if (c.selectedOption()) {
        c.fill(0, 0, c.W, c.H, Shade(p.L, 2));
        c.bevel1(p.Sh, p.Hi);
        if (c.enabled()) {
            enabledCaption(c);
            if (c.focused())
                c.focusMark();
        } else {
            c.caption(p.Sh);
        }
    } else if (c.pressed()) {
        // The fill stops one pixel short of the frame: a column and a row of the background
        // stay visible at the right and bottom.
        c.fill(1, 1, c.W - 2, c.H - 2, Shade(p.Sh, 16));
        c.caption(p.T);
        c.focusMark();
        c.frame(0, 0, c.W - 1, c.H - 1, Shade(p.Sh, -26));
    } else if (c.enabled()) {
        face();
        if (c.focused())
            c.focusMark();
        enabledCaption(c);
    } else {
        if (c.d.config.optionButton)
            face();
        else
            c.frame(0, 0, c.W, c.H, p.Sh);
        c.caption(p.Sh);
    }
}

void DrawSoftBevel(LookContext& c) {
    const TamselPalette& p = c.p;
    const Colour A = Shade(p.L, 8);
    if (c.selectedOption()) {
        c.fill(0, 0, c.W, c.H, p.L);
        c.bevel(p.Sh, A, p.Sh, A, 0);
        if (c.enabled()) {
            enabledCaption(c);
            if (c.focused())
                c.focusMark();
        } else {
            c.caption(p.Sh);
        }
    } else if (c.pressed()) {
        c.frame(0, 0, c.W - 1, c.H - 1, Shade(p.Sh, -26));
        c.caption(p.T);
        c.focusMark();
        c.bevel(p.Sh, A, p.Sh, A, 0);
    } else if (c.enabled()) {
        enabledCaption(c);
        c.bevel(A, p.Sh, A, p.Sh, 0);
        if (c.focused())
            c.focusMark();
    } else {
        c.caption(p.Sh);
        c.bevel(A, p.Sh, A, p.Sh, 0);
    }
}

void DrawThinRaised(LookContext& c) {
    const TamselPalette& p = c.p;
    const bool hoverRaised = c.d.config.buttonType == ButtonType::HoverRaised;
    if (c.selectedOption()) {
        c.fill(0, 0, c.W, c.H, p.L);
        c.bevel1(p.Sh, p.Hi);
        if (c.enabled()) {
            enabledCaption(c);
            if (c.focused())
                c.focusMark();
        } else {
            c.caption(p.Sh, p.Hi);
        }
    } else if (c.pressed()) {
        c.caption(p.T);
        c.focusMark();
        c.bevel1(p.Sh, p.Hi);
    } else if (c.enabled()) {
        enabledCaption(c);
        if (!hoverRaised || c.d.run.mouseOver || c.hovered())
            c.bevel1(p.Hi, p.Sh);
        if (c.focused())
            c.focusMark();
    } else {
        c.caption(p.Sh, p.Hi);
        if (hoverRaised)
            c.frame(0, 0, c.W, c.H, p.Sh);
        else
            c.bevel1(p.Hi, p.Sh);
    }
}

} // namespace qv::tamsel
