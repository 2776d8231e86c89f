#include "controls/tamsel/gallery/tamselgallery.h"
#include "platform/services.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <cstdio>

// tamsel-gallery [--screenshot file.png]: shows the gallery, or saves a picture of it and ends.
int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    qv::installServices(qv::Services{}); // the system's own colours and version
    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption shot(QStringLiteral("screenshot"),
                            QStringLiteral("Save a picture of the gallery and quit."),
                            QStringLiteral("file.png"));
    parser.addOption(shot);
    parser.process(app);

    QWidget* gallery = qv::tamsel::createGallery();
    gallery->show();
    if (!parser.isSet(shot))
        return app.exec();

    const QString path = parser.value(shot);
    int rc = 0;
    QTimer::singleShot(0, [&] {
        if (!gallery->grab().save(path)) {
            std::fprintf(stderr, "Could not save %s\n", qPrintable(path));
            rc = 1;
        }
        app.quit();
    });
    app.exec();
    delete gallery;
    return rc;
}
