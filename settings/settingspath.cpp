#include "settings/settingspath.h"

#include "platform/programfolder.h"

namespace qv {

QString settingsPath() {
    return programPath(QStringLiteral("auto.ini"));
}

} // namespace qv
