#include "controls/tamsel/tamselbutton.h"

#include "controls/host/widgethost.h"
#include "controls/tamsel/colorscheme.h"
#include "controls/tamsel/tamselpaintbridge.h"
#include "controls/tamsel/tamselproperties.h"

#include <QApplication>
#include <QBitmap>
#include <QCursor>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QShortcutEvent>
#include <QTimer>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace qv::tamsel {
namespace {

const QString kTitle = QStringLiteral("Quorvane");

constexpr int kKeyEnter = 13;
constexpr int kKeySpace = 32;
constexpr int kKeyLeft = 37;
constexpr int kKeyUp = 38;
constexpr int kKeyRight = 39;
constexpr int kKeyDown = 40;

// Qt modifiers as a Shift argument: 1 shift, 2 control, 4 alt.
int shiftState(Qt::KeyboardModifiers m) {
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
           (m & Qt::AltModifier ? 4 : 0);
}

// Qt mouse buttons as a Button argument: 1 left, 2 right, 4 middle.
int buttonCode(Qt::MouseButtons b) {
    return (b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) |
           (b & Qt::MiddleButton ? 4 : 0);
}

// A Qt key as the key code the button's events carry.
int keyCode(int key) {
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kKeyEnter;
    case Qt::Key_Space:
        return kKeySpace;
    case Qt::Key_Left:
        return kKeyLeft;
    case Qt::Key_Up:
        return kKeyUp;
    case Qt::Key_Right:
        return kKeyRight;
    case Qt::Key_Down:
        return kKeyDown;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
        return 9;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    default:
        break;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 112 + (key - Qt::Key_F1);
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
        return key;
    return key & 0xFF;
}

Qt::CursorShape cursorShape(int pointer) {
    switch (pointer) {
    case 1:
        return Qt::ArrowCursor;
    case 2:
        return Qt::CrossCursor;
    case 3:
        return Qt::IBeamCursor;
    case 5:
        return Qt::SizeAllCursor;
    case 6:
        return Qt::SizeBDiagCursor;
    case 7:
        return Qt::SizeVerCursor;
    case 8:
        return Qt::SizeFDiagCursor;
    case 9:
        return Qt::SizeHorCursor;
    case 10:
        return Qt::UpArrowCursor;
    case 11:
        return Qt::WaitCursor;
    case 12:
        return Qt::ForbiddenCursor;
    case 13:
        return Qt::BusyCursor;
    case 14:
        return Qt::WhatsThisCursor;
    case 15:
        return Qt::SizeAllCursor;
    default:
        return Qt::ArrowCursor;
    }
}

} // namespace

TamselButton::TamselButton(QWidget* parent, host::ComponentHost* host) : QWidget(parent) {
    host_ = host ? host : new host::WidgetHost(this);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    TimerHover = new QTimer(this);
    TimerHover->setInterval(100);
    connect(TimerHover, &QTimer::timeout, this, &TamselButton::hoverTick);
    connect(host_, &host::ComponentHost::ambientChanged, this, &TamselButton::onAmbientChanged);
    // A new instance is captioned with its name, which is given only after construction.
    connect(host_, &host::ComponentHost::displayNameChanged, this, &TamselButton::followName);
    connect(this, &QObject::objectNameChanged, this, &TamselButton::followName);
    d_.run.lastButton = 1;
    d_.run.shown = false;
    d_.run.notice = [this](const QString& text) { message(text, host::MessageIcon::Information); };
    pointerProbe_ = [this] {
        QWidget* under = QApplication::widgetAt(QCursor::pos());
        return under == this;
    };
    accessPause_ = [this] {
        repaint();
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 150) {
        }
    };
    InitProperties();
}

TamselButton::~TamselButton() = default;

// ---- host helpers

bool TamselButton::designing() const {
    return host_ && host_->designMode();
}

void TamselButton::notify(const QString& key) {
    if (designing())
        host_->propertyChanged(key);
}

void TamselButton::message(const QString& text, host::MessageIcon icon) {
    if (host_)
        host_->messageBox(text, kTitle, icon);
}

// ---- lifecycle

