#include "ui/animationplayer.h"

#include <QPainter>

namespace qv {

AnimationPlayer::AnimationPlayer(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_NoSystemBackground, false);
    connect(&timer_, &QTimer::timeout, this, &AnimationPlayer::advance);
}

bool AnimationPlayer::open(const QString& path) {
    close();
    clip_ = readAviFile(path);
    prepareFrames();
    update();
    return isOpen();
}

void AnimationPlayer::play() {
    if (!isOpen())
        return;
    timer_.start(clip_.frameIntervalMs);
}

void AnimationPlayer::stop() {
    timer_.stop();
}

void AnimationPlayer::close() {
    timer_.stop();
    clip_ = AviClip();
    shown_.clear();
    frame_ = 0;
    update();
}

void AnimationPlayer::setTransparent(bool on) {
    if (transparent_ == on)
        return;
    transparent_ = on;
    prepareFrames();
    update();
}

void AnimationPlayer::prepareFrames() {
    shown_.clear();
    if (clip_.isNull())
        return;
    if (!transparent_) {
        shown_ = clip_.frames;
        return;
    }
    const QRgb key = clip_.frames.first().pixel(0, 0);
    for (const QImage& f : clip_.frames) {
        QImage image = f.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if (line[x] == key)
                    line[x] = 0;
        }
        shown_.append(image);
    }
}

QImage AnimationPlayer::currentImage() const {
    return shown_.isEmpty() ? QImage() : shown_.at(frame_);
}

void AnimationPlayer::advance() {
    if (shown_.isEmpty()) {
        timer_.stop();
        return;
    }
    frame_ = (frame_ + 1) % int(shown_.size());
    update();
}

void AnimationPlayer::paintEvent(QPaintEvent*) {
    if (shown_.isEmpty())
        return;
    QPainter painter(this);
    const QImage& image = shown_.at(frame_);
    const QPoint at((width() - image.width()) / 2, (height() - image.height()) / 2);
    painter.drawImage(at, image);
}

} // namespace qv
