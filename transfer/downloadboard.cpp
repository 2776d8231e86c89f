#include "transfer/downloadboard.h"

namespace qv::transfer {

void DownloadBoard::state(int item, int state) {
    std::lock_guard lock(mutex_);
    slots_[static_cast<size_t>(item)].states.push_back(static_cast<qint8>(state));
}

void DownloadBoard::end(int item, const FtpOutcome& outcome) {
    std::lock_guard lock(mutex_);
    Slot& slot = slots_[static_cast<size_t>(item)];
    slot.ended = true;
    slot.ok = outcome.ok;
    slot.code = outcome.code;
    slot.info = outcome.info;
}

void DownloadBoard::endRest(const FtpOutcome& outcome) {
    std::lock_guard lock(mutex_);
    for (Slot& slot : slots_) {
        if (slot.ended)
            continue;
        slot.ended = true;
        slot.ok = false;
        slot.code = outcome.code;
        slot.info = outcome.info;
    }
}

std::vector<DownloadBoard::Report> DownloadBoard::take() {
    std::vector<Report> reports;
    std::lock_guard lock(mutex_);
    for (; next_ < slots_.size(); ++next_) {
        Slot& slot = slots_[next_];
        Report report;
        report.item = static_cast<int>(next_);
        report.states.assign(slot.states.begin() + static_cast<qsizetype>(slot.taken),
                             slot.states.end());
        slot.taken = slot.states.size();
        report.ended = slot.ended;
        if (!slot.ended) {
            reports.push_back(std::move(report));
            break;
        }
        report.ok = slot.ok;
        report.code = slot.code;
        report.info = std::move(slot.info);
        std::vector<qint8>().swap(slot.states); // what is shown needs no keeping
        slot.taken = 0;
        reports.push_back(std::move(report));
    }
    return reports;
}

} // namespace qv::transfer
