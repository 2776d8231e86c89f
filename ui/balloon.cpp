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
        imgIconXP[i] = pictureStore(this, QStringLiteral("imgIconXP"), balloon::iconImage(icon));
        imgIconXP[i]->setProperty("controlIndex", i);
        imgIcon[i] = pictureStore(this, QStringLiteral("imgIcon"),
                                  balloon::iconImage(static_cast<balloon::Icon>(2 + 2 * i)));
        imgIcon[i]->setProperty("controlIndex", i);
    }
    imgX_Up = pictureStore(this, QStringLiteral("imgX_Up"), balloon::closeFaceUp());
    imgX_Dn = pictureStore(this, QStringLiteral("imgX_Dn"), balloon::closeFacePressed());

    txtTip = tipTextBox(this, pal);

    cmdLink = new QWidget(this);
    cmdLink->setObjectName(QStringLiteral("cmdLink"));
    cmdLink->resize(qv::twipsToPixels(4680), balloon::kLinkStripHeight);
    cmdLink->setCursor(Qt::PointingHandCursor);

    lblTitle = titleLabel(this);
    lblTitle->resize(width(), balloon::kTitleHeight);

    imgDisplayIcon = new QLabel(this);
    imgDisplayIcon->setObjectName(QStringLiteral("imgDisplayIcon"));
    imgDisplayIcon->setScaledContents(true);
    imgDisplayIcon->resize(balloon::kIconSize, balloon::kIconSize);

    imgX = new QLabel(this);
    imgX->setObjectName(QStringLiteral("imgX"));
    imgX->setPixmap(imgX_Up->pixmap());
    imgX->resize(balloon::kCloseImageSize, balloon::kCloseImageSize);

    lblX = new BalloonCloseGlyph(this);
    lblX->setObjectName(QStringLiteral("lblX"));
    lblX->resize(balloon::kCloseGlyphSize, balloon::kCloseGlyphSize);
    lblX->setToolTip(QStringLiteral("Close"));

    timAutoClose = new QTimer(this);
    timAutoClose->setObjectName(QStringLiteral("timAutoClose"));
    timAutoClose->setSingleShot(true);
    connect(timAutoClose, &QTimer::timeout, this, &BalloonWindow::HideBalloon);

    for (QObject* o : {static_cast<QObject*>(lblTitle), static_cast<QObject*>(imgDisplayIcon),
                       static_cast<QObject*>(imgX), static_cast<QObject*>(lblX),
                       static_cast<QObject*>(txtTip->viewport()), static_cast<QObject*>(cmdLink)})
        o->installEventFilter(this);

    resize(qv::twipsToPixels(balloon::kDesignWidthTwips),
           qv::twipsToPixels(balloon::kDesignHeightTwips));
    RoundCorners();
    runLayout();
}

