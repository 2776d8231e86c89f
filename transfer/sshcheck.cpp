#include "transfer/sshcheck.h"

#include "transfer/knownhosts.h"
#include "transfer/trustfiles.h"

#include <QCryptographicHash>
#include <curl/curl.h>

namespace qv::transfer {
namespace {

int keyCallback(CURL*, const curl_khkey*, const curl_khkey* found, curl_khmatch match,
                void* check) {
    if (!found || !found->key)
        return CURLKHSTAT_REJECT;
    // A length of 0 means the key is base64 text; otherwise it is the raw blob.
    const QByteArray key = found->len == 0
                               ? QByteArray::fromBase64(QByteArray(found->key))
                               : QByteArray(found->key, static_cast<qsizetype>(found->len));
    return static_cast<SshCheck*>(check)->judge(key, match);
}

} // namespace

QByteArray sshKeyTypeName(const QByteArray& blob) {
    if (blob.size() < 4)
        return {};
    const auto* bytes = reinterpret_cast<const unsigned char*>(blob.constData());
    const quint32 size = (quint32(bytes[0]) << 24) | (quint32(bytes[1]) << 16) |
                         (quint32(bytes[2]) << 8) | quint32(bytes[3]);
    if (size == 0 || size > 64 || size > quint32(blob.size() - 4))
        return {};
    return blob.mid(4, static_cast<qsizetype>(size));
}

QString sshKeyTypeLabel(const QByteArray& typeName) {
    if (typeName == "ssh-ed25519")
        return QStringLiteral("ED25519");
    if (typeName.startsWith("ecdsa-sha2-"))
        return QStringLiteral("ECDSA");
    if (typeName == "ssh-rsa")
        return QStringLiteral("RSA");
    if (typeName == "ssh-dss")
        return QStringLiteral("DSA");
    return QString::fromLatin1(typeName);
}

QString sshFingerprint(const QByteArray& blob) {
    return QStringLiteral("SHA256:") +
           QString::fromLatin1(QCryptographicHash::hash(blob, QCryptographicHash::Sha256)
                                   .toBase64(QByteArray::OmitTrailingEquals));
}

void SshCheck::configure(CURL* handle, const FtpAddress& address, const TrustSettings& trust) {
    knownHostsFile_ = trust.knownHostsFile.toLocal8Bit();
    hostPort_ = address.hostPort();
    trustName_ = knownHostsName(address.host, address.port);
    refused_.reset();
    curl_easy_setopt(handle, CURLOPT_SSH_AUTH_TYPES,
                     static_cast<long>(CURLSSH_AUTH_PASSWORD | CURLSSH_AUTH_KEYBOARD));
    curl_easy_setopt(handle, CURLOPT_SSH_KNOWNHOSTS, knownHostsFile_.constData());
    curl_easy_setopt(handle, CURLOPT_SSH_KEYFUNCTION, keyCallback);
    curl_easy_setopt(handle, CURLOPT_SSH_KEYDATA, this);
}

int SshCheck::judge(const QByteArray& key, int match) {
    // libssh2 knows no "@revoked" lines and stops at a line it cannot read: the file is read
    // again, past such lines, and a revoked key is refused even where libssh2 found it.
    const KnownHostMatch known =
        lookUpKnownHost(QString::fromLocal8Bit(knownHostsFile_), trustName_, key);
    const bool revoked = known == KnownHostMatch::Revoked;
    if (!revoked && match == CURLKHMATCH_OK)
        return CURLKHSTAT_FINE;
    if (known == KnownHostMatch::Matches && match != CURLKHMATCH_MISMATCH)
        return CURLKHSTAT_FINE;
    if (known == KnownHostMatch::Differs)
        match = CURLKHMATCH_MISMATCH;
    PeerIdentity identity;
    identity.kind = PeerIdentity::Kind::HostKey;
    identity.hostPort = hostPort_;
    identity.revoked = revoked;
    // Refused without a question, like a changed key.
    identity.changed = revoked || match == CURLKHMATCH_MISMATCH;
    const QByteArray typeName = sshKeyTypeName(key);
    identity.keyType = sshKeyTypeLabel(typeName);
    identity.fingerprint = sshFingerprint(key);
    identity.trustEntry = typeName + ' ' + key.toBase64();
    identity.trustFile = QString::fromLocal8Bit(knownHostsFile_);
    identity.trustName = trustName_;
    identity.reason =
        revoked            ? QStringLiteral("it is marked @revoked in %1").arg(identity.trustFile)
        : identity.changed ? QStringLiteral("it differs from the key in %1").arg(identity.trustFile)
                           : QStringLiteral("it is not in %1").arg(identity.trustFile);
    refused_ = identity;
    return CURLKHSTAT_REJECT;
}

std::optional<PeerIdentity> SshCheck::untrusted() const {
    return refused_;
}

} // namespace qv::transfer
