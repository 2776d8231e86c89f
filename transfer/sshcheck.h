#pragma once

#include "transfer/ftpaddress.h"
#include "transfer/peeridentity.h"

#include <QByteArray>
#include <optional>

typedef void CURL;

// The SSH side of an SFTP connection: password logins only, and the server's host key checked
// against known_hosts during the key exchange, before any login is sent. A key that is not
// known, or that differs from the known one, ends the connection and is described so the
// operator can be told or asked.
namespace qv::transfer {

class SshCheck {
public:
    // The check must outlive the handle's next transfer.
    void configure(CURL* handle, const FtpAddress& address, const TrustSettings& trust);

    // After a failed transfer: the host key when it was refused.
    std::optional<PeerIdentity> untrusted() const;

    // The verdict on the key the server showed (libcurl's CURLKHMATCH_* in, CURLKHSTAT_* out).
    int judge(const QByteArray& key, int match);

private:
    QByteArray knownHostsFile_;
    QString hostPort_;
    QString trustName_;
    std::optional<PeerIdentity> refused_;
};

// OpenSSH's name of a key type ("ssh-ed25519" -> "ED25519") and its fingerprint of a key blob
// ("SHA256:" and the unpadded base64 of the blob's SHA-256).
QString sshKeyTypeLabel(const QByteArray& typeName);
QString sshFingerprint(const QByteArray& blob);
// The key type name a key blob starts with ("ssh-ed25519"); empty when the blob is malformed.
QByteArray sshKeyTypeName(const QByteArray& blob);

} // namespace qv::transfer
