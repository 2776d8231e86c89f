#pragma once

#include <QWidget>

namespace qv {

// One layer of a window designed in twips: it covers the whole window, its controls sit at their
// design places in the window's own coordinates, and it paints nothing of its own. It takes the
// pointer only where one of its shown controls is, so that the controls of the layers below stay
// reachable between its own. The window keeps it at its own size; the layout scaler places the
// layer's controls as it places the window's.
class DesignLayer : public QWidget {
    Q_OBJECT
public:
    explicit DesignLayer(QWidget* window);

    // The pointer area follows the shown controls: at once after a panel shows or hides its
    // controls, after the scaler has moved them, or soon after one control was shown or hidden on
    // its own.
    void updatePointerArea();

protected:
    bool event(QEvent* event) override;
};

} // namespace qv
