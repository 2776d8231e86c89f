#pragma once

#include <QString>
#include <functional>

// "Open with the desktop": every file the program hands to the desktop goes through here,
// so tests can see what would be opened without starting a viewer.
namespace qv {

using FileOpener = std::function<bool(const QString& path)>;

// The installed services' opener, or the desktop's handler; true when the file was accepted.
bool openWithDesktop(const QString& path);

} // namespace qv
