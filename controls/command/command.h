#pragma once

#include "controls/command/commandface.h"
#include "controls/host/componenthost.h"

#include <QFont>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

namespace qv::host {
class PropertyBag;
} // namespace qv::host

// The flat command button: a vertical white-to-lavender face framed by pieces of a small state
// picture, a word-wrapped centred caption with an "&" access key, a dotted focus frame and a
// hover look that a 100 ms pointer check takes away again. One event: Click.
class Command : public QWidget {
    Q_OBJECT
public:
    explicit Command(QWidget* parent = nullptr);
    ~Command() override;

    QString Caption() const { return caption_; }
    void setCaption(const QString& caption);

    bool Enabled() const { return machine_.enabled(); }
    // Hides QWidget::setEnabled: a disabled flat button keeps its place and draws itself grey.
    void setEnabled(bool enabled);

    QFont Font() const { return font(); }
    void setFont(const QFont& font);

    QColor FontColour() const { return textColour_; }
    void setFontColour(const QColor& colour);

    // Opaque (true) or transparent (false) surface; not the same as being shown on the window.
    bool Visible() const { return opaque_; }
    void setVisibleProperty(bool opaque);

    // Normal face state and the pointer check every 100 ms; nothing is redrawn. A new control
    // (firstRun() 0) is set up from then on.
    void Initialize();

    // Presses the button as its access key does (also the press action for screen readers).
    void Press();

    quint8 firstRun() const { return firstRun_; }
    std::optional<QChar> accessKey() const { return accessKey_; }
    std::uint8_t faceState() const { return machine_.state(); }
    qv::command::Face currentFace() const { return machine_.face(); }
    bool hoverGradient() const { return machine_.hoverGradient(); }
    bool pointerCheckRunning() const { return pointerTimer_.isActive(); }

    // The property store: read when the control is loaded, written when it is saved.
    void ReadProperties(qv::host::PropertyBag& bag);
    void WriteProperties(qv::host::PropertyBag& bag);

    // The host that learns of property changes and gives the ambient font; a WidgetHost
    // unless replaced (the control does not take ownership of a replacement).
    void setHost(qv::host::ComponentHost* host);
    qv::host::ComponentHost* host() const { return host_; }

    // Which widget the pointer is over; the pointer check asks this (tests replace it).
    void setPointerProbe(std::function<QWidget*()> probe);
    void checkPointer(); // one run of the pointer check

    QSize sizeHint() const override;

signals:
    void Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    void refreshFace();
    void apply(const qv::command::FaceMachine::Result& result);
    void changed(const char* name);
    void updateAccessKey();

    qv::command::FaceMachine machine_;
    QString caption_;
    quint8 firstRun_ = 0;
    QColor textColour_ = Qt::black;    // the surface's text colour
    QColor captionColour_ = Qt::black; // the caption's colour while enabled
    bool opaque_ = true;
    bool ignoreFocusIn_ = false;
    std::optional<QChar> accessKey_;
    int shortcutId_ = 0;
    QTimer pointerTimer_;
    std::function<QWidget*()> probe_;
    std::unique_ptr<qv::host::ComponentHost> ownHost_;
    QPointer<qv::host::ComponentHost> host_;
};
