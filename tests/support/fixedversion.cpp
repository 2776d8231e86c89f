#include "tests/support/fixedversion.h"

namespace qv::test {

VersionQuery fixedVersion(int platformId, int major, int minor, const QString& productName) {
    return [=] { return OsVersion{platformId, major, minor, productName}; };
}

ScopedServices useVersion(int platformId, int major, int minor, const QString& productName) {
    return ScopedServices(
        [&](Services& s) { s.versionQuery = fixedVersion(platformId, major, minor, productName); });
}

} // namespace qv::test
