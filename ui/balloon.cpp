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
        modernIcons_[i] = pictureStore(this, QStringLiteral("imgIconXP"), balloon::iconImage(icon));
        modernIcons_[i]->setProperty("controlIndex", i);
        classicIcons_[i] = pictureStore(this, QStringLiteral("imgIcon"),
                                        balloon::iconImage(static_cast<balloon::Icon>(2 + 2 * i)));
        classicIcons_[i]->setProperty("controlIndex", i);
    }
    closeButtonUp_ = pictureStore(this, QStringLiteral("imgX_Up"), balloon::closeFaceUp());
    closeButtonDown_ = pictureStore(this, QStringLiteral("imgX_Dn"), balloon::closeFacePressed());

    text_ = tipTextBox(this, pal);

    linkStrip_ = new QWidget(this);
    linkStrip_->setObjectName(QStringLiteral("cmdLink"));
    linkStrip_->resize(qv::twipsToPixels(4680), balloon::kLinkStripHeight);
    linkStrip_->setCursor(Qt::PointingHandCursor);

    title_ = titleLabel(this);
    title_->resize(width(), balloon::kTitleHeight);

    iconPicture_ = new QLabel(this);
    iconPicture_->setObjectName(QStringLiteral("imgDisplayIcon"));
    iconPicture_->setScaledContents(true);
    iconPicture_->resize(balloon::kIconSize, balloon::kIconSize);

    closeButton_ = new QLabel(this);
    closeButton_->setObjectName(QStringLiteral("imgX"));
    closeButton_->setPixmap(closeButtonUp_->pixmap());
    closeButton_->resize(balloon::kCloseImageSize, balloon::kCloseImageSize);

    closeGlyph_ = new BalloonCloseGlyph(this);
    closeGlyph_->setObjectName(QStringLiteral("lblX"));
    closeGlyph_->resize(balloon::kCloseGlyphSize, balloon::kCloseGlyphSize);
    closeGlyph_->setToolTip(QStringLiteral("Close"));

    autoCloseTimer_ = new QTimer(this);
    autoCloseTimer_->setObjectName(QStringLiteral("timAutoClose"));
    autoCloseTimer_->setSingleShot(true);
    connect(autoCloseTimer_, &QTimer::timeout, this, &BalloonWindow::hideBalloon);

    for (QObject* o : {static_cast<QObject*>(title_), static_cast<QObject*>(iconPicture_),
                       static_cast<QObject*>(closeButton_), static_cast<QObject*>(closeGlyph_),
                       static_cast<QObject*>(text_->viewport()), static_cast<QObject*>(linkStrip_)})
        o->installEventFilter(this);

    resize(qv::twipsToPixels(balloon::kDesignWidthTwips),
           qv::twipsToPixels(balloon::kDesignHeightTwips));
    roundCorners();
    runLayout();
}

