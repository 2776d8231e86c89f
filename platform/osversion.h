#pragma once

#include "platform/versionquery.h"

#include <QString>

// The name of the running operating system, shown in the settings panel.
QString OSVersionName();

namespace qv {
// The name for a reported version: the Windows family names by major and minor version and
// platform; for any other system (or a Windows the table does not know) the system's own
// product name, and "Unknown" only when there is none.
QString osVersionName(const OsVersion& version);
} // namespace qv
