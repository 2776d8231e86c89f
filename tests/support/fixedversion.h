#pragma once

#include "platform/services.h"
#include "platform/versionquery.h"

#include <QString>

// The system's version as a test wants it.
namespace qv::test {

// A version query that always answers the given version.
VersionQuery fixedVersion(int platformId, int major, int minor, const QString& productName = {});

// Installs fixedVersion(...) as the version query for the life of the result.
[[nodiscard]] ScopedServices useVersion(int platformId, int major, int minor,
                                        const QString& productName = {});

} // namespace qv::test
