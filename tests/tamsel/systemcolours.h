#pragma once

#include "controls/tamsel/colorscheme.h"

// A fixed set of system colours for the multi-style button's tests.
namespace qv::tamsel::test {

// The button colours, each distinct from the others and from the fixed colours of the looks
// (the highlight is not white, the face is not the classic grey).
inline constexpr Colour kSysFace = 0xD4D0C8;
inline constexpr Colour kSysShadow = 0x868686;
inline constexpr Colour kSysText = 0x112233;
inline constexpr Colour kSysHighlight = 0xFAFAFA;
inline constexpr Colour kSysDarkShadow = 0x404040;
inline constexpr Colour kSysLight = 0xE0E0E0;

// The system colour of an index: the button colours above; any other index n gives the grey
// 0xnnnnnn.
inline Colour fixedSystemColour(int index) {
    switch (index) {
    case kColorBtnFace:
        return kSysFace;
    case kColorBtnShadow:
        return kSysShadow;
    case kColorBtnText:
        return kSysText;
    case kColorBtnHighlight:
        return kSysHighlight;
    case kColor3DDkShadow:
        return kSysDarkShadow;
    case kColor3DLight:
        return kSysLight;
    default:
        return 0x010101 * static_cast<Colour>(index);
    }
}

} // namespace qv::tamsel::test
