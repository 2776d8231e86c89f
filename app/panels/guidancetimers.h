#pragma once

#include "guidance/guidancemessages.h"

#include <QObject>

class QTimer;

// The one-shot timers of the guidance balloons, one a message: start, select, settings and no
// files (design names Timer1 to Timer4).
class GuidanceTimers : public QObject {
    Q_OBJECT
public:
    explicit GuidanceTimers(QObject* window);

    // The timer of a message, for the guidance to arm and stop.
    QTimer* timer(qv::guidance::Message message) const;
    void stopAll();

signals:
    // A message's timer ran out.
    void due(qv::guidance::Message message);

private:
    QTimer* timers_[4]; // by message
};
