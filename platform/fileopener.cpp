#include "platform/fileopener.h"

#include <QDesktopServices>
#include <QUrl>

namespace qv {
namespace {
FileOpener& injected() {
    static FileOpener opener;
    return opener;
}
} // namespace

bool openWithDesktop(const QString& path) {
    if (injected())
        return injected()(path);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void setFileOpener(FileOpener opener) {
    injected() = std::move(opener);
}

} // namespace qv
