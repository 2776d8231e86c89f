#pragma once

#include <QString>
#include <QTemporaryDir>

// Certificates made fresh for a test (tests/support/makecerts.py): a test CA, a certificate it
// issued for 127.0.0.1, one it issued for another name, an expired one, and two self-signed
// ones with different keys. Each as <name>.pem with its key in <name>.key.
namespace qv::test {

class TestCertificates {
public:
    TestCertificates();
    bool isValid() const { return error_.isEmpty(); }
    QString errorString() const { return error_; }

    QString certificate(const QString& name) const; // <folder>/<name>.pem
    QString key(const QString& name) const;         // <folder>/<name>.key
    QString authority() const { return certificate(QStringLiteral("ca")); }

private:
    QTemporaryDir folder_;
    QString error_;
};

} // namespace qv::test
