#include "ui/tooltip.h"

using qv::colorFromColorRef;

BalloonTooltip::BalloonTooltip() = default;

BalloonTooltip::~BalloonTooltip() {
    Destroy();
}

void BalloonTooltip::Create(QWidget* owner) {
    Destroy();
    parent_ = owner;
    window_ = new qv::TipWindow(style_ == 1, centred_);

    tool_.size = 44;
    tool_.flags = kIdIsWidget + kSubclass + (centred_ ? kCentreTip : 0);
    tool_.window = owner;
    tool_.text = tipText_;
    window_->addTool(owner, tool_.text);

    if (!title_.isEmpty() || icon_ != 0)
        window_->setTitle(icon_, title_);
    if (foreColor_ != 0)
        window_->setTipTextColor(colorFromColorRef(foreColor_));
    if (backColor_ != 0)
        window_->setTipBackColor(colorFromColorRef(backColor_));
    window_->setAutoPopDelay(visibleTime_);
    window_->setInitialDelay(delayTime_);
}

void BalloonTooltip::Destroy() {
    if (window_)
        delete window_.data();
    window_ = nullptr;
}

void BalloonTooltip::Icon(int value) {
    icon_ = value;
    if (window_ && !title_.isEmpty() && icon_ != 0)
        window_->setTitle(icon_, title_);
}

void BalloonTooltip::ForeColor(quint32 value) {
    foreColor_ = value;
    if (window_)
        window_->setTipTextColor(colorFromColorRef(foreColor_));
}

void BalloonTooltip::Title(const QString& value) {
    title_ = value;
    if (window_ && !title_.isEmpty() && icon_ != 0)
        window_->setTitle(icon_, title_);
}

void BalloonTooltip::BackColor(quint32 value) {
    backColor_ = value;
    if (window_)
        window_->setTipBackColor(colorFromColorRef(backColor_));
}

void BalloonTooltip::TipText(const QString& value) {
    tipText_ = value;
    tool_.text = value;
    if (window_)
        window_->updateTipText(tool_.text);
}
