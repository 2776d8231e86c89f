#include "platform/versionquery.h"

#include "platform/services.h"

#include <QOperatingSystemVersion>
#include <QSysInfo>

namespace qv {
namespace {
OsVersion realVersion() {
    OsVersion v;
    const auto current = QOperatingSystemVersion::current();
    v.platformId =
        current.type() == QOperatingSystemVersion::Windows ? kPlatformNT : kPlatformOther;
    const QStringList kernel = QSysInfo::kernelVersion().split(QLatin1Char('.'));
    v.major = current.majorVersion() >= 0 ? current.majorVersion() : kernel.value(0).toInt();
    v.minor = current.minorVersion() >= 0 ? current.minorVersion() : kernel.value(1).toInt();
    v.productName = QSysInfo::prettyProductName();
    return v;
}
} // namespace

OsVersion queryOsVersion() {
    const VersionQuery& query = services().versionQuery;
    return query ? query() : realVersion();
}

} // namespace qv
