#include "controls/command/command.h"

#include "controls/host/propertybag.h"
#include "controls/host/widgethost.h"
#include "platform/twips.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QPainter>
#include <QShortcutEvent>

using qv::command::Face;

namespace {
const QImage& pictureOf(Face face) {
    static const std::array<QImage, 6> pictures = {
        qv::command::facePicture(Face::Normal),          qv::command::facePicture(Face::HighLight),
        qv::command::facePicture(Face::Pressed),         qv::command::facePicture(Face::Selected),
        qv::command::facePicture(Face::HighLightSelect), qv::command::facePicture(Face::Disable)};
    return pictures[static_cast<int>(face)];
}
// What a screen reader sees: a push button named by its caption that can be pressed.
class AccessibleCommand : public QAccessibleWidget {
public:
    explicit AccessibleCommand(Command* button) : QAccessibleWidget(button, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return widget()->accessibleName();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.disabled = !static_cast<const Command*>(widget())->Enabled();
        return s;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction())
            static_cast<Command*>(widget())->Press();
    }
};

QAccessibleInterface* accessibleFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("Command") && object && object->isWidgetType())
        return new AccessibleCommand(static_cast<Command*>(object));
    return nullptr;
}

// The colour of the element behind a control: its parent's background.
QColor backgroundBehind(const QWidget& control) {
    const QWidget& surface = control.parentWidget() ? *control.parentWidget() : control;
    return surface.palette().color(surface.backgroundRole());
}

QString plainCaption(const QString& caption) {
    QString plain;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        else if (caption[i] == QLatin1Char('&'))
            continue;
        plain += caption[i];
    }
    return plain;
}

} // namespace

Command::Command(QWidget* parent) : QWidget(parent) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    ownHost_ = std::make_unique<qv::host::WidgetHost>(this);
    host_ = ownHost_.get();
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    resize(
        qv::twipsToPixels(QSize(qv::command::kDesignWidthTwips, qv::command::kDesignHeightTwips)));
    pointerTimer_.setInterval(100);
    connect(&pointerTimer_, &QTimer::timeout, this, &Command::checkPointer);
    probe_ = [] { return QApplication::widgetAt(QCursor::pos()); };
    caption_ = QStringLiteral("Command");
    setAccessibleName(plainCaption(caption_));
    setEnabled(true);
}

Command::~Command() = default;

void Command::setHost(qv::host::ComponentHost* host) {
    host_ = host ? host : ownHost_.get();
}

void Command::changed(const char* name) {
    if (host_)
        host_->propertyChanged(QString::fromLatin1(name));
}

void Command::setCaption(const QString& caption) {
    caption_ = caption;
    setAccessibleName(plainCaption(caption_));
    changed("Caption");
    refreshFace();
}

void Command::setEnabled(bool enabled) {
    machine_.setEnabled(enabled);
    setFocusPolicy(enabled ? Qt::StrongFocus : Qt::NoFocus);
    changed("Enabled");
    refreshFace();
}

void Command::setFont(const QFont& font) {
    QWidget::setFont(font);
    changed("Font");
    refreshFace();
}

void Command::setFontColour(const QColor& colour) {
    textColour_ = colour;
    captionColour_ = textColour_;
    changed("FontColour");
    refreshFace();
}

void Command::setVisibleProperty(bool opaque) {
    opaque_ = opaque;
    if (opaque_)
        refreshFace();
    else
        update();
    changed("Visible");
}

void Command::Initialize() {
    firstRun_ = 1; // set up: a control saved from now on is no longer new
    machine_.initialize();
    pointerTimer_.start();
}

void Command::setPointerProbe(std::function<QWidget*()> probe) {
    probe_ = std::move(probe);
}

void Command::checkPointer() {
    QWidget* under = probe_ ? probe_() : nullptr;
    if (under != this)
        apply(machine_.dropHover());
}

void Command::refreshFace() {
    apply(machine_.refresh());
}

void Command::updateAccessKey() {
    std::optional<QChar> key;
    if (machine_.enabled())
        key = qv::command::accessKeyOf(caption_);
    if (key == accessKey_ && (shortcutId_ != 0) == key.has_value())
        return;
    if (shortcutId_ != 0) {
        releaseShortcut(shortcutId_);
        shortcutId_ = 0;
    }
    accessKey_ = key;
    if (accessKey_)
        shortcutId_ = grabShortcut(QKeySequence(QKeyCombination(
            Qt::AltModifier, static_cast<Qt::Key>(accessKey_->toUpper().unicode()))));
}

void Command::apply(const qv::command::FaceMachine::Result& result) {
    if (!result.painted.empty()) {
        // Caption colour and access key follow every painting of the face.
        textColour_ = machine_.enabled() ? captionColour_ : qv::command::kDisabledCaption;
        updateAccessKey();
        update();
    }
    if (result.click)
        emit Click();
}

void Command::Press() {
    if (!machine_.enabled())
        return;
    if (!hasFocus() && focusPolicy() != Qt::NoFocus) {
        ignoreFocusIn_ = true;
        setFocus(Qt::ShortcutFocusReason);
        ignoreFocusIn_ = false;
    }
    apply(machine_.accessKey());
}

QSize Command::sizeHint() const {
    return qv::twipsToPixels(
        QSize(qv::command::kDesignWidthTwips, qv::command::kDesignHeightTwips));
}

