#pragma once

#include "drawing/scalercore.h"

#include <QLine>
#include <optional>

class QWidget;

// The layout scaler on a window of widgets. The window's controls are its named child objects
// (child windows and Qt's own helpers excluded) and those of its layers (qv::DesignLayer), in
// creation order; their places are read and
// set in twips. Objects without a place (timers) are recorded with zeros and never moved.
namespace qv {

// A window whose lines are widgets of its own kind tells the scaler how to read and set their
// end points, in twips of the window.
class LineEndsAccess {
public:
    virtual ~LineEndsAccess() = default;
    virtual std::optional<QLine> ends(const QWidget* control) const = 0; // nullopt: not a line
    virtual void setEnds(QWidget* control, const QLine& ends) const = 0;
};

// Records the window's layout at the first call; scales it to the window's inner size afterwards.
void rescaleForm(QWidget& window, const LineEndsAccess* lines = nullptr);

// The same on an explicit scaler (tests use their own).
void rescaleForm(scaler::LayoutScaler& scaler, QWidget& window,
                 const LineEndsAccess* lines = nullptr);

} // namespace qv