void TamselButton::InitProperties() {
    TamselConfig& c = d_.config;
    c = TamselConfig();
    c.enabled = true;
    c.caption = instanceName();
    captionIsName_ = true;
    QFont font = host_ ? host_->ambientFont() : this->font();
    font.setFamily(QStringLiteral("Times New Roman"));
    c.font = font;
    c.backColor = systemColour(kColorBtnFace);
    c.foreColor = systemColour(kColorBtnText);
    c.mouseOver = 0;
    c.graphicsMode = -1;
    d_.run.graphicsMode = OsCheck(false);
    d_.run.hasIcon = false;
    d_.run.fontDirty = true;
    QWidget::setEnabled(true);
    applyAccelerator();
    recomputePalette(false);
    applyCursor();
}

QString TamselButton::instanceName() const {
    const QString name = host_ ? host_->displayName() : QString();
    return name.isEmpty() ? objectName() : name;
}

void TamselButton::followName() {
    const QString name = instanceName();
    if (!captionIsName_ || name == d_.config.caption)
        return;
    d_.config.caption = name;
    applyAccelerator();
    d_.run.fontDirty = true;
    repaintButton();
}

void TamselButton::ReadProperties(host::PropertyBag& bag) {
    captionIsName_ = false;
    LoadDefaults defaults;
    defaults.caption = objectName().isEmpty() && host_ ? host_->displayName() : objectName();
    defaults.font = d_.config.font;
    syncSurface();
    loadProperties(d_, bag, defaults);
    QWidget::setEnabled(d_.config.enabled);
    d_.run.fontDirty = true;
    applyAccelerator();
    applyCursor();
    if (d_.run.shown)
        resizeSequence();
    else
        paint();
}

void TamselButton::WriteProperties(host::PropertyBag& bag) const {
    saveProperties(d_, bag);
}

// ---- painting

void TamselButton::syncSurface() {
    const QSize size = this->size();
    d_.run.clientSize = size;
    if (back_.size() != size && !size.isEmpty()) {
        QImage fresh(size, QImage::Format_RGB32);
        fresh.fill(toQColor(d_.run.palette.F));
        back_ = fresh;
    }
    d_.run.designMode = designing();
    const QWidget* surface = parentWidget();
    if (surface) {
        d_.run.parentBackColor = fromQColor(surface->palette().color(surface->backgroundRole()));
        d_.run.parentTextColor = fromQColor(surface->palette().color(surface->foregroundRole()));
    } else if (host_) {
        d_.run.parentBackColor = fromQColor(host_->ambientBackColor());
        d_.run.parentTextColor = fromQColor(host_->ambientForeColor());
    }
}

void TamselButton::paint(bool snapshot) {
    syncSurface();
    if (back_.isNull())
        return;
    bridge::paint(d_, back_, snapshot);
    update();
}

void TamselButton::repaintButton() {
    paint(false);
}

void TamselButton::RefreshButton() {
    d_.run.shown = true;
    paint(false);
}

void TamselButton::relayout() {
    syncSurface();
    if (!back_.isNull())
        bridge::layout(d_, back_);
}

void TamselButton::rebuildGreyIcon() {
    syncSurface();
    if (!back_.isNull() && d_.run.hasIcon)
        bridge::greyIcon(d_, back_);
}

void TamselButton::layoutAndGrey() {
    relayout();
    rebuildGreyIcon();
}

void TamselButton::recomputePalette(bool overwrite) {
    syncSurface();
    ComputePalette(d_, overwrite);
}

void TamselButton::applyAccelerator() {
    bridge::accelerator(d_);
    if (accessShortcut_) {
        releaseShortcut(accessShortcut_);
        accessShortcut_ = 0;
    }
    if (!d_.run.accessKey.isNull())
        accessShortcut_ = grabShortcut(QKeySequence(
            QKeyCombination(Qt::AltModifier, Qt::Key(d_.run.accessKey.toUpper().unicode()))));
}

