#pragma once

#include "guidance/guidancemessages.h"

class QTimer;

// The one-shot timers of the guidance balloons, one a message: start, select, settings and no
// files.
class GuidanceTimers {
public:
    // The timer of a message, for the guidance to arm, stop and hear.
    QTimer* timer(qv::guidance::Message message) const;
    void stopAll();

private:
    friend class Form2;
    friend struct Form2Routes;

    QTimer* startTimer_ = nullptr;
    QTimer* selectTimer_ = nullptr;
    QTimer* settingsTimer_ = nullptr;
    QTimer* noFilesTimer_ = nullptr;
};
