#include "app/panels/guidancetimers.h"

#include <QTimer>

QTimer* GuidanceTimers::timer(qv::guidance::Message message) const {
    using qv::guidance::Message;
    switch (message) {
    case Message::Start:
        return startTimer_;
    case Message::Select:
        return selectTimer_;
    case Message::Settings:
        return settingsTimer_;
    case Message::NoFiles:
        return noFilesTimer_;
    }
    return nullptr;
}

void GuidanceTimers::stopAll() {
    for (QTimer* t : {startTimer_, selectTimer_, settingsTimer_, noFilesTimer_})
        t->stop();
}