void TamselButton::applyCursor() {
    if (d_.config.mousePointer == 99 && !d_.config.mouseIcon.isNull())
        setCursor(QCursor(QPixmap::fromImage(d_.config.mouseIcon)));
    else if (d_.config.mousePointer == 0)
        unsetCursor();
    else
        setCursor(cursorShape(d_.config.mousePointer));
}

void TamselButton::resizeSequence() {
    if (!d_.run.shown)
        return;
    syncSurface();
    region_ = bridge::region(d_);
    setMask(region_);
    layoutAndGrey();
    RefreshButton();
}

void TamselButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!back_.isNull())
        p.drawImage(0, 0, back_);
}

void TamselButton::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    if (d_.run.shown)
        resizeSequence();
}

void TamselButton::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (d_.run.shown && !back_.isNull())
        return;
    d_.run.shown = true;
    if (d_.config.optionButton && d_.config.value)
        selectInGroup();
    resizeSequence();
}

// ---- property setters

void TamselButton::setButtonType(int vData) {
    if (vData < 1 || vData > 8 || vData == d_.config.buttonType)
        return;
    if ((vData == ButtonType::WindowsXP || vData == ButtonType::Macintosh) &&
        d_.config.colorScheme == ColorScheme::CustomGradient)
        d_.config.colorScheme = ColorScheme::CustomColors;
    if (!designing())
        return;
    d_.config.buttonType = vData;
    notify(QStringLiteral("BTYPE"));
    resizeSequence();
    if (!d_.run.shown)
        paint();
}

void TamselButton::setButtonStyle(int vData) {
    if (!designing() || vData < 0 || vData > 3 || vData == d_.config.buttonStyle)
        return;
    if (vData != 0 && d_.config.captionOrientation != 0) {
        d_.config.captionOrientation = 0;
        d_.run.fontDirty = true;
        notify(QStringLiteral("ORIENT"));
    }
    d_.config.buttonStyle = vData;
    notify(QStringLiteral("BSTYLE"));
    resizeSequence();
    if (!d_.run.shown)
        paint();
}

void TamselButton::setCaptionOrientation(int vData) {
    if (!designing() || vData < 0 || vData > 2 || vData == d_.config.captionOrientation)
        return;
    d_.config.captionOrientation = vData;
    notify(QStringLiteral("ORIENT"));
    d_.run.fontDirty = true;
    repaintButton();
}

void TamselButton::setShowFocus(bool vData) {
    if (!designing() || vData == d_.config.showFocus)
        return;
    d_.config.showFocus = vData;
    notify(QStringLiteral("SHOWF"));
}

void TamselButton::setAlignment(int vData) {
    if (!designing() || vData < 0 || vData > 2 || vData == d_.config.alignment)
        return;
    d_.config.alignment = vData;
    notify(QStringLiteral("ALIGN"));
    relayout();
    repaintButton();
}

void TamselButton::setIconAlignmentValue(int vData) {
    if (!designing() || vData < 0 || vData > 1 || vData == d_.config.iconAlignmentValue)
        return;
    d_.config.iconAlignmentValue = vData;
    notify(QStringLiteral("ICONAlign"));
    if (d_.run.hasIcon) {
        relayout();
        repaintButton();
    }
}

void TamselButton::setIconSize(int vData) {
    if (!designing() || vData < 1 || vData > 4 || vData == d_.config.iconSize)
        return;
    d_.config.iconSize = vData;
    notify(QStringLiteral("IconSize"));
    if (d_.run.hasIcon) {
        relayout();
        rebuildGreyIcon();
        repaintButton();
    }
}

void TamselButton::setCaption(const QString& caption) {
    captionIsName_ = false;
    d_.config.caption = caption;
    notify(QStringLiteral("TX"));
    applyAccelerator();
    d_.run.fontDirty = true;
    repaintButton();
}

void TamselButton::setCaptionFont(const QFont& vData) {
    d_.config.font = vData;
    notify(QStringLiteral("FONT"));
    d_.run.fontDirty = true;
    repaintButton();
}

void TamselButton::setButtonEnabled(bool vData) {
    d_.config.enabled = vData;
    notify(QStringLiteral("ENAB"));
    QWidget::setEnabled(vData);
    repaintButton();
}

