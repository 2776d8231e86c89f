#include "controls/host/widgethost.h"

#include <QApplication>
#include <QEvent>
#include <QMessageBox>

namespace qv::host {

WidgetHost::WidgetHost(QWidget* control) : ComponentHost(control), control_(control) {
    if (control_) {
        control_->installEventFilter(this);
        connect(control_, &QObject::objectNameChanged, this, &ComponentHost::displayNameChanged);
    }
    watchContainer();
}

void WidgetHost::watchContainer() {
    QWidget* parent = control_ ? control_->parentWidget() : nullptr;
    if (watched_ == parent)
        return;
    if (watched_)
        watched_->removeEventFilter(this);
    watched_ = parent;
    if (watched_) {
        watched_->installEventFilter(this);
        watchedFont_ = watched_->font();
    }
}

void WidgetHost::containerFontChanged() {
    if (watched_->font() == watchedFont_)
        return;
    watchedFont_ = watched_->font();
    emit ambientChanged(QStringLiteral("Font"));
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
    // The control's own font, and the font it takes over from a new parent, are not the
    // ambient font: only a new font of the parent it sits on is.
    if (watched == watched_ && event->type() == QEvent::FontChange)
        containerFontChanged();
    if (watched == control_) {
        switch (event->type()) {
        case QEvent::ParentChange:
            watchContainer();
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
