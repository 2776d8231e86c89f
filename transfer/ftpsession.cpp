#include "transfer/ftpsession.h"

#include "transfer/commandtext.h"
#include "transfer/downloadfile.h"
#include "transfer/listingreader.h"
#include "transfer/sharedcache.h"

#include <QRegularExpression>
#include <cctype>
#include <chrono>
#include <curl/curl.h>
#include <mutex>
#include <sys/socket.h>
#include <unistd.h>

namespace qv::transfer {
namespace {

using Clock = std::chrono::steady_clock;

int seconds(int ms) {
    return std::max(1, (ms + 999) / 1000);
}

QString secondsText(int ms) {
    const int s = seconds(ms);
    return s == 1 ? QStringLiteral("1 second") : QStringLiteral("%1 seconds").arg(s);
}

// The text of a server reply line without its code: "550 Permission denied." -> "Permission
// denied."
QString replyText(const QByteArray& line) {
    QByteArray text = line.trimmed();
    if (text.size() >= 4 && std::isdigit(static_cast<unsigned char>(text[0])) &&
        (text[3] == ' ' || text[3] == '-'))
        text = text.mid(4);
    return QString::fromUtf8(text).trimmed();
}

// The size a server announces for a download in its reply that opens the transfer: "150 Opening
// BINARY mode data connection for A.LET (1234 bytes)."; -1 when the reply names none.
qint64 announcedSize(const QByteArray& line) {
    if (!line.startsWith("150") && !line.startsWith("125"))
        return -1;
    static const QRegularExpression bytes(QStringLiteral("\\((\\d{1,18}) bytes\\)"));
    const QRegularExpressionMatch match = bytes.match(QString::fromLatin1(line));
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}

} // namespace

FtpTimeouts FtpTimeouts::initial() {
    FtpTimeouts timeouts;
    bool number = false;
    const int stallMs = qEnvironmentVariableIntValue("QV_TEST_STALL_TIMEOUT_MS", &number);
    if (number && stallMs > 0)
        timeouts.stallMs = stallMs;
    return timeouts;
}

// Everything one command's callbacks share.
struct FtpSession::Run {
    const StateSink* sink = nullptr;
    bool announcedLookup = false; // state 1 reported
    bool newConnection = false;   // a control connection was opened for this command
    bool requested = false;       // logged in; the command is on its way (states 5 and 6)
    bool receiving = false;       // state 7 reported
    Clock::time_point lastActivity = Clock::now();
    QByteArray lastReply;
    ListingReader* listing = nullptr;
    DownloadFile* file = nullptr;
    QString writeError;
    qint64 received = 0;           // bytes of a download so far
    qint64 announced = -1;         // the size the server announced for a download, if it did
    bool stalled = false;          // nothing arrived for too long
    bool cancelled = false;        // abandoned from another thread
    QList<int>* sockets = nullptr; // the session's open sockets

