#include "app/progress.h"

#include "platform/programfolder.h"
#include "platform/twips.h"
#include "ui/animationplayer.h"
#include "ui/loadedwindow.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>

namespace {

using Loaded = LoadedWindow<Progress>;

// The spreadsheet picture the export shows: a small sheet with a green header row.
QPixmap sheetPicture(QSize size) {
    QPixmap pix(size);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF sheet(4, 4, size.width() - 8, size.height() - 8);
    p.setPen(QPen(QColor(30, 70, 40), 1.5));
    p.setBrush(Qt::white);
    p.drawRoundedRect(sheet, 3, 3);
    p.setBrush(QColor(40, 140, 70));
    p.drawRect(QRectF(sheet.left(), sheet.top(), sheet.width(), sheet.height() / 5));
    p.setPen(QPen(QColor(150, 190, 160), 1));
    for (int i = 2; i < 5; ++i) {
        const double y = sheet.top() + i * sheet.height() / 5;
        p.drawLine(QPointF(sheet.left(), y), QPointF(sheet.right(), y));
    }
    for (int i = 1; i < 3; ++i) {
        const double x = sheet.left() + i * sheet.width() / 3;
        p.drawLine(QPointF(x, sheet.top() + sheet.height() / 5), QPointF(x, sheet.bottom()));
    }
    return pix;
}

} // namespace

Progress& Progress::form() {
    return Loaded::get();
}

bool Progress::isLoaded() {
    return Loaded::isLoaded();
}

void Progress::unload() {
    Progress* form = Loaded::current();
    if (!form)
        return;
    Loaded::forget(form);
    form->clip_->stop();
    form->close();
    delete form;
}

Progress::Progress(LoadedWindow<Progress>::Key)
    : QWidget(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::CustomizeWindowHint) {
    setObjectName(QStringLiteral("Progress"));
    setWindowTitle(QStringLiteral("Please wait"));
    setFixedSize(qv::twipsToPixels(QSize(4185, 1320)));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(88, 146, 231));
    setPalette(pal);
    setAutoFillBackground(true);

    clip_ = new qv::AnimationPlayer(this);
    clip_->setObjectName(QStringLiteral("Animation1"));
    clip_->setGeometry(qv::twipsToPixels(120, -15, 3990, 570));

    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("ProgressBar1"));
    bar_->setGeometry(qv::twipsToPixels(390, 645, 3345, 255));
    bar_->setTextVisible(false);
    bar_->setMinimum(0);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("Label1"));
    status_->setGeometry(qv::twipsToPixels(465, 1020, 3210, 330));
    status_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QPalette text = status_->palette();
    text.setColor(QPalette::WindowText, Qt::white);
    status_->setPalette(text);

    picture_ = new QLabel(this);
    picture_->setObjectName(QStringLiteral("Image1"));
    picture_->setGeometry(qv::twipsToPixels(5430, 165, 915, 855));
    picture_->setPixmap(sheetPicture(picture_->size()));

    // load step: the clip plays for as long as the window lives; the bar starts empty
    clip_->open(qv::programPath(QStringLiteral("AccessDatabase.avi")));
    clip_->play();
    bar_->setValue(0);
    lastRefresh_.start();
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

Progress::~Progress() {
    Loaded::forget(this);
}

void Progress::showWindow() {
    show();
    refresh();
}

void Progress::setCaption(const QString& caption) {
    setWindowTitle(caption);
}

void Progress::setStatus(const QString& text) {
    status_->setText(text);
    refresh();
}

void Progress::setPictureVisible(bool visible) {
    picture_->setVisible(visible);
}

void Progress::setMaximum(int maximum) {
    bar_->setMaximum(std::max(0, maximum));
}

void Progress::setValue(int value) {
    bar_->setValue(std::clamp(value, 0, bar_->maximum()));
    refresh();
}

int Progress::maximum() const {
    return bar_->maximum();
}

int Progress::value() const {
    return bar_->value();
}

QString Progress::statusText() const {
    return status_->text();
}

void Progress::refresh() {
    if (!isVisible() || lastRefresh_.elapsed() < qv::kShowProgressEveryMs)
        return;
    lastRefresh_.restart();
    // Paint and let the clip's timer run; the operator's input waits for the action to end.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
