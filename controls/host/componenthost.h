#pragma once

#include <QColor>
#include <QFont>
#include <QObject>
#include <QPalette>
#include <QString>
#include <QStringList>

// What a control expects of the window that holds it: whether the window is being designed,
// the ambient properties with change notifications, the property-changed notification that
// marks the stored configuration dirty, and message boxes.
namespace qv::host {

// The icon of a message box shown by a control.
enum class MessageIcon { None, Information, Warning };

class ComponentHost : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual bool designMode() const = 0;     // true while a window is being designed
    virtual QString displayName() const = 0; // the instance's display name
    virtual QFont ambientFont() const = 0;
    virtual QColor ambientForeColor() const = 0;
    virtual QColor ambientBackColor() const = 0;
    virtual QPalette ambientPalette() const = 0;

    virtual void propertyChanged(const QString& name) = 0;
    virtual void messageBox(const QString& text, const QString& title) = 0;
    // A message box with an icon; hosts that show no icons fall back to the plain box.
    virtual void messageBox(const QString& text, const QString& title, MessageIcon icon) {
        Q_UNUSED(icon);
        messageBox(text, title);
    }

signals:
    // Emitted with the name of the ambient property that changed ("Font", "ForeColor",
    // "BackColor", "Palette").
    void ambientChanged(const QString& name);
    // The instance's display name has changed (or become known).
    void displayNameChanged();
};

// A host for tests and for controls placed without a designer: every ambient value and the
// design-mode flag can be set, and notifications and messages are recorded in order.
class RecordingHost : public ComponentHost {
    Q_OBJECT
public:
    using ComponentHost::ComponentHost;

    bool designMode() const override { return designMode_; }
    QString displayName() const override { return displayName_; }
    QFont ambientFont() const override { return font_; }
    QColor ambientForeColor() const override { return fore_; }
    QColor ambientBackColor() const override { return back_; }
    QPalette ambientPalette() const override { return palette_; }

    void propertyChanged(const QString& name) override { changed << name; }
    void messageBox(const QString& text, const QString& title) override {
        messages << text;
        messageTitles << title;
        messageIcons << MessageIcon::None;
    }
    void messageBox(const QString& text, const QString& title, MessageIcon icon) override {
        messages << text;
        messageTitles << title;
        messageIcons << icon;
    }

    void setDesignMode(bool on) { designMode_ = on; }
    void setDisplayName(const QString& name) {
        displayName_ = name;
        emit displayNameChanged();
    }
    void setAmbientFont(const QFont& f) {
        font_ = f;
        emit ambientChanged(QStringLiteral("Font"));
    }
    void setAmbientForeColor(const QColor& c) {
        fore_ = c;
        emit ambientChanged(QStringLiteral("ForeColor"));
    }
    void setAmbientBackColor(const QColor& c) {
        back_ = c;
        emit ambientChanged(QStringLiteral("BackColor"));
    }
    void setAmbientPalette(const QPalette& p) {
        palette_ = p;
        emit ambientChanged(QStringLiteral("Palette"));
    }

    QStringList changed;  // property-changed notifications, in order
    QStringList messages; // message box texts, in order
    QStringList messageTitles;
    QList<MessageIcon> messageIcons;

private:
    bool designMode_ = false;
    QString displayName_ = QStringLiteral("Control1");
    QFont font_;
    QColor fore_ = Qt::black;
    QColor back_ = QColor(0xC0, 0xC0, 0xC0);
    QPalette palette_;
};

} // namespace qv::host
