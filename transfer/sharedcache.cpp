#include "transfer/sharedcache.h"

#include <curl/curl.h>

namespace qv::transfer {
namespace {

SharedCache* cacheOf(void* userptr) {
    return static_cast<SharedCache*>(userptr);
}

void lockData(CURL*, curl_lock_data data, curl_lock_access, void* userptr) {
    cacheOf(userptr)->lock(static_cast<int>(data));
}

void unlockData(CURL*, curl_lock_data data, void* userptr) {
    cacheOf(userptr)->unlock(static_cast<int>(data));
}

} // namespace

void initialiseCurl() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

SharedCache::SharedCache() {
    initialiseCurl();
    share_ = curl_share_init();
    if (!share_)
        return;
    curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, lockData);
    curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, unlockData);
    curl_share_setopt(share_, CURLSHOPT_USERDATA, this);
    curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
}

SharedCache::~SharedCache() {
    if (share_)
        curl_share_cleanup(share_);
}

void SharedCache::lock(int data) {
    locks_[static_cast<size_t>(data) % locks_.size()].lock();
}

void SharedCache::unlock(int data) {
    locks_[static_cast<size_t>(data) % locks_.size()].unlock();
}

} // namespace qv::transfer
