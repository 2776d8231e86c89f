#pragma once

#include "transfer/ftpsession.h"

#include <QString>
#include <mutex>
#include <vector>

// What each file of a series of downloads has reported, kept between the connections that fetch
// the files, in any order and at once, and the owner's thread, which takes the reports now and
// then and shows them in the series' order: a file's states and its end only once every file
// before it has ended.
namespace qv::transfer {

// The code a file of a series ends with when it was not run (libcurl's "aborted by callback").
inline constexpr int kDownloadNotRun = 42;

class DownloadBoard {
public:
    explicit DownloadBoard(int count) : slots_(static_cast<size_t>(count)) {}

    int count() const { return static_cast<int>(slots_.size()); }

    // Connection side, from any thread.
    void state(int item, int state);
    void end(int item, const FtpOutcome& outcome);
    // Ends every file that has not ended yet with the outcome.
    void endRest(const FtpOutcome& outcome);

    // Owner side. What the files from the first not taken yet reported since the last take, in
    // the series' order: every file that has ended, then the first one that has not (its states
    // so far), if any is left.
    struct Report {
        int item = 0;
        std::vector<qint8> states;
        bool ended = false;
        bool ok = false;
        int code = 0;
        QString info;
    };
    std::vector<Report> take();

private:
    struct Slot {
        std::vector<qint8> states;
        size_t taken = 0; // states taken so far
        bool ended = false;
        bool ok = false;
        int code = 0;
        QString info;
    };
    mutable std::mutex mutex_;
    std::vector<Slot> slots_;
    size_t next_ = 0; // the first file whose end was not taken yet
};

} // namespace qv::transfer
