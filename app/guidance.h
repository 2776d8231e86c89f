#pragma once

#include "guidance/guidancemessages.h"

class Form2;
class QTimer;
namespace qv {
class frmTip;
}

// The "Getting Started" balloons of the main window. Each message belongs to one of the window's
// one-shot timers: Timer1 start (armed by the load step), Timer2 select, Timer3 settings, Timer4
// no files (armed at the end of a search). A timer fires at most once per arming and shows its
// message in a new balloon. The installed services may shorten the delays (guidanceTimeBase).
namespace qv::guidance {

// Arming and stopping. Stopping a timer disables it and sets its interval to 0.
void ArmGuidanceAtLoad(Form2& form);                             // Timer1, 10 s
void StopGuidanceOnSearch(Form2& form);                          // a search stops Timer1
void ArmGuidanceAfterSearch(Form2& form, SearchOutcome outcome); // Timer2, Timer3 or Timer4
void StopGuidanceOnSelection(Form2& form);                       // a selection stops Timer2

// The timer event of Timer1 to Timer4 (number 1 to 4): disable the timer, interval 0, show its
// message.
void OnGuidanceTimer(Form2& form, int number);

// The four routines. Each shows a new balloon owned by the main window and gives the focus back
// to the main window; the balloon is returned for whoever wants to look at it.
qv::frmTip* GuidanceStart(Form2& form);
qv::frmTip* GuidanceSelect(Form2& form);
qv::frmTip* GuidanceSettings(Form2& form);
qv::frmTip* GuidanceNoFiles(Form2& form);

QTimer* guidanceTimer(Form2& form, Message m);

} // namespace qv::guidance
