#pragma once

#include "controls/host/componenthost.h"

#include <QPointer>
#include <QWidget>

// The host of a control placed on a running window: never in design mode; the ambient
// properties are the parent window's; messages are shown in a Qt message box. Changes of the
// parent's font or palette are passed on as ambient changes.
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
    QPointer<QWidget> control_;
    bool dirty_ = false;
};

} // namespace qv::host
