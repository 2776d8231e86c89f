#include "ui/balloon.h"

#include "drawing/balloonicons.h"
#include "media/rtfreader.h"
#include "platform/services.h"
#include "platform/twips.h"
#include "ui/balloondrag.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTextEdit>
#include <QTimer>

namespace qv {
namespace {

QLabel* pictureStore(QWidget* parent, const QString& name, const QImage& image) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setPixmap(QPixmap::fromImage(image));
    label->setFixedSize(image.size());
    label->hide();
    return label;
}

void setFace(QWidget* w, const QString& face) {
    QFont f = w->font();
    f.setFamilies({face});
    w->setFont(f);
}

// The read-only message text, in the tooltip colours.
QTextEdit* tipTextBox(QWidget* parent, const QPalette& pal) {
    auto* text = new QTextEdit(parent);
    text->setObjectName(QStringLiteral("txtTip"));
    text->setReadOnly(true);
    text->setFrameShape(QFrame::NoFrame);
    text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    text->setTextInteractionFlags(Qt::NoTextInteraction);
    text->viewport()->setCursor(Qt::ArrowCursor);
    QPalette tp = text->palette();
    tp.setColor(QPalette::Base, pal.color(QPalette::ToolTipBase));
    tp.setColor(QPalette::Text, pal.color(QPalette::ToolTipText));
    text->setPalette(tp);
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPointSizeF(8.5);
    text->setFont(f);
    text->setPlainText(QStringLiteral("txtTip"));
    return text;
}

// The bold, centred title over a transparent background.
QLabel* titleLabel(QWidget* parent) {
    auto* title = new QLabel(QStringLiteral("<Title>"), parent);
    title->setObjectName(QStringLiteral("lblTitle"));
    title->setTextFormat(Qt::PlainText);
    title->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    title->setAttribute(Qt::WA_TranslucentBackground);
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPointSizeF(8.25);
    f.setBold(true);
    title->setFont(f);
    QPalette lp = title->palette();
    lp.setColor(QPalette::WindowText, QApplication::palette().color(QPalette::WindowText));
    title->setPalette(lp);
    return title;
}

} // namespace

BalloonCloseGlyph::BalloonCloseGlyph(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
}

void BalloonCloseGlyph::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::FlatCap));
    const QRectF r = QRectF(rect()).adjusted(3.5, 3.5, -3.5, -3.5);
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
}

BalloonWindow::BalloonWindow(QWidget* owner) : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmTip"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::ToolTipBase));
    pal.setColor(QPalette::WindowText, pal.color(QPalette::ToolTipText));
    setPalette(pal);
    setAutoFillBackground(true);

    // The stores first, so the visible children lie above nothing they could hide.
    for (int i = 0; i < 3; ++i) {
        const auto icon = static_cast<balloon::Icon>(1 + 2 * i);
        modernIcons[i] = pictureStore(this, QStringLiteral("imgIconXP"), balloon::iconImage(icon));
        modernIcons[i]->setProperty("controlIndex", i);
        classicIcons[i] = pictureStore(this, QStringLiteral("imgIcon"),
                                       balloon::iconImage(static_cast<balloon::Icon>(2 + 2 * i)));
        classicIcons[i]->setProperty("controlIndex", i);
    }
    closeButtonUp = pictureStore(this, QStringLiteral("imgX_Up"), balloon::closeFaceUp());
    closeButtonDown = pictureStore(this, QStringLiteral("imgX_Dn"), balloon::closeFacePressed());

    text = tipTextBox(this, pal);

    linkStrip = new QWidget(this);
    linkStrip->setObjectName(QStringLiteral("cmdLink"));
    linkStrip->resize(qv::twipsToPixels(4680), balloon::kLinkStripHeight);
    linkStrip->setCursor(Qt::PointingHandCursor);

    title = titleLabel(this);
    title->resize(width(), balloon::kTitleHeight);

    iconPicture = new QLabel(this);
    iconPicture->setObjectName(QStringLiteral("imgDisplayIcon"));
    iconPicture->setScaledContents(true);
    iconPicture->resize(balloon::kIconSize, balloon::kIconSize);

    closeButton = new QLabel(this);
    closeButton->setObjectName(QStringLiteral("imgX"));
    closeButton->setPixmap(closeButtonUp->pixmap());
    closeButton->resize(balloon::kCloseImageSize, balloon::kCloseImageSize);

    closeGlyph = new BalloonCloseGlyph(this);
    closeGlyph->setObjectName(QStringLiteral("lblX"));
    closeGlyph->resize(balloon::kCloseGlyphSize, balloon::kCloseGlyphSize);
    closeGlyph->setToolTip(QStringLiteral("Close"));

    autoCloseTimer = new QTimer(this);
    autoCloseTimer->setObjectName(QStringLiteral("timAutoClose"));
    autoCloseTimer->setSingleShot(true);
    connect(autoCloseTimer, &QTimer::timeout, this, &BalloonWindow::hideBalloon);

    for (QObject* o : {static_cast<QObject*>(title), static_cast<QObject*>(iconPicture),
                       static_cast<QObject*>(closeButton), static_cast<QObject*>(closeGlyph),
                       static_cast<QObject*>(text->viewport()), static_cast<QObject*>(linkStrip)})
        o->installEventFilter(this);

    resize(qv::twipsToPixels(balloon::kDesignWidthTwips),
           qv::twipsToPixels(balloon::kDesignHeightTwips));
    roundCorners();
    runLayout();
}

