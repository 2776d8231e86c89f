#include "ui/tipwindow.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QToolTip>

namespace qv {
namespace {
constexpr int kIconSize = 16;
constexpr int kIconGap = 6;
constexpr int kTitleGap = 6;
constexpr int kCursorDrop = 18; // a tip that follows the pointer sits below the pointer's tip

QFont titleFont() {
    QFont f = QToolTip::font();
    f.setBold(true);
    return f;
}

QStyle::StandardPixmap iconPixmap(int icon) {
    switch (icon) {
    case TipWindow::Warning:
        return QStyle::SP_MessageBoxWarning;
    case TipWindow::Error:
        return QStyle::SP_MessageBoxCritical;
    default:
        return QStyle::SP_MessageBoxInformation;
    }
}

bool hasIcon(int icon) {
    return icon >= TipWindow::Information && icon <= TipWindow::Error;
}
} // namespace

QString tipDisplayText(const QString& text) {
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    while (shown.endsWith(QLatin1Char('\n')))
        shown.chop(1);
    return shown;
}

TipWindow::TipWindow(bool balloon, bool centred)
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      balloon_(balloon), centred_(centred) {
    setObjectName(QStringLiteral("tooltips_class32"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    const QPalette tips = QToolTip::palette();
    textColor_ = tips.color(QPalette::ToolTipText);
    backColor_ = tips.color(QPalette::ToolTipBase);
    setFont(QToolTip::font());
    initialTimer_.setSingleShot(true);
    autoPopTimer_.setSingleShot(true);
    initialTimer_.setTimerType(Qt::PreciseTimer);
    autoPopTimer_.setTimerType(Qt::PreciseTimer);
    connect(&initialTimer_, &QTimer::timeout, this, &TipWindow::popUp);
    connect(&autoPopTimer_, &QTimer::timeout, this, [this] {
        pop();
        popped_ = true;
    });
}

TipWindow::~TipWindow() {
    for (const QPointer<QWidget>& w : std::as_const(watched_))
        if (w)
            w->removeEventFilter(this);
}

void TipWindow::watch(QWidget* widget) {
    widget->installEventFilter(this);
    widget->setMouseTracking(true);
    watched_.append(widget);
}

void TipWindow::addTool(QWidget* tool, const QString& text) {
    text_ = text;
    if (!tool || tool_)
        return;
    tool_ = tool;
    watch(tool);
    // Pointer events of a scrolling list arrive at its viewport.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(tool))
        watch(area->viewport());
    if (tool->underMouse()) // the pointer is already there: start waiting at once
        pointerAt(QCursor::pos());
    connect(tool, &QObject::destroyed, this, [this] {
        initialTimer_.stop();
        pop();
    });
}

void TipWindow::updateTipText(const QString& text) {
    text_ = text;
    if (!isVisible())
        return;
    if (tipDisplayText(text_).isEmpty())
        pop();
    else
        popUp();
}

void TipWindow::setTitle(int icon, const QString& title) {
    icon_ = icon;
    title_ = title;
    if (isVisible())
        popUp();
}

void TipWindow::setTipTextColor(const QColor& color) {
    textColor_ = color;
    update();
}

void TipWindow::setTipBackColor(const QColor& color) {
    backColor_ = color;
    update();
}

void TipWindow::setInitialDelay(int ms) {
    initial_ = ms < 0 ? kDefaultInitial : ms;
}

void TipWindow::setAutoPopDelay(int ms) {
    autoPop_ = ms < 0 ? kDefaultAutoPop : ms;
}

bool TipWindow::eventFilter(QObject* watched, QEvent* event) {
    if (!tool_)
        return false;
    switch (event->type()) {
    case QEvent::Enter:
        pointerAt(static_cast<QEnterEvent*>(event)->globalPosition().toPoint());
        break;
    case QEvent::MouseMove:
        pointerAt(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        break;
    case QEvent::Leave:
        if (watched == tool_) {
            inside_ = false;
            popped_ = false;
            initialTimer_.stop();
            pop();
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::Hide:
        initialTimer_.stop();
        pop();
        if (event->type() == QEvent::Hide)
            inside_ = false;
        break;
    default:
        break;
    }
    return false;
}

void TipWindow::pointerAt(QPoint global) {
    inside_ = true;
    pointer_ = global;
    // The tip waits for the pointer to rest; every move while it waits starts the wait again.
    if (!isVisible() && !popped_)
        initialTimer_.start(initial_);
}

// The lines of the text that fit on the screen: a tip of thousands of lines (the field names of
// a very wide merge file) shows its top lines only, so the rest is neither measured nor painted.
QString TipWindow::screenText() const {
    QString shown = tipDisplayText(text_);
    const QScreen* screen = tool_ ? tool_->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return shown;
    const int lineHeight = std::max(1, QFontMetrics(font()).lineSpacing());
    const int lines = screen->availableGeometry().height() / lineHeight + 1;
    qsizetype end = -1;
    for (int i = 0; i < lines; ++i) {
        end = shown.indexOf(QLatin1Char('\n'), end + 1);
        if (end < 0)
            return shown;
    }
    shown.truncate(end);
    return shown;
}

QSize TipWindow::contentSize() const {
    const QString shown = screenText();
    const QSize body =
        QFontMetrics(font())
            .boundingRect(QRect(0, 0, 100000, 100000), Qt::AlignLeft | Qt::AlignTop, shown)
            .size();
    if (title_.isEmpty())
        return body;
    const QFontMetrics fm(titleFont());
    int titleWidth = fm.horizontalAdvance(title_);
    int titleHeight = fm.height();
    if (hasIcon(icon_)) {
        titleWidth += kIconSize + kIconGap;
        titleHeight = std::max(titleHeight, kIconSize);
    }
    return {std::max(body.width(), titleWidth), titleHeight + kTitleGap + body.height()};
}

void TipWindow::layoutTip(QPoint anchor, bool above) {
    const QSize content = contentSize();
    if (balloon_) {
        const int width = content.width() + 2 * kBalloonPadding;
        shape_ = balloonShape(content, above, centred_ ? width / 2 - kStemWidth / 2 : 0);
    } else {
        shape_ = rectangleShape(content);
        if (centred_)
            shape_.anchor =
                QPoint(shape_.windowSize.width() / 2, above ? shape_.windowSize.height() : 0);
        else if (above)
            shape_.anchor = QPoint(0, shape_.windowSize.height());
    }
    QScreen* screen = tool_ ? tool_->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    setFixedSize(shape_.windowSize);
    move(placeWindow(shape_, anchor, area));
    if (balloon_)
        setMask(shape_.mask());
    else
        clearMask();
}

void TipWindow::popUp() {
    if (!tool_ || !inside_ || !tool_->isVisible() || tipDisplayText(text_).isEmpty())
        return;
    QPoint below;
    QPoint over;
    if (centred_) {
        below = tool_->mapToGlobal(QPoint(tool_->width() / 2, tool_->height()));
        over = tool_->mapToGlobal(QPoint(tool_->width() / 2, 0));
    } else {
        below = pointer_ + QPoint(0, kCursorDrop);
        over = pointer_ - QPoint(0, 2);
    }
    layoutTip(below, false);
    if (pos().y() < below.y() - shape_.anchor.y())
        layoutTip(over, true); // pushed up by the screen's bottom edge: hang above instead
    const bool fresh = !isVisible();
    show();
    update();
    if (fresh) // a change of text or title while shown keeps the running visible time
        autoPopTimer_.start(autoPop_);
}

void TipWindow::pop() {
    autoPopTimer_.stop();
    hide();
}

void TipWindow::paintTip(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing, balloon_); // a rectangle stays crisp
    painter.setPen(QPen(textColor_, 1));
    painter.setBrush(backColor_);
    painter.drawPath(shape_.outline);
    painter.setRenderHint(QPainter::Antialiasing, false);

    QRect content = shape_.contentRect;
    if (!title_.isEmpty()) {
        const QFontMetrics fm(titleFont());
        const int rowHeight = hasIcon(icon_) ? std::max(fm.height(), kIconSize) : fm.height();
        int x = content.left();
        if (hasIcon(icon_)) {
            const QPixmap pix =
                style()->standardIcon(iconPixmap(icon_)).pixmap(kIconSize, kIconSize);
            painter.drawPixmap(x, content.top() + (rowHeight - kIconSize) / 2, pix);
            x += kIconSize + kIconGap;
        }
        painter.setFont(titleFont());
        painter.setPen(textColor_);
        painter.drawText(QRect(x, content.top(), content.right() - x + 1, rowHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, title_);
        content.setTop(content.top() + rowHeight + kTitleGap);
    }
    painter.setFont(font());
    painter.setPen(textColor_);
    painter.drawText(content, Qt::AlignLeft | Qt::AlignTop, screenText());
}

void TipWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintTip(painter);
}

QImage TipWindow::renderTip() {
    if (shape_.windowSize.isEmpty())
        layoutTip(QPoint(0, 0), false);
    QImage image(shape_.windowSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintTip(painter);
    return image;
}

} // namespace qv