std::optional<BalloonFailure> BalloonWindow::SetBalloon(const QString& title, const QString& text,
                                                        int xTwips, int yTwips,
                                                        const QString& iconCode, bool showClose,
                                                        int autoCloseMs, int heightTwips,
                                                        int widthTwips, const QVariant& fontName,
                                                        const QString& rtfFile, bool showLink) {
    lblTitle->setText(title);
    if (!text.isEmpty())
        txtTip->setPlainText(text);
    if (!rtfFile.isEmpty()) {
        const auto rtf = rtf::readRtfFile(rtfFile);
        if (!rtf.ok)
            return BalloonFailure{BalloonFailure::Kind::RtfFile, rtf.error};
        txtTip->setHtml(rtf.html);
    }
    move(qv::twipsToPixels(QPoint(xTwips, yTwips)));

    icon_ = balloon::iconForCode(iconCode);
    if (const int slot = balloon::iconSlot(icon_); slot >= 0) {
        const QLabel* store = balloon::isClassic(icon_) ? imgIcon[slot] : imgIconXP[slot];
        imgDisplayIcon->setPixmap(store->pixmap());
        imgDisplayIcon->show();
    } else {
        imgDisplayIcon->hide();
    }

    imgX->setVisible(showClose);
    lblX->setVisible(showClose);

    if (autoCloseMs < 0 || autoCloseMs > balloon::kLongestAutoClose)
        return BalloonFailure{BalloonFailure::Kind::AutoCloseRange,
                              QStringLiteral("The auto-close time %1 ms is outside 0 to %2 ms.")
                                  .arg(autoCloseMs)
                                  .arg(balloon::kLongestAutoClose)};
    if (autoCloseMs != 0) {
        autoCloseAfter_ = autoCloseMs;
        const auto& timeBase = services().balloonTimeBase;
        timAutoClose->setInterval(timeBase ? timeBase(autoCloseMs) : autoCloseMs);
        timAutoClose->start();
    } else {
        autoCloseAfter_ = 0;
        timAutoClose->stop();
    }

    if (showLink)
        heightTwips = balloon::heightWithLinkStrip(heightTwips, true, cmdLink->height());
    else
        cmdLink->resize(cmdLink->width(), 0);
    cmdLink->setVisible(cmdLink->height() > 0);

    resize(qv::twipsToPixels(widthTwips), height());
    runLayout();
    resize(width(), qv::twipsToPixels(heightTwips));
    runLayout();
    RoundCorners();

    const QString face = fontName.toString();
    if (!face.isEmpty()) {
        setFace(this, face);
        if (rtfFile.isEmpty())
            setFace(txtTip, face);
        setFace(lblTitle, face);
    }
    return std::nullopt;
}

void BalloonWindow::HideBalloon() {
    timAutoClose->stop();
    close();
}

void BalloonWindow::RoundCorners() {
    region_ = balloon::roundedRegion(size());
    setMask(region_);
}

balloon::Layout BalloonWindow::currentLayout() const {
    return balloon::layoutFor(size(), lblTitle->height(), cmdLink->height(), lblX->size(),
                              imgX->size(), imgDisplayIcon->size());
}

void BalloonWindow::runLayout() {
    const balloon::Layout l = currentLayout();
    txtTip->setGeometry(l.body);
    lblX->move(l.closeGlyph.topLeft());
    imgX->move(l.closeImage.topLeft());
    imgX_Dn->move(width() - imgX_Dn->width() - 15, 2);
    imgX_Up->move(width() - imgX_Up->width() - 15, 2);
    imgDisplayIcon->move(l.icon.topLeft());
    lblTitle->setGeometry(l.title);
    cmdLink->setGeometry(l.linkStrip);
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
        HideBalloon(); // the band or a margin
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

    if (watched == lblTitle) {
        if (type == QEvent::MouseButtonPress)
            DragForm(this, me->globalPosition().toPoint());
        return true; // a click on the title does nothing
    }
    if (watched == imgX || watched == lblX) {
        if (type == QEvent::MouseButtonPress && me->button() == Qt::LeftButton)
            imgX->setPixmap(imgX_Dn->pixmap());
        if (type == QEvent::MouseButtonRelease && me->button() == Qt::LeftButton)
            imgX->setPixmap(imgX_Up->pixmap());
        if (type != QEvent::MouseButtonDblClick && clickOn(watched, event))
            HideBalloon();
        return true;
    }
    if (watched == imgDisplayIcon) {
        if (type != QEvent::MouseButtonDblClick && clickOn(watched, event))
            HideBalloon();
        return true;
    }
    if (watched == txtTip->viewport()) {
        if (type == QEvent::MouseButtonDblClick) {
            HideBalloon();
            return true;
        }
        if (clickOn(watched, event) && lblX->isHidden())
            HideBalloon();
        return true; // the body is read only: its clicks go nowhere else
    }
    if (watched == cmdLink) {
        if (type != QEvent::MouseButtonDblClick && clickOn(watched, event))
            emit linkClicked();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace qv
