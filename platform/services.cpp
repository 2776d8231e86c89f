#include "platform/services.h"

#include <QtGlobal>

namespace qv {
namespace {

Services& installed() {
    static Services current;
    return current;
}

// The guard whose services are installed now, nullptr when none is.
const ScopedServices*& innermostGuard() {
    static const ScopedServices* guard = nullptr;
    return guard;
}

} // namespace

const Services& services() {
    return installed();
}

void installServices(Services replacement) {
    installed() = std::move(replacement);
}

ScopedServices::ScopedServices(Services replacement)
    : previous_(installed()), outer_(innermostGuard()) {
    installed() = std::move(replacement);
    innermostGuard() = this;
}

ScopedServices::ScopedServices(const std::function<void(Services&)>& change)
    : ScopedServices([&change] {
          Services changed = installed();
          change(changed);
          return changed;
      }()) {}

ScopedServices::~ScopedServices() {
    if (innermostGuard() != this)
        qFatal("ScopedServices: a guard ended while a later one was still installed");
    installed() = std::move(previous_);
    innermostGuard() = outer_;
}

} // namespace qv
