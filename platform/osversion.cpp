#include "platform/osversion.h"

namespace qv {

QString osVersionName(const OsVersion& v) {
    const bool windows = v.platformId == kPlatformNT || v.platformId == kPlatformWindows ||
                         v.platformId == kPlatformWin32s;
    if (windows) {
        const bool nt = v.platformId == kPlatformNT;
        switch (v.major) {
        case 3:
            return nt ? QStringLiteral("Windows NT 3.x") : QStringLiteral("Windows 3.x");
        case 4:
            if (nt)
                return QStringLiteral("Windows NT 4.0");
            return v.minor == 0 ? QStringLiteral("Windows 95") : QStringLiteral("Windows 98");
        case 5:
            if (v.minor == 0)
                return QStringLiteral("Windows 2000");
            if (v.minor == 1)
                return QStringLiteral("Windows XP");
            return QString();
        default:
            break;
        }
    }
    const QString product = v.productName.trimmed();
    return product.isEmpty() ? QStringLiteral("Unknown") : product;
}

} // namespace qv

QString OSVersionName() {
    return qv::osVersionName(qv::queryOsVersion());
}
