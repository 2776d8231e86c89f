#include "transfer/readahead.h"

namespace qv::transfer {

bool ReadAhead::begin() {
    std::lock_guard lock(mutex_);
    if (dropped_)
        return false;
    if (*halted_ && !adopted_) {
        skipped_ = true;
        return false;
    }
    return true;
}

void ReadAhead::state(int state, const StateDelivery& deliver) {
    std::lock_guard lock(mutex_);
    if (dropped_)
        return;
    if (adopted_)
        deliver(state);
    else
        states_.push_back(state);
}

void ReadAhead::end(const FtpOutcome& outcome, const OutcomeDelivery& deliver) {
    std::lock_guard lock(mutex_);
    if (dropped_)
        return;
    if (adopted_)
        deliver(outcome);
    else
        outcome_ = outcome;
}

bool ReadAhead::adopt(const Replay& replay) {
    std::lock_guard lock(mutex_);
    if (skipped_ || dropped_)
        return false;
    adopted_ = true;
    replay(states_, outcome_);
    states_.clear();
    outcome_.reset();
    return true;
}

void ReadAhead::drop() {
    std::lock_guard lock(mutex_);
    dropped_ = true;
}

} // namespace qv::transfer
