#include "app/panels/guidancetimers.h"

#include <QTimer>

GuidanceTimers::GuidanceTimers(QObject* window) : QObject(window) {
    using qv::guidance::Message;
    const char* const names[] = {"Timer1", "Timer2", "Timer3", "Timer4"};
    for (const Message m : {Message::Start, Message::Select, Message::Settings, Message::NoFiles}) {
        auto* t = new QTimer(this);
        t->setObjectName(QString::fromLatin1(names[static_cast<int>(m)]));
        t->setSingleShot(true);
        t->setInterval(0);
        connect(t, &QTimer::timeout, this, [this, m] { emit due(m); });
        timers_[static_cast<int>(m)] = t;
    }
}

QTimer* GuidanceTimers::timer(qv::guidance::Message message) const {
    return timers_[static_cast<int>(message)];
}

void GuidanceTimers::stopAll() {
    for (QTimer* t : timers_)
        t->stop();
}
