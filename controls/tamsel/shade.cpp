#include "controls/tamsel/shade.h"

#include <algorithm>

namespace qv::tamsel {

Colour Shade(Colour colour, int delta, bool proportionalBlue) {
    const int r = redOf(colour) + delta;
    const int g = greenOf(colour) + delta;
    const int b0 = blueOf(colour);
    // Integer division truncates towards zero, as the blue tint expects.
    const int b = proportionalBlue ? b0 + (b0 * delta) / 192 : b0 + delta;
    return rgbColour(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255));
}

} // namespace qv::tamsel
