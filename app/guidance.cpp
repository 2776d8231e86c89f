#include "app/guidance.h"

#include "app/form2.h"
#include "platform/services.h"
#include "ui/balloon.h"

#include <QLineEdit>
#include <QTimer>

namespace qv::guidance {
namespace {

// The guidance balloons are lower than the balloon's design.
const QSize kBalloonSizeTwips(4680, 1620);

void arm(QTimer* timer, int delay) {
    if (!timer)
        return;
    timer->setSingleShot(true);
    const auto& timeBase = services().guidanceTimeBase;
    timer->setInterval(timeBase ? timeBase(delay) : delay);
    timer->start();
}

void stop(QTimer* timer) {
    if (!timer)
        return;
    timer->stop();
    timer->setInterval(0);
}

const QWidget* anchorOf(const Form2& form, Message m) {
    switch (m) {
    case Message::Start:
        return form.details.commandStatusAnchor();
    case Message::Select:
        return form.browser.guidanceAnchor();
    case Message::Settings:
        return form.settings.addressAnchor();
    case Message::NoFiles:
        return form.settings.versionAnchor();
    }
    return nullptr;
}

// The window rectangle in screen pixels; a hidden control has one too, where it would show.
QRect screenRect(const QWidget* w) {
    return {w->mapToGlobal(QPoint(0, 0)), w->size()};
}

qv::BalloonWindow* showGuidance(Form2& form, Message m) {
    const QWidget* anchor = anchorOf(form, m);
    const QPoint at = anchor ? anchorTwips(m, screenRect(anchor)) : QPoint();
    auto* tip = new qv::BalloonWindow(&form);
    // The message's settings are always within range and it loads no file: nothing can fail.
    qv::BalloonContent content;
    content.title = title();
    content.body = text(m);
    content.atTwips = at;
    content.iconCode = QStringLiteral("i");
    content.autoCloseMs = autoCloseMs(m);
    content.sizeTwips = kBalloonSizeTwips;
    content.fontName = QStringLiteral("Tahoma");
    (void)tip->setBalloon(content);
    tip->show();
    form.activateWindow();
    return tip;
}

} // namespace

QTimer* guidanceTimer(Form2& form, Message m) {
    return form.guidance.timer(m);
}

void armGuidanceAtLoad(Form2& form) {
    arm(guidanceTimer(form, Message::Start), delayMs(Message::Start));
}

void stopGuidanceOnSearch(Form2& form) {
    stop(guidanceTimer(form, Message::Start));
}

void armGuidanceAfterSearch(Form2& form, SearchOutcome outcome) {
    const Message m = messageAfter(outcome);
    arm(guidanceTimer(form, m), delayMs(m));
}

void stopGuidanceOnSelection(Form2& form) {
    stop(guidanceTimer(form, Message::Select));
}

void onGuidanceTimer(Form2& form, Message m) {
    stop(guidanceTimer(form, m));
    switch (m) {
    case Message::Start:
        guidanceStart(form);
        break;
    case Message::Select:
        guidanceSelect(form);
        break;
    case Message::Settings:
        guidanceSettings(form);
        break;
    case Message::NoFiles:
        guidanceNoFiles(form);
        break;
    }
}

qv::BalloonWindow* guidanceStart(Form2& form) {
    return showGuidance(form, Message::Start);
}
qv::BalloonWindow* guidanceSelect(Form2& form) {
    return showGuidance(form, Message::Select);
}
qv::BalloonWindow* guidanceSettings(Form2& form) {
    return showGuidance(form, Message::Settings);
}
qv::BalloonWindow* guidanceNoFiles(Form2& form) {
    return showGuidance(form, Message::NoFiles);
}

} // namespace qv::guidance
