#pragma once

#include "controls/tamsel/tamselstate.h"

#include <QPalette>
#include <QString>
#include <functional>

// Colour schemes of the multi-style button: the system colours, the translation of system
// colour codes, the operating-system check (default graphics mode, gradients offered) and the
// seven-colour palette derived from the scheme.
namespace qv::tamsel {

// System colour numbers used by the control.
inline constexpr int kColorBtnFace = 15;
inline constexpr int kColorBtnShadow = 16;
inline constexpr int kColorBtnText = 18;
inline constexpr int kColorBtnHighlight = 20;
inline constexpr int kColor3DDkShadow = 21;
inline constexpr int kColor3DLight = 22;

// The current colour of system colour number index (0..30), taken from the platform palette;
// 0 for a number without a colour. Tests and embedders may fix the system colours with the
// installed services' systemColourSource, which returns the colour of a number.
Colour systemColour(int index);

using SystemColourSource = std::function<Colour(int index)>;

// The system colours of a given palette (what systemColour reads from the platform).
Colour systemColourFromPalette(const QPalette& palette, int index);

// A system colour code (top bit set, 0x800000nn) becomes the colour it currently stands for;
// every other value, -1 included, is returned unchanged.
Colour TranslateColor(Colour value);

// "platform.major.minor" of the version query.
QString osKey();

// The default graphics mode of this operating system (0, 1 or 2); with askGradient, -1 when
// the system is not offered the gradient scheme. Asks the version query afresh every time.
int OsCheck(bool askGradient);

// The effective graphics mode for a requested one: the request when 0 or above, else the
// operating-system default.
int effectiveGraphicsMode(int requested);

// Sets the palette (and, for schemes 1, 3 and 4, the two caption effect colours) from the
// colour scheme. With overwrite, schemes 1, 3 and 4 also write face, text and hover colours back
// into BackColor, ForeColor and MouseOver. Scheme 4 reads data.run.parentBackColor and
// data.run.parentTextColor, which the caller keeps current.
void ComputePalette(TamselData& data, bool overwrite);

// The text shown when the colour scheme cannot be changed on this operating system.
QString schemeRefusedMessage();

} // namespace qv::tamsel
