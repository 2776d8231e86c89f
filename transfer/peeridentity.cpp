#include "transfer/peeridentity.h"

namespace qv::transfer {

QString trustQuestion(const PeerIdentity& identity) {
    if (identity.kind == PeerIdentity::Kind::HostKey) {
        return QStringLiteral("The SSH host key of %1 is not known (%2).\n\n"
                              "%3 key fingerprint is %4.\n\n"
                              "Only answer Yes if this is the key the server's administrator "
                              "gave you. Trust this key for %1 and add it to %5?")
            .arg(identity.hostPort, identity.reason, identity.keyType, identity.fingerprint,
                 identity.trustFile);
    }
    return QStringLiteral("The certificate of %1 is not trusted: %2.\n\n"
                          "Subject: %3\nValid from: %4\nValid until: %5\n"
                          "SHA-256 fingerprint: %6\n\n"
                          "Only answer Yes if this is the certificate the server's administrator "
                          "gave you. Trust this certificate for %1? Its public key is "
                          "remembered in %7, and a different certificate from %1 will be "
                          "refused.")
        .arg(identity.hostPort, identity.reason, identity.subject, identity.validFrom,
             identity.validUntil, identity.fingerprint, identity.trustFile);
}

QString changedIdentityWarning(const PeerIdentity& identity) {
    if (identity.revoked) {
        return QStringLiteral("WARNING: the SSH host key of %1 (%2 %3) is revoked: it is marked "
                              "@revoked in %4 and is never trusted. Someone may be listening "
                              "in, or the server still uses a key that was withdrawn. The "
                              "connection was refused and the password was not sent.")
            .arg(identity.hostPort, identity.keyType, identity.fingerprint, identity.trustFile);
    }
    if (identity.kind == PeerIdentity::Kind::HostKey) {
        return QStringLiteral("WARNING: the SSH host key of %1 has changed (now %2 %3); it "
                              "differs from the key in %4. Someone may be listening in. The "
                              "connection was refused and the password was not sent. If the "
                              "server's key was really changed, remove the old key from %4.")
            .arg(identity.hostPort, identity.keyType, identity.fingerprint, identity.trustFile);
    }
    return QStringLiteral("WARNING: the certificate of %1 has changed (now SHA-256 %2, %3); it "
                          "differs from the one you trusted. Someone may be listening in. The "
                          "connection was refused and the password was not sent. If the "
                          "server's certificate was really changed, remove the line of %1 from "
                          "%4.")
        .arg(identity.hostPort, identity.fingerprint, identity.subject, identity.trustFile);
}

QString declinedIdentityText(const PeerIdentity& identity) {
    const QString what = identity.kind == PeerIdentity::Kind::HostKey
                             ? QStringLiteral("The SSH host key")
                             : QStringLiteral("The certificate");
    return QStringLiteral("%1 of %2 was not trusted (%3); the password was not sent")
        .arg(what, identity.hostPort, identity.reason);
}

} // namespace qv::transfer
