#include "transfer/tlscheck.h"

#include "transfer/trustfiles.h"

#include <curl/curl.h>
#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <QCryptographicHash>
#include <QDateTime>

namespace qv::transfer {
namespace {

int checkIndex() {
    static const int index = SSL_CTX_get_ex_new_index(0, nullptr, nullptr, nullptr, nullptr);
    return index;
}

int verifyCallback(int preverified, X509_STORE_CTX* store) {
    auto* ssl =
        static_cast<SSL*>(X509_STORE_CTX_get_ex_data(store, SSL_get_ex_data_X509_STORE_CTX_idx()));
    auto* check =
        ssl ? static_cast<TlsCheck*>(SSL_CTX_get_ex_data(SSL_get_SSL_CTX(ssl), checkIndex()))
            : nullptr;
    if (check)
        check->inspect(store, preverified == 1);
    return preverified;
}

// A pinned certificate is not verified against the CAs, only seen: libcurl compares its key.
int seeOnlyCallback(int preverified, X509_STORE_CTX* store) {
    verifyCallback(preverified, store);
    return 1;
}

CURLcode prepareContext(CURL*, void* context, void* check) {
    auto* ctx = static_cast<SSL_CTX*>(context);
    SSL_CTX_set_ex_data(ctx, checkIndex(), check);
    const bool verifying = SSL_CTX_get_verify_mode(ctx) & SSL_VERIFY_PEER;
    SSL_CTX_set_verify(ctx, SSL_VERIFY_PEER, verifying ? verifyCallback : seeOnlyCallback);
    return CURLE_OK;
}

QString subjectOf(X509* certificate) {
    BIO* bio = BIO_new(BIO_s_mem());
    X509_NAME_print_ex(bio, X509_get_subject_name(certificate), 0, XN_FLAG_RFC2253);
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    const QString text = QString::fromUtf8(data, static_cast<qsizetype>(size));
    BIO_free(bio);
    return text;
}

QString timeText(const ASN1_TIME* time) {
    tm parts{};
    if (!time || ASN1_TIME_to_tm(time, &parts) != 1)
        return QStringLiteral("unknown");
    const QDateTime when(QDate(parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday),
                         QTime(parts.tm_hour, parts.tm_min, parts.tm_sec), Qt::UTC);
    return when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) + QStringLiteral(" UTC");
}

QString fingerprintOf(X509* certificate) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    X509_digest(certificate, EVP_sha256(), digest, &size);
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(digest), static_cast<qsizetype>(size))
            .toHex(':')
            .toUpper());
}

// What libcurl's CURLOPT_PINNEDPUBLICKEY takes: the SHA-256 of the DER public key, base64.
QByteArray pinOf(X509* certificate) {
    unsigned char* der = nullptr;
    const int size = i2d_X509_PUBKEY(X509_get_X509_PUBKEY(certificate), &der);
    if (size <= 0)
        return {};
    const QByteArray key(reinterpret_cast<const char*>(der), size);
    OPENSSL_free(der);
    return "sha256//" + QCryptographicHash::hash(key, QCryptographicHash::Sha256).toBase64();
}

bool issuedFor(X509* certificate, const QString& host) {
    const QByteArray name = host.toUtf8();
    if (X509_check_ip_asc(certificate, name.constData(), 0) == 1)
        return true;
    return X509_check_host(certificate, name.constData(), static_cast<size_t>(name.size()), 0,
                           nullptr) == 1;
}

} // namespace

void TlsCheck::configure(CURL* handle, const FtpAddress& address, const TrustSettings& trust) {
    host_ = address.host;
    if (host_.startsWith(QLatin1Char('[')))
        host_ = host_.mid(1, host_.size() - 2);
    hostPort_ = address.hostPort();
    pinFile_ = trust.pinnedCertificatesFile;
    pin_ = pinnedCertificate(pinFile_, hostPort_);
    caFile_ = trust.certificateAuthorities.toLocal8Bit();
    sawLeaf_ = false;
    nameMismatch_.clear();
    seen_ = PeerIdentity();

    curl_easy_setopt(handle, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
    curl_easy_setopt(handle, CURLOPT_FTPSSLAUTH, static_cast<long>(CURLFTPAUTH_TLS));
    if (!caFile_.isEmpty())
        curl_easy_setopt(handle, CURLOPT_CAINFO, caFile_.constData());
    const bool pinned = !pin_.isEmpty();
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, pinned ? 0L : 1L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, pinned ? 0L : 2L);
    if (pinned)
        curl_easy_setopt(handle, CURLOPT_PINNEDPUBLICKEY, pin_.constData());
    curl_easy_setopt(handle, CURLOPT_SSL_CTX_FUNCTION, prepareContext);
    curl_easy_setopt(handle, CURLOPT_SSL_CTX_DATA, this);
}

void TlsCheck::inspect(void* storeContext, bool verified) {
    auto* store = static_cast<X509_STORE_CTX*>(storeContext);
    if (!verified && seen_.reason.isEmpty())
        seen_.reason =
            QString::fromUtf8(X509_verify_cert_error_string(X509_STORE_CTX_get_error(store)));
    if (!sawLeaf_)
        describeLeaf(X509_STORE_CTX_get0_cert(store));
}

void TlsCheck::describeLeaf(void* certificate) {
    auto* leaf = static_cast<X509*>(certificate);
    if (!leaf)
        return;
    sawLeaf_ = true;
    seen_.subject = subjectOf(leaf);
    seen_.validFrom = timeText(X509_get0_notBefore(leaf));
    seen_.validUntil = timeText(X509_get0_notAfter(leaf));
    seen_.fingerprint = fingerprintOf(leaf);
    seen_.trustEntry = pinOf(leaf);
    if (!issuedFor(leaf, host_))
        nameMismatch_ = QStringLiteral("it was not issued for %1").arg(host_);
}

std::optional<PeerIdentity> TlsCheck::untrusted(int curlResult) const {
    if (!sawLeaf_)
        return std::nullopt;
    const bool pinned = !pin_.isEmpty();
    if (pinned ? curlResult != CURLE_SSL_PINNEDPUBKEYNOTMATCH
               : curlResult != CURLE_PEER_FAILED_VERIFICATION)
        return std::nullopt;
    PeerIdentity identity = seen_;
    identity.kind = PeerIdentity::Kind::Certificate;
    identity.hostPort = hostPort_;
    identity.trustFile = pinFile_;
    identity.trustName = hostPort_;
    identity.changed = pinned;
    QStringList reasons;
    if (!identity.reason.isEmpty())
        reasons << identity.reason;
    if (!nameMismatch_.isEmpty())
        reasons << nameMismatch_;
    if (pinned)
        reasons = QStringList{QStringLiteral("it is not the certificate that was trusted")};
    identity.reason = reasons.isEmpty() ? QStringLiteral("it could not be verified")
                                        : reasons.join(QStringLiteral("; "));
    return identity;
}

} // namespace qv::transfer
