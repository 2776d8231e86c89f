#include "platform/fileopener.h"

#include "platform/services.h"

#include <QDesktopServices>
#include <QUrl>

namespace qv {
bool openWithDesktop(const QString& path) {
    if (const FileOpener& opener = services().fileOpener)
        return opener(path);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace qv
