#include "ui/balloondrag.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace qv {
namespace {

// Follows the pointer until the buttons are released, then removes itself.
class PointerDrag : public QObject {
public:
    PointerDrag(QWidget* window, QPoint pressAt)
        : window_(window), pressAt_(pressAt), startPos_(window->pos()) {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (!window_) {
            finish();
            return false;
        }
        switch (event->type()) {
        case QEvent::MouseMove: {
            auto* me = static_cast<QMouseEvent*>(event);
            if (me->buttons() == Qt::NoButton) {
                finish();
                return false;
            }
            window_->move(startPos_ + (me->globalPosition().toPoint() - pressAt_));
            return false;
        }
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton)
                finish();
            return false;
        default:
            return false;
        }
    }

private:
    void finish() {
        qApp->removeEventFilter(this);
        deleteLater();
    }

    QPointer<QWidget> window_;
    QPoint pressAt_;
    QPoint startPos_;
};

} // namespace

void dragWindow(QWidget* widget, std::optional<QPoint> pressAt) {
    if (!widget)
        return;
    QWidget* window = widget->window();
    if (window->isMaximized())
        return;
    if (QWindow* handle = window->windowHandle(); handle && handle->startSystemMove())
        return;
    new PointerDrag(window, pressAt.value_or(QCursor::pos()));
}

} // namespace qv