    void report(int state) const {
        if (*sink)
            (*sink)(state);
    }
    void alive() { lastActivity = Clock::now(); }
};

namespace {

curl_socket_t openSocket(void* clientp, curlsocktype, struct curl_sockaddr* address) {
    auto* run = static_cast<FtpSession::Run*>(clientp);
    if (!run->requested && !run->newConnection) { // the control connection, not a data one
        run->newConnection = true;
        if (!run->announcedLookup)
            run->report(1);
        run->announcedLookup = true;
        run->report(2);
        run->report(3);
    }
    const curl_socket_t socket =
        ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
    if (socket != CURL_SOCKET_BAD)
        run->sockets->append(socket);
    return socket;
}

// Called when a connection closes, also long after the command that opened it.
int closeSocket(void* sockets, curl_socket_t socket) {
    static_cast<QList<int>*>(sockets)->removeAll(socket);
    return ::close(socket);
}

int beforeRequest(void* clientp, char*, char*, int, int) {
    auto* run = static_cast<FtpSession::Run*>(clientp);
    if (!run->requested) {
        if (run->newConnection)
            run->report(4);
        run->report(5);
        run->report(6);
        run->requested = true;
        run->alive();
    }
    return CURL_PREREQFUNC_OK;
}

size_t receive(char* data, size_t size, size_t count, void* userdata) {
    auto* run = static_cast<FtpSession::Run*>(userdata);
    const size_t bytes = size * count;
    run->alive();
    if (!run->receiving) {
        run->receiving = true;
        run->report(7);
    }
    if (run->listing)
        return run->listing->add(data, static_cast<qsizetype>(bytes)) ? bytes : 0;
    if (run->file && run->file->write(data, static_cast<qint64>(bytes))) {
        run->received += static_cast<qint64>(bytes);
        return bytes;
    }
    if (run->file)
        run->writeError = run->file->errorString();
    return 0;
}

// Each line of an FTP server's replies.
size_t replyLine(char* data, size_t size, size_t count, void* userdata) {
    auto* run = static_cast<FtpSession::Run*>(userdata);
    const size_t bytes = size * count;
    run->alive();
    run->lastReply = QByteArray(data, static_cast<qsizetype>(bytes));
    if (const qint64 announced = announcedSize(run->lastReply); announced >= 0)
        run->announced = announced;
    return bytes;
}

} // namespace

FtpSession::FtpSession() {
    initialiseCurl();
}

FtpSession::~FtpSession() {
    if (multi_ && easy_)
        curl_multi_remove_handle(multi_, easy_);
    if (easy_)
        curl_easy_cleanup(easy_);
    if (multi_)
        curl_multi_cleanup(multi_);
}

void FtpSession::wake() {
    std::lock_guard lock(multiMutex_);
    if (multi_)
        curl_multi_wakeup(multi_);
}

void FtpSession::ensureHandles() {
    if (!multi_) {
        std::lock_guard lock(multiMutex_);
        multi_ = curl_multi_init();
        curl_multi_setopt(multi_, CURLMOPT_MAXCONNECTS, 1L);
    }
    if (!easy_)
        easy_ = curl_easy_init();
}

// An FTP URL names its path relative to the login folder, so an absolute path starts with "%2F";
// an SFTP URL's path is absolute, and "~/" starts one relative to the login folder.
QString FtpSession::urlFor(const FtpLogin& login, const QByteArray& remotePath) const {
    QString url = login.address.urlBase() + QLatin1Char('/');
    QByteArray path = remotePath;
    if (path.startsWith('/')) {
        if (!login.address.usesSsh())
            url += QLatin1String("%2F");
        path = path.mid(1);
    } else if (login.address.usesSsh()) {
        url += QLatin1String("~/");
    }
    const QList<QByteArray> segments = path.split('/');
    for (qsizetype i = 0; i < segments.size(); ++i) {
        if (i > 0)
            url += QLatin1Char('/');
        char* escaped =
            curl_easy_escape(easy_, segments[i].constData(), static_cast<int>(segments[i].size()));
        url += QString::fromLatin1(escaped);
        curl_free(escaped);
    }
    return url;
}

FtpOutcome FtpSession::list(const FtpLogin& login, const QByteArray& remoteFolder,
                            const QString& pattern, const StateSink& sink) {
    QByteArray folder = remoteFolder;
    if (!folder.endsWith('/'))
        folder += '/';
    return perform(Kind::List, login, folder, pattern, sink);
}

FtpOutcome FtpSession::retrieve(const FtpLogin& login, const QByteArray& remotePath,
                                const QString& localPath, const StateSink& sink) {
    return perform(Kind::Get, login, remotePath, localPath, sink);
}

FtpOutcome FtpSession::remove(const FtpLogin& login, const QByteArray& remotePath,
                              const StateSink& sink) {
    return perform(Kind::Delete, login, remotePath, QString(), sink);
}

void FtpSession::disconnect(const StateSink& sink) {
    const bool had = connected_;
    if (had && sink)
        sink(9);
    if (multi_ && easy_)
        curl_multi_remove_handle(multi_, easy_);
    CURLM* multi = nullptr;
    {
        std::lock_guard lock(multiMutex_);
        std::swap(multi, multi_);
    }
    if (multi) // closing the cache sends QUIT on the open control connection
        curl_multi_cleanup(multi);
    connected_ = false;
    if (had && sink)
        sink(10);
}

namespace {

FtpOutcome failure(int code, const QString& info) {
    FtpOutcome outcome;
    outcome.code = code;
    outcome.info = info;
    return outcome;
}

// A download the server ended as if complete, short of the size it has.
FtpOutcome endedShort(const QByteArray& remotePath, qint64 received, qint64 expected) {
    FtpOutcome outcome = failure(
        CURLE_PARTIAL_FILE, QStringLiteral("The server ended the transfer of %1 after %2 of %3 "
                                           "bytes")
                                .arg(QString::fromUtf8(remotePath), QString::number(received),
                                     QString::number(expected)));
    outcome.incomplete = true;
    return outcome;
}

FtpOutcome cannotWrite(const QString& localPath, const QString& why) {
    return failure(CURLE_WRITE_ERROR, QStringLiteral("Cannot write %1: %2").arg(localPath, why));
}

// Failures after which the connection is still good for the next command.
bool keepsConnection(int result) {
    return result == CURLE_REMOTE_FILE_NOT_FOUND || result == CURLE_QUOTE_ERROR ||
           result == CURLE_FTP_COULDNT_RETR_FILE || result == CURLE_REMOTE_ACCESS_DENIED ||
           result == CURLE_WRITE_ERROR;
}

// Results of a connection the server ended (or that broke) in the middle of a command; libssh2
// reports them as bare error numbers ("Unknown error in libssh2 :: -43").
bool closedByServer(int result) {
    return result == CURLE_PARTIAL_FILE || result == CURLE_GOT_NOTHING ||
           result == CURLE_SEND_ERROR || result == CURLE_RECV_ERROR || result == CURLE_SSH;
}

// An SFTP quote command's argument: in double quotes, with '"' and '\' escaped.
QByteArray quotedSftpPath(const QByteArray& path) {
    QByteArray quoted = path;
    quoted.replace('\\', "\\\\").replace('"', "\\\"");
    return '"' + quoted + '"';
}

} // namespace

// One command's settings, kept alive while libcurl uses them.
struct FtpSession::Request {
    Kind kind = Kind::List;
    const FtpLogin* login = nullptr;
    QByteArray remotePath;
    QString localPath;
    QByteArray url, user, password;
    curl_slist* quote = nullptr;

