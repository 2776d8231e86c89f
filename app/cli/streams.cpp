#include "app/cli/commands.h"

#include <QTextStream>
#include <cstdio>

namespace qv::cli {

QTextStream& out() {
    static QTextStream stream(stdout);
    return stream;
}

QTextStream& err() {
    static QTextStream stream(stderr);
    return stream;
}

int fail(int status, const QString& message) {
    err() << message << Qt::endl;
    return status;
}

} // namespace qv::cli