void TamselButton::setIcon(const QImage& vData) {
    d_.config.icon = vData.isNull() ? QImage() : vData;
    d_.run.hasIcon = !d_.config.icon.isNull();
    if (!d_.run.hasIcon)
        d_.run.greyIcon = QImage();
    notify(QStringLiteral("BTNICON"));
    relayout();
    rebuildGreyIcon();
    repaintButton();
}

void TamselButton::setMousePointer(int vData) {
    d_.config.mousePointer = vData;
    notify(QStringLiteral("MPTR"));
    applyCursor();
}

void TamselButton::setMouseIcon(const QImage& vData) {
    d_.config.mouseIcon = vData;
    notify(QStringLiteral("MICON"));
    applyCursor();
}

void TamselButton::setGradientOrientation(int vData) {
    d_.config.gradientOrientation = vData;
    if (designing() && d_.config.colorScheme == ColorScheme::CustomGradient) {
        notify(QStringLiteral("GStyle"));
        repaintButton();
    }
}

void TamselButton::setGraphicsMode(int vData) {
    if (vData >= 0)
        message(QStringLiteral("Caution: Using non-default may cause buttons to not display "
                               "properly on other operating systems."),
                host::MessageIcon::Warning);
    notify(QStringLiteral("GMODE"));
    d_.config.graphicsMode = vData;
    d_.run.graphicsMode = effectiveGraphicsMode(vData);
    d_.run.fontDirty = true;
    repaintButton();
}

void TamselButton::setOptionButton(bool vData) {
    d_.config.optionButton = vData;
    notify(QStringLiteral("OPTMOD"));
    if (vData) {
        setValue(d_.config.value);
    } else {
        d_.run.state = VisualState::Normal;
        repaintButton();
    }
}

void TamselButton::setValue(bool vData) {
    d_.config.value = vData;
    notify(QStringLiteral("OPTVAL"));
    if (!d_.config.optionButton)
        return;
    if (vData) {
        selectInGroup();
    } else {
        d_.run.state = VisualState::Normal;
        repaintButton();
    }
}

// Shared first step of the colour setters and CaptionStyle: outside the custom schemes the call
// is ignored at run time, and at design time switches the scheme to custom colours.
bool TamselButton::colourSetterPrologue(const QStringList& companions) {
    const int scheme = d_.config.colorScheme;
    if (scheme == ColorScheme::CustomColors || scheme == ColorScheme::CustomGradient)
        return true;
    if (!designing())
        return false;
    d_.config.colorScheme = ColorScheme::CustomColors;
    notify(QStringLiteral("COLTYPE"));
    for (const QString& key : companions)
        notify(key);
    return true;
}

void TamselButton::setColour(Colour& member, Colour lData, const QString& key,
                             const QStringList& companions, bool rebuildsIcon) {
    if (lData == member)
        return;
    if (!colourSetterPrologue(companions))
        return;
    member = TranslateColor(lData);
    notify(key);
    recomputePalette(false);
    if (rebuildsIcon)
        rebuildGreyIcon();
    repaintButton();
}

void TamselButton::setBackColor(Colour lData) {
    setColour(d_.config.backColor, lData, u"BCOL"_s, {u"FCOL"_s, u"FCOLO"_s}, true);
}

void TamselButton::setForeColor(Colour lData) {
    setColour(d_.config.foreColor, lData, u"FCOL"_s, {u"BCOL"_s, u"FCOLO"_s}, false);
}

void TamselButton::setMouseOverColor(Colour lData) {
    setColour(d_.config.mouseOver, lData, u"FCOLO"_s, {u"BCOL"_s, u"FCOL"_s}, false);
}

void TamselButton::setEmbossEngraveShadow(Colour lData) {
    setColour(d_.config.embossEngraveShadow, lData, QStringLiteral("EMBOSSS"),
              {u"FCOL"_s, u"FCOLO"_s, u"BCOL"_s, u"EMBOSSM"_s}, false);
}

