#include "app/startup.h"

#include "app/form2.h"
#include "app/splash.h"
#include "platform/programfolder.h"
#include "platform/services.h"
#include "ui/dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace {

// Said once, when the per-user folder has no settings yet.
void tellAboutFallbackFolder() {
    if (!qv::programFolderIsFallback() ||
        QFile::exists(qv::programPath(QStringLiteral("auto.ini"))))
        return;
    qv::dialogs().message(
        nullptr,
        QStringLiteral("Quorvane cannot write to its own folder (%1).\r\n"
                       "It keeps its settings, merge files and templates in %2 instead.")
            .arg(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()),
                 QDir::toNativeSeparators(qv::programFolder())),
        QStringLiteral("Quorvane"));
}

} // namespace

void startQuorvane() {
    tellAboutFallbackFolder();
    qv::Services withMainWindow = qv::services();
    withMainWindow.openMainWindow = [] {
        auto* main = new Form2;
        main->setAttribute(Qt::WA_DeleteOnClose);
        main->show();
    };
    qv::installServices(std::move(withMainWindow));
    OpenMainAfterSplash = true;
    SplashWindow::showSplash();
}
