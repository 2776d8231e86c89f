#pragma once

#include <QString>

namespace qv {

// The settings file "auto.ini" in the program folder, shared by the window and the command line.
QString settingsPath();

} // namespace qv
