#pragma once

#include "controls/host/componenthost.h"

#include <QPointer>
#include <QWidget>

// The host of a control placed on a running window: never in design mode; the ambient
// properties are the parent window's; messages are shown in a Qt message box. A new font of the
// element holding the control and a change of the palette are passed on as ambient changes;
// moving the control to another parent is not one.
namespace qv::host {

class WidgetHost : public ComponentHost {
    Q_OBJECT
public:
    explicit WidgetHost(QWidget* control);

    bool designMode() const override { return false; }
    QString displayName() const override;
    QFont ambientFont() const override;
    QColor ambientForeColor() const override;
    QColor ambientBackColor() const override;
    QPalette ambientPalette() const override;

    void propertyChanged(const QString& name) override;
    void messageBox(const QString& text, const QString& title) override;
    void messageBox(const QString& text, const QString& title, MessageIcon icon) override;

    bool dirty() const { return dirty_; }
    void clearDirty() { dirty_ = false; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* container() const;
    void watchContainer(); // follows the control to its current parent
    void containerFontChanged();

    QPointer<QWidget> control_;
    QPointer<QWidget> watched_; // the parent whose font is the ambient font
    QFont watchedFont_;         // its font when last seen
    bool dirty_ = false;
};

} // namespace qv::host
