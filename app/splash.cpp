#include "app/splash.h"

#include "platform/services.h"
#include "platform/twips.h"
#include "ui/loadedwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStyle>
#include <QTimer>

bool OpenMainAfterSplash = true;

namespace {

using Loaded = LoadedWindow<SplashWindow>;

const QString kProgramTitle = QStringLiteral("Quorvane");

// The background: a deep blue sky over a stack of letters, each with its address block, and a
// light band where the product name sits.
QPixmap backgroundPicture(QSize size) {
    QPixmap pix(size);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(20, 40, 90));
    sky.setColorAt(0.6, QColor(88, 146, 231));
    sky.setColorAt(1, QColor(20, 40, 90));
    p.fillRect(pix.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 40));
    p.drawEllipse(QPointF(size.width() * 0.72, size.height() * 0.28), 150, 70);
    for (int i = 0; i < 4; ++i) {
        p.save();
        p.translate(70 + i * 14, 60 + i * 10);
        p.rotate(-12 + i * 6);
        p.setPen(QPen(QColor(30, 40, 70), 1));
        p.setBrush(QColor(250, 248, 240));
        p.drawRect(QRectF(0, 0, 110, 70));
        p.setPen(QPen(QColor(200, 60, 60), 1.5));
        p.drawLine(QPointF(0, 0), QPointF(55, 35));
        p.drawLine(QPointF(110, 0), QPointF(55, 35));
        p.setPen(QPen(QColor(90, 110, 150), 2));
        for (int l = 0; l < 3; ++l)
            p.drawLine(QPointF(40, 46 + 6 * l), QPointF(95 - 8 * l, 46 + 6 * l));
        p.restore();
    }
    return pix;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QRect& geometry) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    return label;
}

void setColours(QLabel* label, const QColor& text, const QColor& back = QColor()) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, text);
    if (back.isValid()) {
        pal.setColor(QPalette::Window, back);
        label->setAutoFillBackground(true);
    }
    label->setPalette(pal);
}

// A label keeps its designed place but grows when its text needs more room.
void growToFit(QLabel* label) {
    const QSize hint = label->sizeHint();
    label->resize(std::max(label->width(), hint.width()), std::max(label->height(), hint.height()));
}

} // namespace

SplashWindow& SplashWindow::form() {
    return Loaded::get();
}

bool SplashWindow::isLoaded() {
    return Loaded::isLoaded();
}

void SplashWindow::unload() {
    if (SplashWindow* form = Loaded::current())
        form->close();
}

void SplashWindow::showSplash() {
    SplashWindow& splash = form();
    splash.show();
    splash.raise();
}

int SplashWindow::closeDelay() {
    return qv::services().splashCloseDelayMs;
}

QString SplashWindow::versionText() {
    return QStringLiteral("Version %1.%2.%3")
        .arg(QV_VERSION_MAJOR)
        .arg(QV_VERSION_MINOR)
        .arg(QV_VERSION_PATCH);
}

QString SplashWindow::termsOfUse() {
    return QStringLiteral(
        "(1) Quorvane is licensed, not sold, for use by the licensee's own staff on the "
        "licensee's own computers.\r\n"
        "(2) Merge files, documents and workbooks made with Quorvane remain the property and "
        "the responsibility of their owner.\r\n"
        "(3) Quorvane is supplied as it is, without warranty of any kind; its authors are "
        "not liable for any loss of data, time or business.\r\n"
        "(4) Copying Quorvane, taking it apart or passing it on to others is not permitted "
        "without written consent.");
}

SplashWindow::SplashWindow(LoadedWindow<SplashWindow>::Key)
    : QWidget(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QString());
    setFixedSize(qv::twipsToPixels(QSize(7305, 4770)));

    picture_ = makeLabel(this, "Image1", qv::twipsToPixels(-15, -15, 7380, 4815));
    picture_->setPixmap(backgroundPicture(picture_->size()));

    productName_ = makeLabel(this, "lblProductName", qv::twipsToPixels(3645, 1140, 1560, 495));
    QFont nameFont = font();
    nameFont.setPointSize(16);
    nameFont.setBold(true);
    productName_->setFont(nameFont);
    setColours(productName_, QColor(220, 20, 30));

    version_ = makeLabel(this, "lblVersion", qv::twipsToPixels(5640, 1560, 660, 225));
    QFont small = font();
    small.setPointSize(7);
    version_->setFont(small);
    setColours(version_, Qt::white);

    termsBackground_ = makeLabel(this, "Label4", qv::twipsToPixels(135, 3045, 7050, 1620));
    setColours(termsBackground_, Qt::white, Qt::black);

    terms_ = makeLabel(this, "Label2", qv::twipsToPixels(435, 3165, 6630, 1485));
    QFont termsFont = font();
    termsFont.setPixelSize(9);
    terms_->setFont(termsFont);
    terms_->setWordWrap(true);
    terms_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setColours(terms_, Qt::white, Qt::black);

    infoIcon_ = makeLabel(this, "imgIconXP", qv::twipsToPixels(165, 3060, 240, 240));
    infoIcon_->setPixmap(
        style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(infoIcon_->size()));

    closeTimer_ = new QTimer(this);
    closeTimer_->setObjectName(QStringLiteral("Timer1"));
    closeTimer_->setSingleShot(true);
    closeTimer_->setTimerType(Qt::PreciseTimer);
    connect(closeTimer_, &QTimer::timeout, this, &SplashWindow::closeWhenTimeIsUp);

    // load step
    QCoreApplication::setApplicationName(kProgramTitle); // the program title
    version_->setText(versionText());
    growToFit(version_);
    productName_->setText(kProgramTitle);
    growToFit(productName_);
    closeTimer_->setInterval(closeDelay());
    closeTimer_->start();
    terms_->setText(termsOfUse());

    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

SplashWindow::~SplashWindow() {
    Loaded::forget(this);
}

void SplashWindow::closeWhenTimeIsUp() {
    close();
}

// However the window goes (its timer, the close button, the main window's unload), it is
// unloaded; the first time, the main window opens. The main window is shown before this one
// goes, so that the program never finds itself without a window in between.
void SplashWindow::closeEvent(QCloseEvent* event) {
    closeTimer_->stop();
    Loaded::forget(this);
    if (OpenMainAfterSplash) {
        OpenMainAfterSplash = false;
        if (const auto& open = qv::services().openMainWindow)
            open();
    }
    event->accept();
    deleteLater();
}
