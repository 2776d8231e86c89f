#pragma once

#include "transfer/ftpsession.h"

#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

// A command the transfer worker runs before its owner asks for it, so that the next download is
// already under way while the owner's thread shows the one before. Until the owner adopts the
// command, the states and the outcome it reports are kept; from then on they go straight to the
// owner. A command that was dropped reports nothing; one not begun yet is skipped.
namespace qv::transfer {

class ReadAhead {
public:
    using StateDelivery = std::function<void(int state)>;
    using OutcomeDelivery = std::function<void(const FtpOutcome& outcome)>;
    using Replay = std::function<void(const std::vector<int>& states,
                                      const std::optional<FtpOutcome>& outcome)>;

    // key names the command (address, login and command line); halted is shared by the commands
    // read ahead together: once set, those not begun yet are skipped.
    ReadAhead(QString key, std::shared_ptr<std::atomic<bool>> halted)
        : key_(std::move(key)), halted_(std::move(halted)) {}

    const QString& key() const { return key_; }

    // Worker side. False when the command is not to run: dropped, or halted before the owner
    // asked for it.
    bool begin();
    void state(int state, const StateDelivery& deliver);
    void end(const FtpOutcome& outcome, const OutcomeDelivery& deliver);
    // Stops the commands read ahead together that have not begun.
    void halt() { *halted_ = true; }

    // Owner side. Adopts the command: replay gets what it reported so far, and deliveries
    // follow it in order (each happens under the same lock). False when it was skipped and has
    // to run anew.
    bool adopt(const Replay& replay);
    void drop();

private:
    std::mutex mutex_;
    const QString key_;
    const std::shared_ptr<std::atomic<bool>> halted_;
    std::vector<int> states_;
    std::optional<FtpOutcome> outcome_;
    bool adopted_ = false;
    bool dropped_ = false;
    bool skipped_ = false;
};

} // namespace qv::transfer
