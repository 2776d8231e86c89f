#pragma once

#include "controls/host/componenthost.h"
#include "controls/host/propertybag.h"
#include "controls/tamsel/tamselstate.h"

#include <QImage>
#include <QPointer>
#include <QRegion>
#include <QWidget>
#include <functional>

class QTimer;

// A button that paints itself in one of eight looks under one of five colour schemes, with
// caption effects, an optional icon, rotated captions, slanted outlines and option-button
// groups. It draws into a back image and presents it; its configuration is read from and
// written to the host's property store.
namespace qv::tamsel {

class TamselButton : public QWidget {
    Q_OBJECT
public:
    // Without a host the button uses a WidgetHost (run time, ambient values from the parent).
    explicit TamselButton(QWidget* parent = nullptr, host::ComponentHost* host = nullptr);
    ~TamselButton() override;

    host::ComponentHost* host() const { return host_.data(); }

    // Lifecycle: the values of a newly placed instance, and a stored property set.
    void InitProperties();
    void ReadProperties(host::PropertyBag& bag);
    void WriteProperties(host::PropertyBag& bag) const;

    // Properties. Setters follow the design-time and range rules of each property.
    int buttonType() const { return d_.config.buttonType; }
    void setButtonType(int vData);
    int buttonStyle() const { return d_.config.buttonStyle; }
    void setButtonStyle(int vData);
    QString caption() const { return d_.config.caption; }
    void setCaption(const QString& caption);
    bool buttonEnabled() const { return d_.config.enabled; }
    void setButtonEnabled(bool vData);
    QFont captionFont() const { return d_.config.font; }
    void setCaptionFont(const QFont& vData);
    int colorScheme() const { return d_.config.colorScheme; }
    void setColorScheme(int vData);
    Colour backColor() const { return d_.config.backColor; }
    void setBackColor(Colour lData);
    Colour foreColor() const { return d_.config.foreColor; }
    void setForeColor(Colour lData);
    Colour mouseOverColor() const { return d_.config.mouseOver; }
    void setMouseOverColor(Colour lData);
    Colour gradientStartColor() const { return d_.config.gradientStartColor; }
    void setGradientStartColor(Colour lData);
    Colour gradientStopColor() const { return d_.config.gradientStopColor; }
    void setGradientStopColor(Colour lData);
    int gradientOrientation() const { return d_.config.gradientOrientation; }
    void setGradientOrientation(int vData);
    Colour embossEngraveMid() const { return d_.config.embossEngraveMid; }
    void setEmbossEngraveMid(Colour lData);
    Colour embossEngraveShadow() const { return d_.config.embossEngraveShadow; }
    void setEmbossEngraveShadow(Colour lData);
    int alignment() const { return d_.config.alignment; }
    void setAlignment(int vData);
    int iconAlignmentValue() const { return d_.config.iconAlignmentValue; }
    void setIconAlignmentValue(int vData);
    int captionStyle() const { return d_.config.captionStyle; }
    void setCaptionStyle(int vData);
    int captionOrientation() const { return d_.config.captionOrientation; }
    void setCaptionOrientation(int vData);
    int iconSize() const { return d_.config.iconSize; }
    void setIconSize(int vData);
    QImage icon() const { return d_.config.icon; }
    void setIcon(const QImage& vData);
    int graphicsMode() const { return d_.run.graphicsMode; } // the effective mode
    int requestedGraphicsMode() const { return d_.config.graphicsMode; }
    void setGraphicsMode(int vData);
    bool showFocus() const { return d_.config.showFocus; }
    void setShowFocus(bool vData);
    bool optionButton() const { return d_.config.optionButton; }
    void setOptionButton(bool vData);
    bool value() const { return d_.config.value; }
    void setValue(bool vData);
    int mousePointer() const { return d_.config.mousePointer; }
    void setMousePointer(int vData);
    QImage mouseIcon() const { return d_.config.mouseIcon; }
    void setMouseIcon(const QImage& vData);

    // The name of the element directly holding this button; option buttons group by it.
    QString Container() const;
    // The control's window handle.
    quintptr hWnd();
    // Sets the shown flag, paints the whole control and presents it.
    void RefreshButton();

    // Input handlers, called from the widget's events and usable directly. A button code of -1
    // changes states like a real press or release but raises no event.
    void buttonDown(int Button, int Shift, float x, float y);
    void pointerMove(int Button, int Shift, float x, float y);
    void buttonUp(int Button, int Shift, float x, float y);
    void click();
    void doubleClick();
    void keyDown(int KeyCode, int Shift);
    void keyPressed(int KeyAscii);
    void keyUp(int KeyCode, int Shift);
    void focusEnter();
    void focusExit();
    void accessKey(int key);
    void hoverTick(); // one tick of TimerHover

    // Everything the painting routines see, and the presented back image.
    const TamselData& data() const { return d_; }
    const QImage& backImage() const { return back_; }
    const QRegion& windowRegion() const { return region_; }
    QTimer* TimerHover = nullptr;

    // Seams for tests: whether the pointer is over this control now (the hover timer's
    // question), and the pause that holds the pressed look after an access key.
    void setPointerProbe(std::function<bool()> probe) { pointerProbe_ = std::move(probe); }
    void setAccessKeyPause(std::function<void()> pause) { accessPause_ = std::move(pause); }

signals:
    void Click();
    void MouseDown(short Button, short Shift, float x, float y);
    void MouseMove(short Button, short Shift, float x, float y);
    void MouseUp(short Button, short Shift, float x, float y);
    void KeyPress(short& KeyAscii);
    void KeyDown(short& KeyCode, short Shift);
    void KeyUp(short& KeyCode, short Shift);
    void MouseOut();

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    bool designing() const;
    void notify(const QString& key);
    void message(const QString& text, host::MessageIcon icon);
    void paint(bool snapshot = false);
    void repaintButton(); // paint and present
    void syncSurface();   // back image size and parent colours
    void resizeSequence();
    void layoutAndGrey();
    void relayout();
    void rebuildGreyIcon();
    void recomputePalette(bool overwrite);
    void applyAccelerator();
    void applyCursor();
    void selectInGroup();
    void onAmbientChanged(const QString& name);
    QString instanceName() const; // the display name, or the control's name without one
    void followName();
    bool colourSetterPrologue(const QStringList& companions);
    void setColour(Colour& member, Colour lData, const QString& key, const QStringList& companions,
                   bool rebuildsIcon);
    void setGradientColour(Colour& member, Colour lData, const QString& key,
                           const QString& otherKey);

    TamselData d_;
    QImage back_;
    QRegion region_;
    QPointer<host::ComponentHost> host_;
    int accessShortcut_ = 0;
    bool captionIsName_ = false; // a new instance's caption, never set or loaded since
    bool suppressNextClick_ = false;
    bool pressedInside_ = false;
    std::function<bool()> pointerProbe_;
    std::function<void()> accessPause_;
};

} // namespace qv::tamsel
