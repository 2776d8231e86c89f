#pragma once

#include <array>
#include <mutex>

typedef void CURLSH;

// What the connections of one transfer control share in libcurl: the resolved host names. Safe to
// use from several threads at once; must outlive every handle that uses it.
//
// TLS sessions are not shared: each connection keeps its own (libcurl's cache of each handle), so
// that its data connections resume the session of their own control connection. A server that
// demands that (vsftpd's require_ssl_reuse, with its sessions cached in the process of each
// control connection) refuses a data connection that resumes another connection's session
// ("522 SSL connection failed: session reuse required"); with one cache for all connections, a
// few files in a hundred failed so.
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
