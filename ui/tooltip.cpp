#include "ui/tooltip.h"

using qv::colorFromColorRef;

CTooltip::CTooltip() = default;

CTooltip::~CTooltip() {
    Destroy();
}

void CTooltip::Create(QWidget* ParentHwnd) {
    Destroy();
    parent_ = ParentHwnd;
    window_ = new qv::TipWindow(style_ == 1, centred_);

    tool_.size = 44;
    tool_.flags = kIdIsWidget + kSubclass + (centred_ ? kCentreTip : 0);
    tool_.window = ParentHwnd;
    tool_.text = tipText_;
    window_->addTool(ParentHwnd, tool_.text);

    if (!title_.isEmpty() || icon_ != 0)
        window_->setTitle(icon_, title_);
    if (foreColor_ != 0)
        window_->setTipTextColor(colorFromColorRef(foreColor_));
    if (backColor_ != 0)
        window_->setTipBackColor(colorFromColorRef(backColor_));
    window_->setAutoPopDelay(visibleTime_);
    window_->setInitialDelay(delayTime_);
}

void CTooltip::Destroy() {
    if (window_)
        delete window_.data();
    window_ = nullptr;
}

void CTooltip::Icon(int vData) {
    icon_ = vData;
    if (window_ && !title_.isEmpty() && icon_ != 0)
        window_->setTitle(icon_, title_);
}

void CTooltip::ForeColor(quint32 lData) {
    foreColor_ = lData;
    if (window_)
        window_->setTipTextColor(colorFromColorRef(foreColor_));
}

void CTooltip::Title(const QString& vData) {
    title_ = vData;
    if (window_ && !title_.isEmpty() && icon_ != 0)
        window_->setTitle(icon_, title_);
}

void CTooltip::BackColor(quint32 lData) {
    backColor_ = lData;
    if (window_)
        window_->setTipBackColor(colorFromColorRef(backColor_));
}

void CTooltip::TipText(const QString& vData) {
    tipText_ = vData;
    tool_.text = vData;
    if (window_)
        window_->updateTipText(tool_.text);
}
