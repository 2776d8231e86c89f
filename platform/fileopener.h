#pragma once

#include <QString>
#include <functional>

// "Open with the desktop": every file the program hands to the desktop goes through here,
// so tests can see what would be opened without starting a viewer.
namespace qv {

using FileOpener = std::function<bool(const QString& path)>;

bool openWithDesktop(const QString& path); // true when the desktop accepted the file
void setFileOpener(FileOpener opener);     // empty restores the desktop's handler

} // namespace qv
