#include "controls/host/widgethost.h"

#include <QApplication>
#include <QEvent>
#include <QMessageBox>

namespace qv::host {

WidgetHost::WidgetHost(QWidget* control) : ComponentHost(control), control_(control) {
    if (control_)
        control_->installEventFilter(this);
}

QWidget* WidgetHost::container() const {
    if (control_ && control_->parentWidget())
        return control_->parentWidget();
    return control_;
}

QString WidgetHost::displayName() const {
    return control_ ? control_->objectName() : QString();
}

QFont WidgetHost::ambientFont() const {
    return container() ? container()->font() : QApplication::font();
}

QColor WidgetHost::ambientForeColor() const {
    const QWidget* w = container();
    return (w ? w->palette() : QApplication::palette()).color(QPalette::WindowText);
}

QColor WidgetHost::ambientBackColor() const {
    const QWidget* w = container();
    return (w ? w->palette() : QApplication::palette()).color(QPalette::Window);
}

QPalette WidgetHost::ambientPalette() const {
    return container() ? container()->palette() : QApplication::palette();
}

void WidgetHost::propertyChanged(const QString&) {
    dirty_ = true;
}

void WidgetHost::messageBox(const QString& text, const QString& title) {
    QMessageBox::information(control_, title, text);
}

void WidgetHost::messageBox(const QString& text, const QString& title, MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        QMessageBox::information(control_, title, text);
        break;
    case MessageIcon::Warning:
        QMessageBox::warning(control_, title, text);
        break;
    case MessageIcon::None:
        messageBox(text, title);
        break;
    }
}

bool WidgetHost::eventFilter(QObject* watched, QEvent* event) {
    if (watched == control_) {
        switch (event->type()) {
        case QEvent::ParentChange:
        case QEvent::FontChange:
            emit ambientChanged(QStringLiteral("Font"));
            break;
        case QEvent::PaletteChange:
            emit ambientChanged(QStringLiteral("ForeColor"));
            emit ambientChanged(QStringLiteral("BackColor"));
            break;
        default:
            break;
        }
    }
    return ComponentHost::eventFilter(watched, event);
}

} // namespace qv::host