std::optional<BalloonFailure>
BalloonWindow::setBalloon(const QString& titleText, const QString& bodyText, int xTwips, int yTwips,
                          const QString& iconCode, bool showClose, int autoCloseMs, int heightTwips,
                          int widthTwips, const QVariant& fontName, const QString& rtfFile,
                          bool showLink) {
    title->setText(titleText);
    if (!bodyText.isEmpty())
        text->setPlainText(bodyText);
    if (!rtfFile.isEmpty()) {
        const auto rtf = rtf::readRtfFile(rtfFile);
        if (!rtf.ok)
            return BalloonFailure{BalloonFailure::Kind::RtfFile, rtf.error};
        text->setHtml(rtf.html);
    }
    move(qv::twipsToPixels(QPoint(xTwips, yTwips)));

    icon_ = balloon::iconForCode(iconCode);
    if (const int slot = balloon::iconSlot(icon_); slot >= 0) {
        const QLabel* store = balloon::isClassic(icon_) ? classicIcons[slot] : modernIcons[slot];
        iconPicture->setPixmap(store->pixmap());
        iconPicture->show();
    } else {
        iconPicture->hide();
    }

    closeButton->setVisible(showClose);
    closeGlyph->setVisible(showClose);

    if (autoCloseMs < 0 || autoCloseMs > balloon::kLongestAutoClose)
        return BalloonFailure{BalloonFailure::Kind::AutoCloseRange,
                              QStringLiteral("The auto-close time %1 ms is outside 0 to %2 ms.")
                                  .arg(autoCloseMs)
                                  .arg(balloon::kLongestAutoClose)};
    if (autoCloseMs != 0) {
        autoCloseAfter_ = autoCloseMs;
        const auto& timeBase = services().balloonTimeBase;
        autoCloseTimer->setInterval(timeBase ? timeBase(autoCloseMs) : autoCloseMs);
        autoCloseTimer->start();
    } else {
        autoCloseAfter_ = 0;
        autoCloseTimer->stop();
    }

    if (showLink)
        heightTwips = balloon::heightWithLinkStrip(heightTwips, true, linkStrip->height());
    else
        linkStrip->resize(linkStrip->width(), 0);
    linkStrip->setVisible(linkStrip->height() > 0);

    resize(qv::twipsToPixels(widthTwips), height());
    runLayout();
    resize(width(), qv::twipsToPixels(heightTwips));
    runLayout();
    roundCorners();

    const QString face = fontName.toString();
    if (!face.isEmpty()) {
        setFace(this, face);
        if (rtfFile.isEmpty())
            setFace(text, face);
        setFace(title, face);
    }
    return std::nullopt;
}

void BalloonWindow::hideBalloon() {
    autoCloseTimer->stop();
    close();
}

