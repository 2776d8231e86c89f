#include "app/form2.h"
#include "app/splash.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    QApplication::setApplicationVersion(programVersion());

    // The program starts with its splash window, which opens the main window when it goes.
    frmSplash::setMainWindowOpener([] {
        auto* main = new Form2;
        main->setAttribute(Qt::WA_DeleteOnClose);
        main->show();
    });
    OpenMainAfterSplash = true;
    frmSplash::showSplash();
    return app.exec();
}