    ~Request() {
        if (quote)
            curl_slist_free_all(quote);
    }
};

FtpOutcome FtpSession::perform(Kind kind, const FtpLogin& login, const QByteArray& remotePath,
                               const QString& localPathOrPattern, const StateSink& sink) {
    const QString localPath = kind == Kind::Get ? localPathOrPattern : QString();
    // Every command passes here: nothing that would break a protocol line goes out.
    if (const QString why = unsendableCommandText(login.user, login.password, remotePath);
        !why.isEmpty())
        return failure(CURLE_URL_MALFORMAT, why);
    // Another server or login: the old connection is of no more use.
    if (connected_ && !(connectedLogin_ == login))
        disconnect(sink);
    ensureHandles();
    if (!multi_ || !easy_)
        return failure(CURLE_FAILED_INIT, QStringLiteral("The transfer library could not start"));

    // The local side: a listing in memory, a download in a temporary file beside its target.
    Run run;
    run.sink = &sink;
    run.sockets = &sockets_;
    ListingReader listing(localPathOrPattern);
    DownloadFile file(localPath);
    if (kind == Kind::List)
        run.listing = &listing;
    if (kind == Kind::Get) {
        if (!file.open())
            return cannotWrite(localPath, file.errorString());
        run.file = &file;
    }
    if (!connected_) {
        run.announcedLookup = true;
        run.report(1);
    }

    // The transfer, until it ends, stalls or is cancelled.
    Request request;
    request.kind = kind;
    request.login = &login;
    request.remotePath = remotePath;
    request.localPath = localPath;
    char errorText[CURL_ERROR_SIZE] = {};
    configure(request, run, errorText);
    const int result = drive(run, &run.stalled, &run.cancelled);
    long reply = 0;
    curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &reply);
    // A transfer abandoned on a silent server must not wait for it to answer the goodbye
    // (libcurl's SFTP close waits without a limit): its connections are cut first.
    if (run.stalled || run.cancelled) {
        for (const int socket : sockets_)
            ::shutdown(socket, SHUT_RDWR);
    }
    curl_multi_remove_handle(multi_, easy_); // an unfinished transfer closes its connection here

    // The connection stays for the next command unless the transfer broke it off.
    const bool brokenOff =
        run.stalled || run.cancelled || (result != CURLE_OK && !keepsConnection(result));
    connected_ = (run.requested || connected_) && !brokenOff;
    connectedLogin_ = login;

