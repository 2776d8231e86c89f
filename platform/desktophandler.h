#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Which program the desktop opens a file type with, as the freedesktop.org associations say:
// the mimeapps.list files (user's first, then the system's), then the mimeinfo.cache of the
// installed applications.
namespace qv {

struct DesktopHandler {
    QString desktopId;   // e.g. "libreoffice-writer.desktop"; empty when none is set up
    QString name;        // the entry's Name
    QStringList command; // its Exec line in words, without field codes such as %U
};

using DesktopHandlerQuery = std::function<DesktopHandler(const QString& mimeType)>;

// The installed services' answer, or the desktop's associations.
DesktopHandler desktopHandler(const QString& mimeType);

} // namespace qv
