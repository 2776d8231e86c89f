#pragma once

#include "controls/tamsel/tamselstate.h"

namespace qv::tamsel {

// Lightens (delta > 0) or darkens (delta < 0) a colour channel by channel, clamping each
// channel to 0..255. With proportionalBlue the blue channel moves by b * delta / 192 instead
// of delta (the Windows XP look tints its face this way).
Colour Shade(Colour colour, int delta, bool proportionalBlue = false);

} // namespace qv::tamsel
