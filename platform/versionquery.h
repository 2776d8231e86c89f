#pragma once

#include <QString>
#include <functional>

// What the system tells of its own version: platform identifier, major and minor version.
// Windows reports platform 1 for the 95 family and 2 for NT; other systems report kPlatformOther.
namespace qv {

struct OsVersion {
    int platformId = 0;
    int major = 0;
    int minor = 0;
    QString productName; // the system's own name for itself, e.g. "Debian GNU/Linux 12 (bookworm)"
};

inline constexpr int kPlatformWin32s = 0;
inline constexpr int kPlatformWindows = 1;
inline constexpr int kPlatformNT = 2;
inline constexpr int kPlatformOther = 100;

using VersionQuery = std::function<OsVersion()>;

OsVersion queryOsVersion(); // the installed services' query, or the real one

} // namespace qv
