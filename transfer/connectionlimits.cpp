#include "transfer/connectionlimits.h"

#include "transfer/ftpsession.h"

#include <QHash>
#include <algorithm>
#include <mutex>

namespace qv::transfer {
namespace {

std::mutex& limitsMutex() {
    static std::mutex mutex;
    return mutex;
}

QHash<QString, int>& limits() {
    static QHash<QString, int> known;
    return known;
}

} // namespace

QString connectionLimitKey(const FtpLogin& login) {
    return login.address.urlBase() + QChar(0) + login.user;
}

int rememberedConnectionLimit(const QString& key) {
    std::lock_guard lock(limitsMutex());
    return limits().value(key, 0);
}

void rememberConnectionLimit(const QString& key, int connections) {
    connections = std::max(1, connections);
    std::lock_guard lock(limitsMutex());
    const int known = limits().value(key, 0);
    limits().insert(key, known > 0 ? std::min(known, connections) : connections);
}

} // namespace qv::transfer
