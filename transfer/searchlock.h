#pragma once

#include <QLockFile>
#include <QString>

// The lock a search holds on its program folder from before the listing to its end, so that two
// searches at once (two windows, or a window and the command line) never replace or remove each
// other's copies. It is the file ".search.lock" in the program folder, naming the process that
// holds it; a lock whose process has ended is taken over. Where the lock cannot be made at all (a
// full disk, no permission), the search goes on without it: it then meets the same fault when it
// writes, and reports it with the system's reason.
namespace qv {

class SearchLock {
public:
    SearchLock();
    SearchLock(const SearchLock&) = delete;
    SearchLock& operator=(const SearchLock&) = delete;

    // False when another search holds the program folder; message() then says so. True once
    // this search holds it, or when no lock can be made there.
    bool acquire();
    QString message() const { return message_; }

    static QString path();

private:
    QLockFile lock_;
    QString message_;
};

} // namespace qv
