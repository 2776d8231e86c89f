#pragma once

#include "transfer/ftpaddress.h"
#include "transfer/ftpcommand.h"
#include "transfer/peeridentity.h"
#include "transfer/remotename.h"
#include "transfer/sshcheck.h"
#include "transfer/tlscheck.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <atomic>
#include <functional>
#include <mutex>
#include <optional>

typedef void CURL;
typedef void CURLM;
typedef void CURLSH;

// One client session on libcurl, FTP (plain, explicit or implicit TLS) or SFTP as the address
// says: runs one command at a time, blocking, and keeps the connection open between commands for
// as long as the server and the login stay the same. Used by the transfer control on its worker
// thread; not thread-safe by itself.
namespace qv::transfer {

struct FtpLogin {
    FtpAddress address;
    QString user;
    QString password;

    bool operator==(const FtpLogin& other) const {
        return address.host == other.address.host && address.port == other.address.port &&
               address.scheme == other.address.scheme && user == other.user &&
               password == other.password;
    }
};

struct FtpTimeouts {
    int connectMs = 15000; // name lookup, connect and login
    int stallMs = 30000;   // silence from the server once logged in

    // The timeouts a new transfer control starts with. A test seam: the environment variable
    // QV_TEST_STALL_TIMEOUT_MS (milliseconds, 1 or more) shortens the stall timeout, so that the
    // tests of the real executable need not wait half a minute for a silent server.
    static FtpTimeouts initial();
};

struct FtpOutcome {
    bool ok = false;
    int code = 0;            // the server's reply code of a refusal, else a transport error number
    QString info;            // what went wrong, for the operator
    QList<ListedName> names; // name listing: the names kept (ListingReader)
    // Name listing: names that match the pattern but cannot be stored (the first few), and how
    // many there were.
    QList<UnstorableName> unstorable;
    int unstorableCount = 0;
    // Set when the server's certificate or host key was not trusted: the connection ended in
    // the handshake, before the login.
    std::optional<PeerIdentity> untrusted;
    // How a failure came about: the connection was not logged in (refused, reset or closed
    // while connecting or logging in, or no answer), or a logged-in connection broke off in the
    // middle of the command (not a refusal of the command, a stall or a cancel), or the server
    // went silent once logged in (stalled), or a download ended well but short of the size the
    // server announced for it (incomplete).
    bool beforeLogin = false;
    bool connectionLost = false;
    bool stalled = false;
    bool incomplete = false;

    // Worth one more try, on another connection where there is one.
    bool retriable() const { return !ok && (connectionLost || stalled || incomplete); }
};

class FtpSession {
public:
    // Progress of a command as the transfer control's state codes (1 to 10).
    using StateSink = std::function<void(int state)>;

    FtpSession();
    ~FtpSession();
    FtpSession(const FtpSession&) = delete;
    FtpSession& operator=(const FtpSession&) = delete;

    void setTimeouts(const FtpTimeouts& timeouts) { timeouts_ = timeouts; }
    void setTrust(const TrustSettings& trust) { trust_ = trust; }
    // What the session shares with others (a SharedCache's handle); null for nothing. The shared
    // data must outlive the session.
    void setShare(CURLSH* share) { share_ = share; }
    // Set from another thread to abandon the running command; wake() makes it notice at once.
    void setCancelFlag(const std::atomic<bool>* cancel) { cancel_ = cancel; }
    void wake();

    // Remote paths are the bytes as the server knows them; a leading "/" makes them absolute.
    // A listing keeps the names that match the pattern and can be local file names.
    FtpOutcome list(const FtpLogin& login, const QByteArray& remoteFolder, const QString& pattern,
                    const StateSink& sink);
    FtpOutcome retrieve(const FtpLogin& login, const QByteArray& remotePath,
                        const QString& localPath, const StateSink& sink);
    FtpOutcome remove(const FtpLogin& login, const QByteArray& remotePath, const StateSink& sink);

    // Closes the control connection (QUIT), reporting 9 and 10 when there was one.
    void disconnect(const StateSink& sink);
    bool connected() const { return connected_; }

    struct Run; // what one command's callbacks share

private:
    using Kind = FtpCommand::Kind;
    struct Request; // one command's settings as libcurl holds them
    FtpOutcome perform(Kind kind, const FtpLogin& login, const QByteArray& remotePath,
                       const QString& localPathOrPattern, const StateSink& sink);
    void ensureHandles();
    QString urlFor(const FtpLogin& login, const QByteArray& remotePath) const;
    void configure(Request& request, Run& run, char* errorText);
    void configureSecurity(const FtpLogin& login);
    int drive(Run& run, bool* stalled, bool* cancelled);
    qint64 expectedSize(const Run& run) const;
    static QString doing(const Request& request, const Run& run);
    FtpOutcome describeFailure(const Request& request, const Run& run, int result, long reply,
                               const char* errorText) const;

    CURL* easy_ = nullptr;
    CURLM* multi_ = nullptr;
    CURLSH* share_ = nullptr;
    std::mutex multiMutex_; // wake() may come from another thread while multi_ is replaced
    FtpTimeouts timeouts_;
    TrustSettings trust_;
    TlsCheck tls_;
    SshCheck ssh_;
    QList<int> sockets_; // the sockets libcurl has open
    const std::atomic<bool>* cancel_ = nullptr;
    bool connected_ = false;
    FtpLogin connectedLogin_;
};

} // namespace qv::transfer
