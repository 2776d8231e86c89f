#include "app/cli/commands.h"
#include "platform/tempfiles.h"

#include <QStringList>
#include <algorithm>
#include <csignal>
#include <mutex>
#include <pthread.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace qv::cli {

namespace {

std::mutex& foldersMutex() {
    static std::mutex mutex;
    return mutex;
}

QStringList& folders() {
    static QStringList list;
    return list;
}

std::vector<void (*)()>& steps() {
    static std::vector<void (*)()> list;
    return list;
}

sigset_t interruptions() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    return set;
}

// Waits for an interruption on a thread of its own, outside any signal handler: the temporary
// files of this process go, then the process ends as the shell expects (128 + the signal).
void waitForInterruption() {
    const sigset_t set = interruptions();
    int signal = 0;
    while (sigwait(&set, &signal) != 0) {
    }
    {
        std::lock_guard lock(foldersMutex());
        for (void (*step)() : steps())
            step();
        for (const QString& folder : folders())
            tempfiles::removeOwn(folder);
    }
    ::_exit(128 + signal);
}

} // namespace

void cleanUpOnInterruption() {
    // Blocked here, before any other thread starts, the signals reach only the waiting thread.
    const sigset_t set = interruptions();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    std::thread(waitForInterruption).detach();
}

void removeTemporariesOnInterruption(const QString& folder) {
    std::lock_guard lock(foldersMutex());
    if (!folder.isEmpty() && !folders().contains(folder))
        folders() << folder;
}

void runOnInterruption(void (*step)()) {
    std::lock_guard lock(foldersMutex());
    if (std::find(steps().begin(), steps().end(), step) == steps().end())
        steps().push_back(step);
}

} // namespace qv::cli
