#pragma once

#include "transfer/ftpsession.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

// A series of downloads from one server over several connections at once: the first is a session
// already open (the one that listed the folder), the others are opened on threads of their own
// and closed at the end. Each connection takes the next file of the series when it is free, so
// files begin in the series' order. What each file reports goes to a DownloadBoard.
//
// A server that refuses a further connection (a refusal or a reset while connecting or logging
// in) does not fail the search: that connection's file goes back to the others, and the number of
// connections the server took is remembered (connectionlimits.h). A file whose connection broke
// off in the middle, whose server went silent, or that ended short of its announced size is
// tried once more, on another connection where there is one. Every file ends on the board: the
// files not begun when a local write error stopped the series end with kDownloadNotRun.
namespace qv::transfer {

class DownloadBoard;

struct DownloadItem {
    QByteArray remote; // the remote file as the server spells it
    QString localPath;
};

class DownloadPool {
public:
    struct Settings {
        FtpLogin login;
        FtpTimeouts timeouts;
        TrustSettings trust;
        int connections = 4;
        CURLSH* share = nullptr;                   // what the connections share
        const std::atomic<bool>* cancel = nullptr; // set from another thread to stop
    };

    DownloadPool(Settings settings, const std::vector<DownloadItem>& items, DownloadBoard& board);
    DownloadPool(const DownloadPool&) = delete;
    DownloadPool& operator=(const DownloadPool&) = delete;

    // Runs every download and returns once all have ended; first is the first connection, used
    // on the calling thread. A local write error (a full disk) stops the files not begun yet:
    // they end as not run, as do those a cancel left.
    void run(FtpSession& first);

    // From any thread: every connection notices the cancel flag at once.
    void wake();

    // How many connections the series was given at most.
    int connectionsUsed() const { return started_; }

private:
    struct Entry {
        int item = 0;
        bool retried = false;
        int notOn = -1; // the connection it is not to be tried on again
    };

    void openConnection(int connection, const Entry& firstEntry);
    // Fetches files until none is left; given, when set, is the first.
    void work(int connection, FtpSession& session, std::optional<Entry> given);
    bool take(int connection, Entry* entry);
    bool stopped(); // halted or cancelled
    void settle();  // a file has ended, or will not begin: one fewer under way
    void tryAgain(const Entry& entry, bool front);
    void retire(int connection, const Entry& entry);
    void leave();
    bool cancelled() const { return settings_.cancel && settings_.cancel->load(); }

    const Settings settings_;
    const std::vector<DownloadItem>& items_;
    DownloadBoard& board_;
    int started_ = 0;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Entry> queue_;
    int underWay_ = 0; // files taken and not ended
    int active_ = 0;   // connections still taking files
    bool halted_ = false;
    std::vector<FtpSession*> sessions_; // to wake
};

} // namespace qv::transfer
