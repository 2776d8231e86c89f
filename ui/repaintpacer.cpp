#include "ui/repaintpacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace qv {

RepaintPacer::RepaintPacer(QWidget* window, int intervalMs)
    : window_(window), intervalMs_(intervalMs) {
    held_.setSingleShot(true);
    connect(&held_, &QTimer::timeout, this, &RepaintPacer::deliver);
    if (window_)
        window_->installEventFilter(this);
}

RepaintPacer::~RepaintPacer() {
    if (!window_)
        return;
    window_->removeEventFilter(this);
    if (held_.isActive())
        QCoreApplication::postEvent(window_, new QEvent(QEvent::UpdateRequest),
                                    Qt::LowEventPriority);
}

// A window repaints on its update request: one that comes too soon after the last repaint waits
// until the interval is over. The window asks no more meanwhile; what changed adds up.
bool RepaintPacer::eventFilter(QObject* watched, QEvent* event) {
    if (watched != window_ || event->type() != QEvent::UpdateRequest || delivering_)
        return false;
    if (lastPaint_.isValid() && lastPaint_.elapsed() < intervalMs_) {
        if (!held_.isActive())
            held_.start(static_cast<int>(intervalMs_ - lastPaint_.elapsed()));
        return true;
    }
    lastPaint_.restart();
    return false;
}

void RepaintPacer::deliver() {
    if (!window_)
        return;
    lastPaint_.restart();
    delivering_ = true;
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(window_, &request);
    delivering_ = false;
}

} // namespace qv
