#pragma once

#include <QByteArray>
#include <QString>

// Who an encrypted server proved to be when the program does not trust it (yet, or any more):
// its TLS certificate or its SSH host key, with what the operator needs to decide, and what is
// recorded when the operator trusts it.
namespace qv::transfer {

// Where trust comes from and where it is recorded.
struct TrustSettings {
    QString certificateAuthorities; // PEM file of CAs; empty: the system's trust store
    QString pinnedCertificatesFile; // certificates the operator trusted, one host a line
    QString knownHostsFile;         // OpenSSH known_hosts
};

struct PeerIdentity {
    enum class Kind { Certificate, HostKey };
    Kind kind = Kind::Certificate;
    QString hostPort;     // "host:port" as the address names it
    bool changed = false; // not what was trusted for this host before: refused, never asked
    QString reason;       // why it is not trusted
    QString subject;      // certificate
    QString validFrom;    // certificate, "yyyy-MM-dd hh:mm:ss UTC"
    QString validUntil;   // certificate
    QString fingerprint;  // certificate: SHA-256 "AB:CD:..."; host key: "SHA256:..." as OpenSSH
    QString keyType;      // host key: "ED25519", "ECDSA", "RSA", ...
    // What trusting it records: certificate, "sha256//<base64 of its public key's SHA-256>";
    // host key, "<key type name> <base64 key>" as in known_hosts.
    QByteArray trustEntry;
    QString trustFile;    // the file Yes writes to
    QString trustName;    // the host as that file names it: "host:port", or "[host]:port" for SSH
    bool revoked = false; // host key marked "@revoked" in known_hosts: refused, never asked
};

// The Yes/No question put to the operator about an identity that is not changed.
QString trustQuestion(const PeerIdentity& identity);

// The warning for an identity that differs from the trusted one, or whose key was revoked.
QString changedIdentityWarning(const PeerIdentity& identity);

// What the operator is told after answering No.
QString declinedIdentityText(const PeerIdentity& identity);

} // namespace qv::transfer
