#pragma once

#include "platform/pacing.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QWidget;

namespace qv {

// Paces the repaints of one window while long work runs in its handler and lets events through
// after every small step: the window repaints at most once every kShowProgressEveryMs (a few dozen
// times a second) instead of after every step, showing all that changed meanwhile. A repaint held
// back when the pacer ends follows at once.
class RepaintPacer : public QObject {
public:
    explicit RepaintPacer(QWidget* window, int intervalMs = kShowProgressEveryMs);
    ~RepaintPacer() override;
    RepaintPacer(const RepaintPacer&) = delete;
    RepaintPacer& operator=(const RepaintPacer&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void deliver();

    QPointer<QWidget> window_;
    int intervalMs_;
    QElapsedTimer lastPaint_;
    QTimer held_;
    bool delivering_ = false;
};

} // namespace qv
