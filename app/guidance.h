#pragma once

#include "guidance/guidancemessages.h"

class Form2;
class QTimer;
namespace qv {
class BalloonWindow;
}

// The "Getting Started" balloons of the main window. Each message belongs to one of the window's
// one-shot timers (form.guidance, one a message): the start timer, armed by the load step; the
// select, settings and no-files timers, armed at the end of a search. A timer fires at most once
// per arming and shows its message in a new balloon. The installed services may shorten the delays
// (guidanceTimeBase).
namespace qv::guidance {

// Arming and stopping. Stopping a timer disables it and sets its interval to 0.
void armGuidanceAtLoad(Form2& form);    // the start timer, 10 s
void stopGuidanceOnSearch(Form2& form); // a search stops the start timer
// The select, settings or no-files timer, as the outcome asks.
void armGuidanceAfterSearch(Form2& form, SearchOutcome outcome);
void stopGuidanceOnSelection(Form2& form); // a selection stops the select timer

// The timer event of a message's timer: disable the timer, interval 0, show its message.
void onGuidanceTimer(Form2& form, Message m);

// The four routines. Each shows a new balloon owned by the main window and gives the focus back
// to the main window; the balloon is returned for whoever wants to look at it.
qv::BalloonWindow* guidanceStart(Form2& form);
qv::BalloonWindow* guidanceSelect(Form2& form);
qv::BalloonWindow* guidanceSettings(Form2& form);
qv::BalloonWindow* guidanceNoFiles(Form2& form);

QTimer* guidanceTimer(Form2& form, Message m);

} // namespace qv::guidance