std::optional<BalloonFailure> BalloonWindow::setBalloon(const BalloonContent& content) {
    const QString& titleText = content.title;
    const QString& bodyText = content.body;
    const QString& rtfFile = content.rtfFile;
    const int autoCloseMs = content.autoCloseMs;
    int heightTwips = content.sizeTwips.height();
    title_->setText(titleText);
    if (!bodyText.isEmpty())
        text_->setPlainText(bodyText);
    if (!rtfFile.isEmpty()) {
        const auto rtf = rtf::readRtfFile(rtfFile);
        if (!rtf.ok)
            return BalloonFailure{BalloonFailure::Kind::RtfFile, rtf.error};
        text_->setHtml(rtf.html);
    }
    move(qv::twipsToPixels(content.atTwips));

    icon_ = balloon::iconForCode(content.iconCode);
    if (const int slot = balloon::iconSlot(icon_); slot >= 0) {
        const QLabel* store = balloon::isClassic(icon_) ? classicIcons_[slot] : modernIcons_[slot];
        iconPicture_->setPixmap(store->pixmap());
        iconPicture_->show();
    } else {
        iconPicture_->hide();
    }

    closeButton_->setVisible(content.showClose);
    closeGlyph_->setVisible(content.showClose);

    if (autoCloseMs < 0 || autoCloseMs > balloon::kLongestAutoClose)
        return BalloonFailure{BalloonFailure::Kind::AutoCloseRange,
                              QStringLiteral("The auto-close time %1 ms is outside 0 to %2 ms.")
                                  .arg(autoCloseMs)
                                  .arg(balloon::kLongestAutoClose)};
    if (autoCloseMs != 0) {
        autoCloseAfter_ = autoCloseMs;
        const auto& timeBase = services().balloonTimeBase;
        autoCloseTimer_->setInterval(timeBase ? timeBase(autoCloseMs) : autoCloseMs);
        autoCloseTimer_->start();
    } else {
        autoCloseAfter_ = 0;
        autoCloseTimer_->stop();
    }

    if (content.showLink)
        heightTwips = balloon::heightWithLinkStrip(heightTwips, true, linkStrip_->height());
    else
        linkStrip_->resize(linkStrip_->width(), 0);
    linkStrip_->setVisible(linkStrip_->height() > 0);

    resize(qv::twipsToPixels(content.sizeTwips.width()), height());
    runLayout();
    resize(width(), qv::twipsToPixels(heightTwips));
    runLayout();
    roundCorners();

    if (const QString& face = content.fontName; !face.isEmpty()) {
        setFace(this, face);
        if (rtfFile.isEmpty())
            setFace(text_, face);
        setFace(title_, face);
    }
    return std::nullopt;
}

void BalloonWindow::hideBalloon() {
    autoCloseTimer_->stop();
    close();
}

void BalloonWindow::roundCorners() {
    region_ = balloon::roundedRegion(size());
    setMask(region_);
}

QString BalloonWindow::titleText() const {
    return title_->text();
}

QString BalloonWindow::bodyText() const {
    return text_->toPlainText();
}

balloon::Layout BalloonWindow::currentLayout() const {
    return balloon::layoutFor(size(), title_->height(), linkStrip_->height(), closeGlyph_->size(),
                              closeButton_->size(), iconPicture_->size());
}

void BalloonWindow::runLayout() {
    const balloon::Layout l = currentLayout();
    text_->setGeometry(l.body);
    closeGlyph_->move(l.closeGlyph.topLeft());
    closeButton_->move(l.closeImage.topLeft());
    closeButtonDown_->move(width() - closeButtonDown_->width() - 15, 2);
    closeButtonUp_->move(width() - closeButtonUp_->width() - 15, 2);
    iconPicture_->move(l.icon.topLeft());
    title_->setGeometry(l.title);
    linkStrip_->setGeometry(l.linkStrip);
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

    if (watched == title_) {
        if (type == QEvent::MouseButtonPress)
            dragWindow(this, me->globalPosition().toPoint());
        return true; // a click on the title does nothing
    }
    if (watched == closeButton_ || watched == closeGlyph_) {
        if (type == QEvent::MouseButtonPress && me->button() == Qt::LeftButton)
            closeButton_->setPixmap(closeButtonDown_->pixmap());
        if (type == QEvent::MouseButtonRelease && me->button() == Qt::LeftButton)
            closeButton_->setPixmap(closeButtonUp_->pixmap());
        if (type != QEvent::MouseButtonDblClick && clickOn(watched, event))
            hideBalloon();
        return true;
    }
    if (watched == iconPicture_) {
        if (type != QEvent::MouseButtonDblClick && clickOn(watched, event))
            hideBalloon();
        return true;
    }
    if (watched == text_->viewport()) {
        if (type == QEvent::MouseButtonDblClick) {
            hideBalloon();
            return true;
        }
        if (clickOn(watched, event) && closeGlyph_->isHidden())
            hideBalloon();
        return true; // the body is read only: its clicks go nowhere else
    }
    if (watched == linkStrip_) {
        if (type != QEvent::MouseButtonDblClick && clickOn(watched, event))
            emit linkClicked();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace qv