void TamselButton::setEmbossEngraveMid(Colour lData) {
    setColour(d_.config.embossEngraveMid, lData, QStringLiteral("EMBOSSM"),
              {u"FCOL"_s, u"FCOLO"_s, u"BCOL"_s, u"EMBOSSS"_s}, false);
}

void TamselButton::setCaptionStyle(int vData) {
    if (vData < 0 || vData > 3 || vData == d_.config.captionStyle)
        return;
    if (!colourSetterPrologue({u"BCOL"_s, u"FCOL"_s, u"FCOLO"_s, u"EMBOSSM"_s, u"EMBOSSS"_s}))
        return;
    d_.config.captionStyle = vData;
    notify(QStringLiteral("STYLE"));
    recomputePalette(false);
    repaintButton();
}

void TamselButton::setGradientColour(Colour& member, Colour lData, const QString& key,
                                     const QString& otherKey) {
    if (lData == member)
        return;
    if (d_.config.buttonType == ButtonType::WindowsXP ||
        d_.config.buttonType == ButtonType::Macintosh) {
        if (designing())
            message(QStringLiteral("This option is not available for Windowx XP or Machintosh "
                                   "style buttons"),
                    host::MessageIcon::Information);
        return;
    }
    if (d_.config.colorScheme != ColorScheme::CustomGradient) {
        if (!designing())
            return;
        d_.config.colorScheme = ColorScheme::CustomGradient;
        notify(QStringLiteral("COLTYPE"));
        notify(QStringLiteral("FCOL"));
        notify(QStringLiteral("FCOLO"));
        notify(QStringLiteral("BCOL"));
        notify(otherKey);
    }
    member = TranslateColor(lData);
    notify(key);
    recomputePalette(false);
    rebuildGreyIcon();
    repaintButton();
}

void TamselButton::setGradientStartColor(Colour lData) {
    setGradientColour(d_.config.gradientStartColor, lData, QStringLiteral("GStart"),
                      QStringLiteral("GStop"));
}

void TamselButton::setGradientStopColor(Colour lData) {
    setGradientColour(d_.config.gradientStopColor, lData, QStringLiteral("GStop"),
                      QStringLiteral("GStart"));
}

void TamselButton::setColorScheme(int vData) {
    if (vData < 1 || vData > 5 || vData == d_.config.colorScheme)
        return;
    if (OsCheck(true) == -1) {
        if (designing())
            message(schemeRefusedMessage(), host::MessageIcon::Information);
        return;
    }
    if (!designing())
        return;
    d_.config.colorScheme = vData;
    for (const char* key : {"COLTYPE", "BCOL", "FCOL", "FCOLO", "EMBOSSM", "EMBOSSS"})
        notify(QString::fromLatin1(key));
    if (vData != ColorScheme::CustomColors && vData != ColorScheme::CustomGradient)
        d_.config.captionStyle = CaptionStyle::Plain;
    recomputePalette(true);
    RefreshButton();
}

void TamselButton::onAmbientChanged(const QString& name) {
    if (name.isEmpty() || !QStringLiteral("BackColorForeColorFontPalette").contains(name))
        return;
    if (name == QLatin1String("Font")) {
        d_.config.font = host_->ambientFont();
        d_.run.fontDirty = true;
        repaintButton();
        return;
    }
    if (name == QLatin1String("ForeColor") ||
        d_.config.colorScheme == ColorScheme::ContainerColors) {
        recomputePalette(false);
        repaintButton();
    }
}

// ---- read-only properties

QString TamselButton::Container() const {
    const QWidget* parent = parentWidget();
    if (!parent)
        return QString();
    QString name = parent->objectName();
    if (name.isEmpty())
        name = QStringLiteral("%1@%2")
                   .arg(QString::fromLatin1(parent->metaObject()->className()))
                   .arg(reinterpret_cast<quintptr>(parent), 0, 16);
    const QVariant index = parent->property("Index");
    if (index.isValid() && !parent->isWindow())
        name += QStringLiteral("(%1)").arg(index.toInt());
    return name;
}

quintptr TamselButton::hWnd() {
    return static_cast<quintptr>(winId());
}

// ---- option groups

