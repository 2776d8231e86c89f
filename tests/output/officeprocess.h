#pragma once

#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// One headless LibreOffice for a test executable: a private profile in a temporary folder, a
// UNO socket on 127.0.0.1 at a free port, ended (with everything it started) by the destructor.
// The checks run unocheck.py under Debian's Python, which carries LibreOffice's UNO bridge.
namespace qv::test {

class OfficeProcess {
public:
    OfficeProcess();
    ~OfficeProcess();
    OfficeProcess(const OfficeProcess&) = delete;
    OfficeProcess& operator=(const OfficeProcess&) = delete;

    // True when LibreOffice or its Python bridge is not installed; errorString() says which.
    bool missing() const { return missing_; }
    bool isRunning() const { return port_ != 0 && process_.state() == QProcess::Running; }
    QString errorString() const { return error_; }
    qint64 startMilliseconds() const { return startMs_; }

    // Runs "unocheck.py <port> <args...>" and returns the JSON object it prints; on failure an
    // empty object, with the script's messages in *error.
    QJsonObject check(const QStringList& args, QString* error) const;

private:
    bool start(const QString& program);
    void stop();

    QTemporaryDir profile_;
    QProcess process_;
    quint16 port_ = 0;
    bool missing_ = false;
    QString error_;
    qint64 startMs_ = 0;
};

} // namespace qv::test
