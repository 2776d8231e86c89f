#pragma once

#include <QRegion>

namespace qv::tamsel {

// How far the slanted outlines pull the top-right corner in (R) and push the bottom-left
// corner in (L), by ButtonStyle; both are 0 for the rectangular style.
int SegmentRight(int buttonStyle);
int SegmentLeft(int buttonStyle);

// The outline given to the control's window: for a slanted style the polygon
// (0, 0), (L, H), (W, H), (W - R, 0); for the rectangular style the client rectangle minus
// the corner pixels each look rounds off.
QRegion WindowRegion(int buttonType, int buttonStyle, int width, int height);

} // namespace qv::tamsel
