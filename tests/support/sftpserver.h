#pragma once

#include "tests/support/scriptserver.h"

#include <QByteArray>
#include <QString>

// A real SFTP server for tests: asyncssh on 127.0.0.1, on a free port, with a fresh ED25519 host
// key, password logins for one user, serving a temporary root that holds "u/vantrelle/accounts/"
// as "/". Started by the constructor (check isRunning()), stopped by the destructor.
// events(): "CONNECT", "PASSWORD <user> ok|wrong", "LOGIN <user>", "READDIR /u/...",
// "OPEN /u/...", "REMOVE /u/...", "DISCONNECT".
namespace qv::test {

class SftpServer : public ScriptServer {
public:
    SftpServer();

    QString address() const; // "sftp://127.0.0.1:<port>"
    QString user() const { return QStringLiteral("root"); }
    QString password() const { return QStringLiteral("Merge-2024 pw"); }

    // The host key as OpenSSH writes it ("ssh-ed25519 AAAA..."), its known_hosts line, and its
    // fingerprint as OpenSSH shows it ("SHA256:...").
    QByteArray publicKey() const;
    QByteArray knownHostsLine() const;
    QString fingerprint() const;

    // Faults.
    void dropDownload(const QString& name, qint64 afterBytes); // then the connection is cut
    void stallDownload(const QString& name);                   // no data, no answer
    void refuseDownload(const QString& name);
    void shortDownload(const QString& name, qint64 bytes); // then the file seems to end
    void refuseDelete(const QString& name = QStringLiteral("*"));
    void setMaxSessions(int sessions); // at once; a further connection is closed ("REFUSED")
    void clearFaults();
};

} // namespace qv::test
