#pragma once

#include "controls/tamsel/tamselstate.h"

#include <QImage>
#include <QRegion>

// The painting entry points the widget calls. Each forwards to the painting routines; the
// widget itself only owns the back image and presents it.
namespace qv::tamsel::bridge {

// Draws the whole control into back (sized to the client area); snapshot renders the greyed
// look without caption.
void paint(TamselData& data, QImage& back, bool snapshot);

// Creates the caption font and recomputes the caption layout.
void layout(TamselData& data, QImage& back);

// Rebuilds the greyed icon image (uses back as scratch area and repaints it).
void greyIcon(TamselData& data, QImage& back);

// Recomputes the accelerator position and the access key from the caption.
void accelerator(TamselData& data);

// The outline given to the control's window.
QRegion region(const TamselData& data);

} // namespace qv::tamsel::bridge