void TamselButton::selectInGroup() {
    const QString container = Container();
    QWidget* top = window();
    QList<TamselButton*> buttons = top->findChildren<TamselButton*>();
    if (top != this && qobject_cast<TamselButton*>(top))
        buttons.prepend(static_cast<TamselButton*>(top));
    bool refreshed = false;
    for (TamselButton* other : buttons) {
        if (other->Container() != container)
            continue;
        if (other == this) {
            RefreshButton();
            refreshed = true;
        } else if (other->d_.config.value) {
            other->setValue(false);
        }
    }
    if (!refreshed)
        RefreshButton();
}

// ---- interaction

void TamselButton::buttonDown(int Button, int Shift, float x, float y) {
    d_.run.lastButton = std::abs(Button) & 0xFF;
    if (Button == 2) {
        d_.config.enabled = false;
    } else {
        d_.run.state = VisualState::Pressed;
        if (d_.config.optionButton) {
            if (d_.config.value)
                return;
            setValue(true);
            emit Click();
        } else {
            RefreshButton();
        }
    }
    if (Button >= 0)
        emit MouseDown(static_cast<short>(Button), static_cast<short>(Shift), x, y);
}

void TamselButton::pointerMove(int Button, int Shift, float x, float y) {
    d_.run.state = VisualState::Hover;
    if (Button == 0 || Button == 1) {
        if (x < 0 || y < 0 || x > width() || y > height())
            d_.run.state = d_.run.hasFocus ? VisualState::Focused : VisualState::Normal;
        else if (Button == 1)
            d_.run.state = VisualState::Pressed;
    }
    if (!d_.run.mouseOver)
        RefreshButton();
    d_.run.mouseOver = true;
    // Started only when it is not running: starting it again would put the next check off
    // with every move, and the pointer's leaving would be seen late.
    if (!TimerHover->isActive())
        TimerHover->start();
    emit MouseMove(static_cast<short>(Button), static_cast<short>(Shift), x, y);
}

void TamselButton::buttonUp(int Button, int Shift, float x, float y) {
    if (Button != 2) {
        d_.run.state = d_.run.hasFocus ? VisualState::Focused : VisualState::Normal;
        if (d_.run.mouseOver)
            d_.run.state = VisualState::Hover;
        RefreshButton();
    }
    if (Button >= 0)
        emit MouseUp(static_cast<short>(Button), static_cast<short>(Shift), x, y);
}

void TamselButton::click() {
    if (d_.run.lastButton == 1 || d_.config.enabled) {
        if (d_.config.optionButton) {
            if (d_.config.value)
                return;
            setValue(true);
        } else {
            buttonUp(-1, 0, 0, 0);
        }
        emit Click();
    } else if (d_.run.state != VisualState::Snapshot) {
        d_.config.enabled = true;
    }
}

void TamselButton::doubleClick() {
    if (d_.run.lastButton == 1)
        buttonDown(-1, 0, 0, 0);
}

void TamselButton::hoverTick() {
    if (pointerProbe_ && pointerProbe_())
        return;
    TimerHover->stop();
    d_.run.mouseOver = false;
    if (d_.run.state != VisualState::Snapshot)
        d_.config.enabled = true;
    d_.run.state = d_.run.hasFocus ? VisualState::Focused : VisualState::Normal;
    RefreshButton();
    emit MouseOut();
}

void TamselButton::focusEnter() {
    d_.run.hasFocus = true;
    d_.run.lastButton = 1;
    d_.run.lastKey = 0;
    if (!d_.run.mouseOver)
        d_.run.state = VisualState::Focused;
    RefreshButton();
}

void TamselButton::focusExit() {
    TimerHover->stop();
    d_.run.hasFocus = false;
    d_.run.lastButton = 1;
    d_.run.lastKey = 0;
    d_.run.state = d_.run.mouseOver ? VisualState::Hover : VisualState::Normal;
    RefreshButton();
}

