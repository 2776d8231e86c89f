#pragma once

#include <QPoint>
#include <optional>

class QWidget;

namespace qv {

// Lets the user move the window of widget with the mouse as if by its caption, from a button press
// until the button is released. A maximized window stays put. Call it from a mouse-press handler;
// pressAt is the pointer's screen position at the press (the pointer's current position when
// not given). Where the window system cannot move the window itself, the window follows the
// pointer's moves.
void dragWindow(QWidget* widget, std::optional<QPoint> pressAt = std::nullopt);

} // namespace qv
