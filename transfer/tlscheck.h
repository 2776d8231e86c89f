#pragma once

#include "transfer/ftpaddress.h"
#include "transfer/peeridentity.h"

#include <QByteArray>
#include <optional>

typedef void CURL;

// The TLS side of an FTPS connection: what libcurl is told to demand, and what the certificate
// check saw. The server's certificate is checked against the trust store (host name included),
// or, once the operator trusted it, against its pinned public key. A certificate that fails is
// described so the operator can be asked; the handshake fails, so nothing else was sent.
namespace qv::transfer {

class TlsCheck {
public:
    // TLS required on control and data connections, verified against the CAs or the pin of the
    // host. The check must outlive the handle's next transfer.
    void configure(CURL* handle, const FtpAddress& address, const TrustSettings& trust);

    // After a failed transfer with libcurl's result: the certificate when the failure was that
    // it is not trusted or not the pinned one.
    std::optional<PeerIdentity> untrusted(int curlResult) const;

    // Called by the handshake for each certificate of the chain.
    void inspect(void* storeContext, bool verified);

private:
    void describeLeaf(void* certificate);

    QString host_;
    QByteArray caFile_;
    QByteArray pin_; // empty: verified against the CAs
    QString pinFile_;
    QString hostPort_;
    bool sawLeaf_ = false;
    QString nameMismatch_;
    PeerIdentity seen_;
};

} // namespace qv::transfer
