#pragma once

#include "tests/support/serverfiles.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A real vsftpd for tests on 127.0.0.1, on a free port, serving a temporary root that holds
// "u/vantrelle/accounts/" to a local user made for the tests ("qvtest", a system account with a
// password, created when missing; needs root). With TLS it demands TLS for the login and the
// data, and that data connections reuse the control connection's TLS session, as servers do by
// default. Started by the constructor (check isRunning()), stopped by the destructor.
namespace qv::test {

class VsftpdServer : public ServerFiles {
public:
    enum class Tls { None, Explicit, Implicit };
    struct Options {
        Tls tls = Tls::Explicit;
        QString certificate; // PEM files; required with TLS
        QString key;
        qint64 maxBytesPerSecond = 0; // a download's speed limit; 0: none
        int maxPerAddress = 0;        // connections at once from one address (421 beyond); 0: any
    };

    explicit VsftpdServer(const Options& options);
    ~VsftpdServer() override;

    bool isRunning() const;
    QString errorString() const { return error_; }
    quint16 port() const { return port_; }
    // "ftpes://127.0.0.1:<port>", "ftps://..." or "127.0.0.1:<port>", as the address field takes
    // it.
    QString address() const;
    QString user() const { return QStringLiteral("qvtest"); }
    QString password() const { return QStringLiteral("Merge-2024 tls"); }

    // The FTP commands the server received, as its log shows them ("USER qvtest", "PASS <hidden>",
    // "RETR ...").
    QStringList commands() const;
    // How many connections the server accepted, refused ones included.
    int connections() const;
    // How many processes still serve connections: 0 once every session has ended and the
    // server has counted it out (a limit per address counts the processes it has not reaped).
    int sessionProcesses() const;
    // Cuts every open connection, as a server that goes away does; new ones are accepted.
    void dropConnections();

private:
    bool prepareUser();
    void writeConfig(const Options& options) const;

    Tls tls_;
    QTemporaryDir work_;
    QProcess process_;
    quint16 port_ = 0;
    QString error_;
};

} // namespace qv::test
