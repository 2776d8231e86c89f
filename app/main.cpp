#include "app/form2.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    QApplication::setApplicationVersion(programVersion());

    auto* main = new Form2;
    main->setAttribute(Qt::WA_DeleteOnClose);
    main->show();
    return app.exec();
}