void Command::paintEvent(QPaintEvent*) {
    if (!opaque_)
        return;
    QPainter p(this);
    const int w = width();
    const int h = height();

    // Vertical gradient over the whole inner area: white at the top for the normal face,
    // the other way round for the hover face. Outside the rounded frame the corners take the
    // colour of the parent behind the button.
    QLinearGradient gradient(0, 0, 0, h - 1);
    const bool hover = machine_.hoverGradient();
    gradient.setColorAt(0, hover ? qv::command::kGradientDark : qv::command::kGradientLight);
    gradient.setColorAt(1, hover ? qv::command::kGradientLight : qv::command::kGradientDark);
    p.fillRect(rect(), backgroundBehind(*this));
    p.setRenderHint(QPainter::Antialiasing, true);
    p.fillPath(qv::command::frameLine(size()), gradient);
    p.setRenderHint(QPainter::Antialiasing, false);

    const int wt = qv::pixelsToTwips(w);
    const int ht = qv::pixelsToTwips(h);
    const QImage& picture = pictureOf(machine_.face());
    for (const auto& piece : qv::command::framePiecesInPixels(wt, ht)) {
        if (piece.destination.width() > 0 && piece.destination.height() > 0)
            p.drawImage(piece.destination, picture, piece.source);
    }

    // Caption: word-wrapped and centred between 4-pixel margins, the block centred vertically.
    p.setFont(font());
    p.setPen(textColour_);
    const int flags = Qt::AlignHCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;
    const QRect measure(4, 0, w - 8, h);
    const int textHeight = p.boundingRect(measure, flags | Qt::AlignTop, caption_).height();
    const int top = qv::roundHalfEven((h - textHeight) / 2.0);
    p.drawText(QRect(4, top, w - 8, std::max(h - top, textHeight)), flags | Qt::AlignTop, caption_);

    if (machine_.focusFrameShown()) {
        // Dotted lines that invert what is under them.
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.setPen(QPen(Qt::white, 1, Qt::DotLine));
        for (const auto& [a, b] : qv::command::focusLines(wt, ht))
            p.drawLine(a, b);
    }
}

void Command::mouseMoveEvent(QMouseEvent* event) {
    apply(machine_.mouseMove());
    event->accept();
}

void Command::mousePressEvent(QMouseEvent* event) {
    // The pointer is over the button when it presses it, whether or not it moved there since the
    // last hover was dropped (after a search the window comes back under a still pointer): the
    // press counts as a hover first, so that its release is a click.
    if (rect().contains(event->position().toPoint()))
        apply(machine_.mouseMove());
    apply(machine_.buttonDown(event->button() == Qt::LeftButton));
    event->accept();
}

void Command::mouseReleaseEvent(QMouseEvent* event) {
    apply(machine_.buttonUp(event->button() == Qt::LeftButton));
    event->accept();
}

void Command::focusInEvent(QFocusEvent* event) {
    if (!ignoreFocusIn_)
        apply(machine_.focusIn());
    QWidget::focusInEvent(event);
}

void Command::focusOutEvent(QFocusEvent* event) {
    apply(machine_.focusOut());
    QWidget::focusOutEvent(event);
}

void Command::resizeEvent(QResizeEvent* event) {
    refreshFace();
    QWidget::resizeEvent(event);
}

void Command::keyPressEvent(QKeyEvent* event) {
    // The keyboard presses a focused button as its access key would.
    if (!event->isAutoRepeat() &&
        (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
         event->key() == Qt::Key_Enter)) {
        Press();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool Command::event(QEvent* event) {
    if (event->type() == QEvent::Shortcut) {
        auto* se = static_cast<QShortcutEvent*>(event);
        if (se->shortcutId() == shortcutId_) {
            Press();
            return true;
        }
    }
    return QWidget::event(event);
}

void Command::ReadProperties(qv::host::PropertyBag& bag) {
    const QFont ambient = host_ ? host_->ambientFont() : QApplication::font();
    machine_.setEnabled(bag.readBool(QStringLiteral("Enabled"), true));
    caption_ = bag.readString(QStringLiteral("Caption"), QStringLiteral("Command"));
    QWidget::setFont(bag.readFont(QStringLiteral("Font"), ambient));
    firstRun_ = static_cast<quint8>(bag.readInt(QStringLiteral("FirstRun"), 1));
    textColour_ = qv::command::unpackColour(
        static_cast<std::uint32_t>(bag.read(QStringLiteral("FontColour"), qint64(0)).toLongLong()));
    captionColour_ = textColour_;
    opaque_ = bag.readInt(QStringLiteral("Visible"), 1) != 0;
    setFocusPolicy(machine_.enabled() ? Qt::StrongFocus : Qt::NoFocus);
    setAccessibleName(plainCaption(caption_));
    refreshFace();
}

void Command::WriteProperties(qv::host::PropertyBag& bag) {
    const QFont ambient = host_ ? host_->ambientFont() : QApplication::font();
    bag.write(QStringLiteral("Enabled"), machine_.enabled(), true);
    bag.write(QStringLiteral("Caption"), caption_, QStringLiteral("Command"));
    bag.write(QStringLiteral("FirstRun"), int(firstRun_), 1);
    bag.write(QStringLiteral("Font"), font(), ambient);
    // The caption's own colour: while disabled the surface shows grey, which must not be stored.
    bag.write(QStringLiteral("FontColour"), qint64(qv::command::packColour(captionColour_)),
              qint64(0));
    bag.write(QStringLiteral("Visible"), opaque_ ? 1 : 0, 1);
    refreshFace();
}
