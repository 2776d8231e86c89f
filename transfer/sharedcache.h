#pragma once

#include <array>
#include <mutex>

typedef void CURLSH;

// What the connections of one transfer control share in libcurl: the TLS sessions (a new control
// connection, or a data connection that a server wants on the session of the control connection,
// resumes one instead of a full handshake) and the resolved host names. Safe to use from several
// threads at once; must outlive every handle that uses it.
namespace qv::transfer {

// libcurl's global set-up, once for the process (never undone: other threads may still use it).
void initialiseCurl();

class SharedCache {
public:
    SharedCache();
    ~SharedCache();
    SharedCache(const SharedCache&) = delete;
    SharedCache& operator=(const SharedCache&) = delete;

    CURLSH* handle() const { return share_; }

    // libcurl's lock and unlock of one kind of shared data.
    void lock(int data);
    void unlock(int data);

private:
    CURLSH* share_ = nullptr;
    std::array<std::mutex, 16> locks_;
};

} // namespace qv::transfer