    // Done: a download's copy takes the place of its target, when it is whole.
    if (!run.stalled && !run.cancelled && result == CURLE_OK) {
        if (kind == Kind::Get) {
            if (const qint64 expected = expectedSize(run); run.received < expected) {
                file.discard();
                return endedShort(remotePath, run.received, expected);
            }
            if (!file.commit())
                return cannotWrite(localPath, file.errorString());
        }
        if (kind == Kind::List && !listing.finish())
            return failure(CURLE_FILESIZE_EXCEEDED, listing.error());
        if (!run.receiving)
            run.report(7);
        run.report(8);
        FtpOutcome outcome;
        outcome.ok = true;
        outcome.names = listing.takeNames();
        outcome.unstorable = listing.takeUnstorable();
        outcome.unstorableCount = listing.unstorableCount();
        return outcome;
    }
    file.discard(); // the temporary copy goes; a file already at localPath stays as it was
    // A transfer that ended short of a known size says how far it came (libcurl finds this
    // itself where it knows the size, as over SFTP).
    if (const qint64 expected = kind == Kind::Get ? expectedSize(run) : -1;
        result == CURLE_PARTIAL_FILE && !run.stalled && !run.cancelled && run.received < expected)
        return endedShort(remotePath, run.received, expected);
    FtpOutcome outcome = describeFailure(request, run, result, reply, errorText);
    outcome.beforeLogin = !run.requested && !run.cancelled;
    outcome.stalled = run.stalled;
    outcome.connectionLost = run.requested && brokenOff && !run.stalled && !run.cancelled &&
                             result != CURLE_OPERATION_TIMEDOUT && reply < 500;
    return outcome;
}

// The size a download should have: as the server announced it on opening the transfer (FTP), or
// as libcurl learnt it (SFTP's file attributes); -1 when neither is known.
qint64 FtpSession::expectedSize(const Run& run) const {
    if (run.announced >= 0)
        return run.announced;
    curl_off_t length = -1;
    if (curl_easy_getinfo(easy_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) != CURLE_OK)
        return -1;
    return static_cast<qint64>(length);
}

// The URL and what the command sends: a name listing, a download, or a delete in the folder.
void FtpSession::configure(Request& r, Run& run, char* errorText) {
    const FtpLogin& login = *r.login;
    const bool remove = r.kind == Kind::Delete;
    const QByteArray target =
        remove ? r.remotePath.left(r.remotePath.lastIndexOf('/') + 1) : r.remotePath;
    r.url = urlFor(login, target).toUtf8();
    r.user = login.user.toUtf8();
    r.password = login.password.toUtf8();
    if (remove) {
        const QByteArray line =
            login.address.usesSsh() ? "rm " + quotedSftpPath(r.remotePath) : "DELE " + r.remotePath;
        r.quote = curl_slist_append(nullptr, line.constData());
    }

    CURL* h = easy_;
    curl_easy_reset(h);
    curl_easy_setopt(h, CURLOPT_URL, r.url.constData());
    curl_easy_setopt(h, CURLOPT_USERNAME, r.user.constData());
    curl_easy_setopt(h, CURLOPT_PASSWORD, r.password.constData());
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    if (share_)
        curl_easy_setopt(h, CURLOPT_SHARE, share_);
    curl_easy_setopt(h, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_SINGLECWD));
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeouts_.connectMs));
    curl_easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT,
                     static_cast<long>(seconds(std::max(timeouts_.connectMs, timeouts_.stallMs))));
    curl_easy_setopt(h, CURLOPT_BUFFERSIZE, 256L * 1024L);
    curl_easy_setopt(h, CURLOPT_OPENSOCKETFUNCTION, openSocket);
    curl_easy_setopt(h, CURLOPT_OPENSOCKETDATA, &run);
    curl_easy_setopt(h, CURLOPT_CLOSESOCKETFUNCTION, closeSocket);
    curl_easy_setopt(h, CURLOPT_CLOSESOCKETDATA, &sockets_);
    curl_easy_setopt(h, CURLOPT_PREREQFUNCTION, beforeRequest);
    curl_easy_setopt(h, CURLOPT_PREREQDATA, &run);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, receive);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &run);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, replyLine);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &run);
    if (r.kind == Kind::List)
        curl_easy_setopt(h, CURLOPT_DIRLISTONLY, 1L);
    // A download needs no SIZE first, a round trip a file: the server's end-of-transfer reply
    // (or its absence) says whether the file came whole.
    if (r.kind == Kind::Get && !login.address.usesSsh())
        curl_easy_setopt(h, CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
    if (remove) {
        curl_easy_setopt(h, CURLOPT_QUOTE, r.quote);
        curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
    }
    configureSecurity(login);
}

// TLS or SSH as the address asks; a plain address gets neither.
void FtpSession::configureSecurity(const FtpLogin& login) {
    if (login.address.usesTls())
        tls_.configure(easy_, login.address, trust_);
    else if (login.address.usesSsh())
        ssh_.configure(easy_, login.address, trust_);
}

