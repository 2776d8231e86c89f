#include "app/cli/commandline.h"
#include "app/form2.h"
#include "app/startup.h"
#include "platform/services.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // A command, --help or --version runs without a window or a display.
    if (isCommandLine(argc, argv))
        return runCommandLine(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    QApplication::setApplicationVersion(programVersion());
    // The real folders, system, desktop, dialogs, Office and delays.
    qv::installServices(qv::Services{});
    startQuorvane();
    return app.exec();
}
