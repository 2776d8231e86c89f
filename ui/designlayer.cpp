#include "ui/designlayer.h"

#include <QEvent>
#include <QRegion>

namespace qv {

DesignLayer::DesignLayer(QWidget* window) : QWidget(window) {
    // Pointer moves over its controls reach the window (which clears its hover marks) through it.
    setMouseTracking(true);
    if (window)
        setGeometry(window->rect());
}

void DesignLayer::updatePointerArea() {
    QRegion shown;
    for (QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!control->isWindow() && !control->isHidden())
            shown += control->geometry();
    // An empty mask would be no mask at all (the whole layer): with nothing shown, the layer lets
    // the pointer through.
    setAttribute(Qt::WA_TransparentForMouseEvents, shown.isEmpty());
    if (shown.isEmpty())
        clearMask();
    else
        setMask(shown);
}

bool DesignLayer::event(QEvent* event) {
    // Qt asks a widget without a layout to lay out again when one of its children is shown or
    // hidden.
    if (event->type() == QEvent::LayoutRequest)
        updatePointerArea();
    return QWidget::event(event);
}

} // namespace qv