// libcurl does not always wait on a socket that will wake it: the handshake of an FTPS data
// connection waits for the server, which only answers once the command has gone on the control
// connection. So a wait in which nothing happened is followed by a short one, then by longer
// ones up to kLongestWaitMs, and any activity makes the next wait short again.
constexpr int kShortestWaitMs = 1;
constexpr int kLongestWaitMs = 100;

// Runs the transfer to its end; libcurl's result, or CURLE_OK when it stalled or was cancelled.
int FtpSession::drive(Run& run, bool* stalled, bool* cancelled) {
    CURLcode result = CURLE_OK;
    curl_multi_add_handle(multi_, easy_);
    int waitMs = kShortestWaitMs;
    for (int running = 1; running;) {
        if (curl_multi_perform(multi_, &running) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
        if (!running)
            break;
        if (cancel_ && cancel_->load()) {
            *cancelled = true;
            break;
        }
        if (run.requested &&
            Clock::now() - run.lastActivity > std::chrono::milliseconds(timeouts_.stallMs)) {
            *stalled = true;
            break;
        }
        int ready = 0;
        curl_multi_poll(multi_, nullptr, 0, waitMs, &ready);
        waitMs = ready > 0 ? kShortestWaitMs : std::min(2 * waitMs, kLongestWaitMs);
    }
    int pending = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_, &pending)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == easy_)
            result = message->data.result;
    }
    return result;
}

// What the command was doing, for a message: "logging in", "listing /u/...", "downloading ...".
QString FtpSession::doing(const Request& request, const Run& run) {
    if (!run.requested)
        return QStringLiteral("logging in");
    const QString path = QString::fromUtf8(request.remotePath);
    switch (request.kind) {
    case Kind::List:
        return QStringLiteral("listing ") + path;
    case Kind::Get:
        return QStringLiteral("downloading ") + path;
    case Kind::Delete:
        return QStringLiteral("deleting ") + path;
    }
    return {};
}

// What went wrong, in the words the operator reads: the server's own reply where it gave one.
FtpOutcome FtpSession::describeFailure(const Request& request, const Run& run, int result,
                                       long reply, const char* errorText) const {
    const QString stallText = QStringLiteral("The server stopped responding (nothing received "
                                             "for %1)")
                                  .arg(secondsText(timeouts_.stallMs));
    const QString libraryText = QString::fromUtf8(
        errorText[0] ? errorText : curl_easy_strerror(static_cast<CURLcode>(result)));
    const FtpAddress& address = request.login->address;
    if (run.stalled)
        return failure(CURLE_OPERATION_TIMEDOUT, stallText);
    if (run.cancelled)
        return failure(CURLE_ABORTED_BY_CALLBACK, QStringLiteral("The transfer was cancelled"));
    const std::optional<PeerIdentity> untrusted =
        address.usesTls() ? tls_.untrusted(result)
                          : (address.usesSsh() ? ssh_.untrusted() : std::nullopt);
    if (untrusted) {
        FtpOutcome outcome = failure(result, untrusted->changed ? changedIdentityWarning(*untrusted)
                                                                : declinedIdentityText(*untrusted));
        outcome.untrusted = untrusted;
        return outcome;
    }
    if (result == CURLE_OPERATION_TIMEDOUT)
        return failure(result, run.requested
                                   ? stallText
                                   : QStringLiteral("No answer from %1 within %2")
                                         .arg(address.host, secondsText(timeouts_.connectMs)));
    if (result == CURLE_WRITE_ERROR && run.listing && !run.listing->error().isEmpty())
        return failure(CURLE_FILESIZE_EXCEEDED, run.listing->error());
    if (result == CURLE_WRITE_ERROR && !run.writeError.isEmpty())
        return cannotWrite(request.localPath, run.writeError);
    if (result == CURLE_USE_SSL_FAILED)
        return failure(reply >= 400 ? static_cast<int>(reply) : result,
                       QStringLiteral("The server does not offer TLS (it answered: %1); the "
                                      "login was not sent. Use an ftp:// address only if the "
                                      "login and the files may cross the network in clear text")
                           .arg(replyText(run.lastReply)));
    if (reply >= 400) {
        const QString text = replyText(run.lastReply);
        return failure(static_cast<int>(reply), text.isEmpty() ? libraryText : text);
    }
    if (result == CURLE_LOGIN_DENIED && address.usesSsh())
        return failure(result, QStringLiteral("The server refused the login name or password"));
    if (closedByServer(result))
        return failure(
            result,
            QStringLiteral("The server closed the connection while %1").arg(doing(request, run)));
    return failure(result, libraryText);
}

} // namespace qv::transfer