void TamselButton::keyDown(int KeyCode, int Shift) {
    d_.run.lastKey = KeyCode & 0xFF;
    short code = static_cast<short>(KeyCode);
    const bool pressable = !d_.config.optionButton || !d_.config.value;
    if (KeyCode == kKeySpace && pressable) {
        buttonDown(-1, 0, 0, 0);
        emit KeyDown(code, static_cast<short>(Shift));
        return;
    }
    if (KeyCode == kKeyEnter && d_.config.optionButton)
        return;
    if (KeyCode == kKeyRight || KeyCode == kKeyDown) {
        focusNextPrevChild(true);
        return;
    }
    if (KeyCode == kKeyLeft || KeyCode == kKeyUp) {
        focusNextPrevChild(false);
        return;
    }
    emit KeyDown(code, static_cast<short>(Shift));
}

void TamselButton::keyPressed(int KeyAscii) {
    short ascii = static_cast<short>(KeyAscii);
    emit KeyPress(ascii);
}

void TamselButton::keyUp(int KeyCode, int Shift) {
    short code = static_cast<short>(KeyCode);
    const bool pressable = !d_.config.optionButton || !d_.config.value;
    if (KeyCode == kKeySpace && (KeyCode & 0xFF) == d_.run.lastKey && pressable) {
        buttonUp(-1, 0, 0, 0);
        emit KeyUp(code, static_cast<short>(Shift));
        click();
        return;
    }
    emit KeyUp(code, static_cast<short>(Shift));
}

void TamselButton::accessKey(int key) {
    if (!d_.config.optionButton) {
        d_.run.state = VisualState::Pressed;
        RefreshButton();
        if (accessPause_)
            accessPause_();
        d_.run.lastButton = 1;
        click();
        return;
    }
    if (d_.config.value) {
        short code = static_cast<short>(key);
        emit KeyDown(code, 0);
        short ascii = static_cast<short>(key);
        emit KeyPress(ascii);
        short up = static_cast<short>(key);
        emit KeyUp(up, 0);
        return;
    }
    click();
}

// ---- Qt events

bool TamselButton::event(QEvent* e) {
    if (e->type() == QEvent::Shortcut) {
        auto* se = static_cast<QShortcutEvent*>(e);
        if (se->shortcutId() == accessShortcut_ && !d_.run.accessKey.isNull()) {
            accessKey(d_.run.accessKey.unicode());
            return true;
        }
    }
    return QWidget::event(e);
}

void TamselButton::mousePressEvent(QMouseEvent* e) {
    pressedInside_ = true;
    const QPointF p = e->position();
    buttonDown(buttonCode(e->button()), shiftState(e->modifiers()), float(p.x()), float(p.y()));
}

void TamselButton::mouseMoveEvent(QMouseEvent* e) {
    const QPointF p = e->position();
    pointerMove(buttonCode(e->buttons()), shiftState(e->modifiers()), float(p.x()), float(p.y()));
}

void TamselButton::mouseReleaseEvent(QMouseEvent* e) {
    const QPointF p = e->position();
    buttonUp(buttonCode(e->button()), shiftState(e->modifiers()), float(p.x()), float(p.y()));
    const bool inside = rect().contains(p.toPoint());
    const bool deliver = pressedInside_ && inside && !suppressNextClick_;
    pressedInside_ = false;
    suppressNextClick_ = false;
    if (deliver)
        click();
}

void TamselButton::mouseDoubleClickEvent(QMouseEvent*) {
    // The second press of a double click: the pressed look, and no second Click.
    pressedInside_ = true;
    suppressNextClick_ = true;
    doubleClick();
}

void TamselButton::keyPressEvent(QKeyEvent* e) {
    keyDown(keyCode(e->key()), shiftState(e->modifiers()));
    const QString text = e->text();
    if (!text.isEmpty() && text.at(0).unicode() < 256)
        keyPressed(text.at(0).unicode());
}

void TamselButton::keyReleaseEvent(QKeyEvent* e) {
    if (e->isAutoRepeat())
        return;
    keyUp(keyCode(e->key()), shiftState(e->modifiers()));
}

void TamselButton::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    focusEnter();
}

void TamselButton::focusOutEvent(QFocusEvent* e) {
    QWidget::focusOutEvent(e);
    focusExit();
}

} // namespace qv::tamsel
