#include "tests/support/testcertificates.h"

#include <QFile>
#include <QProcess>

#ifndef QV_MAKECERTS_SCRIPT
#error "QV_MAKECERTS_SCRIPT must name tests/support/makecerts.py"
#endif

namespace qv::test {

TestCertificates::TestCertificates() {
    if (!folder_.isValid()) {
        error_ = QStringLiteral("cannot create a temporary folder");
        return;
    }
    // Servers that run as another user read their certificates from here.
    QFile::setPermissions(folder_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                              QFile::ReadOther | QFile::ExeOther);
    QProcess make;
    make.start(QStringLiteral("/usr/bin/python3"),
               {QStringLiteral(QV_MAKECERTS_SCRIPT), folder_.path()});
    if (!make.waitForFinished(60000) || make.exitCode() != 0)
        error_ = QStringLiteral("makecerts.py failed: ") +
                 QString::fromLocal8Bit(make.readAllStandardError());
}

QString TestCertificates::certificate(const QString& name) const {
    return folder_.filePath(name + QStringLiteral(".pem"));
}

QString TestCertificates::key(const QString& name) const {
    return folder_.filePath(name + QStringLiteral(".key"));
}

} // namespace qv::test
