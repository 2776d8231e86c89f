#include "transfer/downloadpool.h"

#include "transfer/connectionlimits.h"
#include "transfer/downloadboard.h"

#include <algorithm>
#include <curl/curl.h>
#include <thread>

namespace qv::transfer {
namespace {

constexpr int kConnected = 4; // the first state of a logged-in connection

// The states of one attempt at a file. Those of a connection being opened wait until it is
// logged in: a refused connection says nothing, its file is tried on another.
class AttemptStates {
public:
    AttemptStates(DownloadBoard& board, int item) : board_(board), item_(item) {}
    void operator()(int state) {
        if (state < kConnected && !passing_) {
            held_.push_back(state);
            return;
        }
        flush();
        board_.state(item_, state);
    }
    void flush() {
        passing_ = true;
        for (const int state : held_)
            board_.state(item_, state);
        held_.clear();
    }

private:
    DownloadBoard& board_;
    const int item_;
    std::vector<int> held_;
    bool passing_ = false;
};

} // namespace

DownloadPool::DownloadPool(Settings settings, const std::vector<DownloadItem>& items,
                           DownloadBoard& board)
    : settings_(std::move(settings)), items_(items), board_(board) {
    for (int i = 0; i < static_cast<int>(items_.size()); ++i)
        queue_.push_back(Entry{i});
}

void DownloadPool::run(FtpSession& first) {
    if (items_.empty())
        return;
    int connections = std::min(settings_.connections, static_cast<int>(items_.size()));
    if (const int known = rememberedConnectionLimit(connectionLimitKey(settings_.login)))
        connections = std::min(connections, known);
    started_ = std::max(1, connections);
    active_ = started_;
    // Each further connection is opened for a file of its own, the next ones of the series: none
    // is opened in vain, and the files begin in order.
    std::vector<Entry> firsts;
    {
        std::lock_guard lock(mutex_);
        sessions_.push_back(&first);
        for (int c = 1; c < started_; ++c) {
            firsts.push_back(queue_[1]);
            queue_.erase(queue_.begin() + 1);
            ++underWay_;
        }
    }
    std::vector<std::thread> threads;
    for (int c = 1; c < started_; ++c)
        threads.emplace_back(
            [this, c, entry = firsts[static_cast<size_t>(c - 1)]] { openConnection(c, entry); });
    work(0, first, std::nullopt);
    for (std::thread& thread : threads)
        thread.join();
    std::lock_guard lock(mutex_);
    sessions_.clear();
    FtpOutcome notRun;
    notRun.code = kDownloadNotRun;
    notRun.info = cancelled() ? QStringLiteral("The transfer was cancelled")
                              : QStringLiteral("Not downloaded: the search stopped at a file "
                                               "that could not be stored here");
    board_.endRest(notRun);
}

void DownloadPool::wake() {
    std::lock_guard lock(mutex_);
    for (FtpSession* session : sessions_)
        session->wake();
    changed_.notify_all();
}

// A further connection, on its own thread: opened for its first file, closed at the end.
void DownloadPool::openConnection(int connection, const Entry& firstEntry) {
    FtpSession session;
    session.setCancelFlag(settings_.cancel);
    session.setShare(settings_.share);
    session.setTimeouts(settings_.timeouts);
    session.setTrust(settings_.trust);
    {
        std::lock_guard lock(mutex_);
        sessions_.push_back(&session);
    }
    work(connection, session, firstEntry);
    std::lock_guard lock(mutex_);
    sessions_.erase(std::find(sessions_.begin(), sessions_.end(), &session));
}

void DownloadPool::work(int connection, FtpSession& session, std::optional<Entry> given) {
    Entry entry;
    for (;;) {
        if (!given && !take(connection, &entry))
            break;
        if (given) {
            entry = *given;
            given.reset();
            if (stopped()) {
                settle(); // not begun
                break;
            }
        }
        const DownloadItem& item = items_[static_cast<size_t>(entry.item)];
        AttemptStates states(board_, entry.item);
        const FtpOutcome outcome = session.retrieve(settings_.login, item.remote, item.localPath,
                                                    [&states](int s) { states(s); });
        if (!outcome.ok && connection > 0 && outcome.beforeLogin && !cancelled())
            return retire(connection, entry);
        states.flush();
        if (outcome.retriable() && !entry.retried && !cancelled()) {
            entry.retried = true;
            entry.notOn = connection;
            tryAgain(entry, true);
            continue;
        }
        if (!outcome.ok && outcome.code == CURLE_WRITE_ERROR) {
            std::lock_guard lock(mutex_);
            halted_ = true; // nothing more can be stored here
        }
        board_.end(entry.item, outcome);
        settle();
    }
    leave();
}

// The next file for the connection: the first waiting that it may take. Waits while files under
// way on other connections may still come back; false once nothing is left, or when stopped.
bool DownloadPool::take(int connection, Entry* entry) {
    std::unique_lock lock(mutex_);
    for (;;) {
        if (halted_ || cancelled())
            return false;
        const auto it = std::find_if(queue_.begin(), queue_.end(), [&](const Entry& e) {
            return e.notOn != connection || active_ == 1;
        });
        if (it != queue_.end()) {
            *entry = *it;
            queue_.erase(it);
            ++underWay_;
            return true;
        }
        if (queue_.empty() && underWay_ == 0)
            return false;
        changed_.wait(lock);
    }
}

bool DownloadPool::stopped() {
    std::lock_guard lock(mutex_);
    return halted_ || cancelled();
}

void DownloadPool::settle() {
    std::lock_guard lock(mutex_);
    --underWay_;
    changed_.notify_all();
}

void DownloadPool::tryAgain(const Entry& entry, bool front) {
    std::lock_guard lock(mutex_);
    --underWay_;
    if (front)
        queue_.push_front(entry);
    else
        queue_.push_back(entry);
    changed_.notify_all();
}

// The server refused this further connection: its file goes back to the others, the connection
// ends, and the server's limit is what the others hold.
void DownloadPool::retire(int, const Entry& entry) {
    int others = 0;
    {
        std::lock_guard lock(mutex_);
        others = active_ - 1;
    }
    rememberConnectionLimit(connectionLimitKey(settings_.login), others);
    tryAgain(entry, true);
    leave();
}

void DownloadPool::leave() {
    std::lock_guard lock(mutex_);
    --active_;
    changed_.notify_all();
}

} // namespace qv::transfer