void BalloonWindow::roundCorners() {
    region_ = balloon::roundedRegion(size());
    setMask(region_);
}

balloon::Layout BalloonWindow::currentLayout() const {
    return balloon::layoutFor(size(), title->height(), linkStrip->height(), closeGlyph->size(),
                              closeButton->size(), iconPicture->size());
}

void BalloonWindow::runLayout() {
    const balloon::Layout l = currentLayout();
    text->setGeometry(l.body);
    closeGlyph->move(l.closeGlyph.topLeft());
    closeButton->move(l.closeImage.topLeft());
    closeButtonDown->move(width() - closeButtonDown->width() - 15, 2);
    closeButtonUp->move(width() - closeButtonUp->width() - 15, 2);
    iconPicture->move(l.icon.topLeft());
    title->setGeometry(l.title);
    linkStrip->setGeometry(l.linkStrip);
    update();
}

void BalloonWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    runLayout();
}

void BalloonWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    runLayout();
}

void BalloonWindow::paintEvent(QPaintEvent*) {
    const balloon::Layout l = currentLayout();
    QPainter p(this);
    p.setClipRegion(region_.isEmpty() ? QRegion(rect()) : region_);
    p.fillRect(rect(), palette().color(QPalette::Window));
    const QColor band = QColor::fromRgb(balloon::kTitleBandRgb);
    p.setPen(QPen(band, 1));
    p.setBrush(band);
    p.drawRect(l.titleBand.adjusted(0, 0, -1, -1));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 2));
    p.setRenderHint(QPainter::Antialiasing, true);
    p.drawRoundedRect(QRectF(l.border), balloon::kCornerEllipse / 2.0,
                      balloon::kCornerEllipse / 2.0);
}

void BalloonWindow::mousePressEvent(QMouseEvent* event) {
    pressedOn_ = event->button() == Qt::LeftButton ? this : nullptr;
    QWidget::mousePressEvent(event);
}

void BalloonWindow::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressedOn_ == this && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressedOn_ = nullptr;
    if (click)
        hideBalloon(); // the band or a margin
}

// A click: the left button pressed and released on the same child, released over it.
bool BalloonWindow::clickOn(QObject* watched, QEvent* event) {
    auto* me = static_cast<QMouseEvent*>(event);
    if (event->type() == QEvent::MouseButtonPress) {
        pressedOn_ = me->button() == Qt::LeftButton ? watched : nullptr;
        return false;
    }
    if (event->type() != QEvent::MouseButtonRelease || me->button() != Qt::LeftButton)
        return false;
    const bool click = pressedOn_ == watched &&
                       static_cast<QWidget*>(watched)->rect().contains(me->position().toPoint());
    pressedOn_ = nullptr;
    return click;
}

bool BalloonWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick)
        return QWidget::eventFilter(watched, event);
    auto* me = static_cast<QMouseEvent*>(event);

    if (watched == title) {
        if (type == QEvent::MouseButtonPress)
            dragWindow(this, me->globalPosition().toPoint());
        return true; // a click on the title does nothing
    }
    if (watched == closeButton || watched == closeGlyph) {
        if (type == QEvent::MouseButtonPress && me->button() == Qt::LeftButton)
            closeButton->setPixmap(closeButtonDown->pixmap());
        if (type == QEvent::MouseButtonRelease && me->button() == Qt::LeftButton)
            closeButton->setPixmap(closeButtonUp->pixmap());
        if (type != QEvent::MouseButtonDblClick && clickOn(watched, event))
            hideBalloon();
        return true;
    }
    if (watched == iconPicture) {
        if (type != QEvent::MouseButtonDblClick && clickOn(watched, event))
            hideBalloon();
        return true;
    }
    if (watched == text->viewport()) {
        if (type == QEvent::MouseButtonDblClick) {
            hideBalloon();
            return true;
        }
        if (clickOn(watched, event) && closeGlyph->isHidden())
            hideBalloon();
        return true; // the body is read only: its clicks go nowhere else
    }
    if (watched == linkStrip) {
        if (type != QEvent::MouseButtonDblClick && clickOn(watched, event))
            emit linkClicked();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace qv
