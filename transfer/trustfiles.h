#pragma once

#include "transfer/peeridentity.h"

#include <QByteArray>
#include <QString>

// The two files that record what the operator trusted.
//
// Pinned certificates: a text file in the program folder, one host a line,
// "<host>:<port> sha256//<base64 of the SHA-256 of the certificate's public key>". Readable by
// its owner only, and rewritten whole in one step, so a failure leaves the old file.
//
// known_hosts: OpenSSH's file, "<host> <key type> <base64 key>", the host written "[host]:port"
// for a port other than 22. Lines are only appended; the folder is made owner-only when missing.
namespace qv::transfer {

// The pin of hostPort, "sha256//..."; empty when the file holds none.
QByteArray pinnedCertificate(const QString& file, const QString& hostPort);

// Records pin for hostPort, replacing an earlier pin of that host. False with why on failure.
bool pinCertificate(const QString& file, const QString& hostPort, const QByteArray& pin,
                    QString* why);

// The name of a host in known_hosts: "host" on port 22, "[host]:port" otherwise; an IPv6
// address without the brackets it has in URLs.
QString knownHostsName(const QString& host, int port);

// Appends "<name> <entry>" to the file. False with why on failure.
bool addKnownHost(const QString& file, const QString& name, const QByteArray& entry, QString* why);

// Records an identity the operator trusted in its file. False with why on failure; an identity
// that is changed or revoked is never recorded.
bool recordTrust(const PeerIdentity& identity, QString* why);

// ~/.ssh/known_hosts of the user who runs the program.
QString defaultKnownHostsFile();

} // namespace qv::transfer
