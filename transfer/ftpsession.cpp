#include "transfer/ftpsession.h"

#include "transfer/downloadfile.h"

#include <cctype>
#include <chrono>
#include <curl/curl.h>
#include <mutex>
#include <sys/socket.h>

namespace qv::transfer {
namespace {

using Clock = std::chrono::steady_clock;

void globalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

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

} // namespace

// Everything one command's callbacks share.
struct FtpSession::Run {
    const StateSink* sink = nullptr;
    bool announcedLookup = false; // state 1 reported
    bool newConnection = false;   // a control connection was opened for this command
    bool requested = false;       // logged in; the command is on its way (states 5 and 6)
    bool receiving = false;       // state 7 reported
    Clock::time_point lastActivity = Clock::now();
    QByteArray lastReply;
    QByteArray* listing = nullptr;
    DownloadFile* file = nullptr;
    QString writeError;

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
    return ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
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
    if (run->listing) {
        run->listing->append(data, static_cast<qsizetype>(bytes));
        return bytes;
    }
    if (run->file && run->file->write(data, static_cast<qint64>(bytes)))
        return bytes;
    if (run->file)
        run->writeError = run->file->errorString();
    return 0;
}

int debugTrace(CURL*, curl_infotype type, char* data, size_t size, void* userdata) {
    auto* run = static_cast<FtpSession::Run*>(userdata);
    if (type == CURLINFO_HEADER_IN) { // a line of a server reply
        run->alive();
        run->lastReply = QByteArray(data, static_cast<qsizetype>(size));
    }
    return 0;
}

} // namespace

FtpSession::FtpSession() {
    globalInit();
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

QString FtpSession::urlFor(const FtpLogin& login, const QByteArray& remotePath) const {
    QString url = login.address.urlBase() + QLatin1Char('/');
    QByteArray path = remotePath;
    if (path.startsWith('/')) {
        url += QLatin1String("%2F");
        path = path.mid(1);
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
                            const StateSink& sink) {
    QByteArray folder = remoteFolder;
    if (!folder.endsWith('/'))
        folder += '/';
    return perform(Kind::List, login, folder, QString(), sink);
}

FtpOutcome FtpSession::retrieve(const FtpLogin& login, const QByteArray& remotePath,
                                const QString& localPath, const StateSink& sink) {
    return perform(Kind::Retrieve, login, remotePath, localPath, sink);
}

FtpOutcome FtpSession::remove(const FtpLogin& login, const QByteArray& remotePath,
                              const StateSink& sink) {
    return perform(Kind::Remove, login, remotePath, QString(), sink);
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

// What libcurl reads while one command runs: the strings it was given and its error buffer.
struct FtpSession::Request {
    QByteArray url;
    QByteArray user;
    QByteArray password;
    curl_slist* quote = nullptr; // the DELE command of a removal
    char errorText[CURL_ERROR_SIZE] = {};

    Request() = default;
    Request(const Request&) = delete;
    Request& operator=(const Request&) = delete;
    ~Request() {
        if (quote)
            curl_slist_free_all(quote);
    }

    QString error(CURLcode result) const {
        return QString::fromUtf8(errorText[0] ? errorText : curl_easy_strerror(result));
    }
};

// How the command's transfer ended.
struct FtpSession::Ending {
    CURLcode result = CURLE_OK;
    bool stalled = false;
    bool cancelled = false;
    long reply = 0; // the server's last reply code

    bool succeeded() const { return !stalled && !cancelled && result == CURLE_OK; }
};

namespace {

FtpOutcome failure(int code, const QString& info) {
    FtpOutcome outcome;
    outcome.code = code;
    outcome.info = info;
    return outcome;
}

QString cannotWrite(const QString& localPath, const QString& why) {
    return QStringLiteral("Cannot write %1: %2").arg(localPath, why);
}

QString stoppedResponding(int stallMs) {
    return QStringLiteral("The server stopped responding (nothing received for %1)")
        .arg(secondsText(stallMs));
}

// Errors after which the control connection is still good for the next command.
bool keepsConnection(CURLcode result) {
    return result == CURLE_OK || result == CURLE_REMOTE_FILE_NOT_FOUND ||
           result == CURLE_QUOTE_ERROR || result == CURLE_FTP_COULDNT_RETR_FILE ||
           result == CURLE_REMOTE_ACCESS_DENIED || result == CURLE_WRITE_ERROR;
}

} // namespace

FtpOutcome FtpSession::perform(Kind kind, const FtpLogin& login, const QByteArray& remotePath,
                               const QString& localPath, const StateSink& sink) {
    if (connected_ && !(connectedLogin_ == login))
        disconnect(sink); // another server or login: the old connection is of no more use
    ensureHandles();
    if (!multi_ || !easy_)
        return failure(CURLE_FAILED_INIT, QStringLiteral("The transfer library could not start"));

    Run run;
    run.sink = &sink;
    QByteArray listing;
    DownloadFile file(localPath);
    if (kind == Kind::List)
        run.listing = &listing;
    if (kind == Kind::Retrieve) {
        if (!file.open())
            return failure(CURLE_WRITE_ERROR, cannotWrite(localPath, file.errorString()));
        run.file = &file;
    }
    if (!connected_) {
        run.announcedLookup = true;
        run.report(1);
    }

    Request request;
    configure(kind, login, remotePath, run, request);
    const Ending ending = drive(run);

    // The control connection stays for the next command unless the transfer broke it off.
    const bool brokenOff = ending.stalled || ending.cancelled || !keepsConnection(ending.result);
    connected_ = (run.requested || connected_) && !brokenOff;
    connectedLogin_ = login;

    if (ending.succeeded()) {
        if (kind == Kind::Retrieve && !file.commit())
            return failure(CURLE_WRITE_ERROR, cannotWrite(localPath, file.errorString()));
        if (!run.receiving)
            run.report(7);
        run.report(8);
        FtpOutcome outcome;
        outcome.ok = true;
        outcome.listing = listing;
        return outcome;
    }
    file.discard(); // the temporary copy goes; a file already at localPath stays as it was
    return failureOf(ending, run, request, login, localPath);
}

void FtpSession::configure(Kind kind, const FtpLogin& login, const QByteArray& remotePath, Run& run,
                           Request& request) {
    // A removal works in the file's folder and names the file in its DELE command.
    const QByteArray target =
        kind == Kind::Remove ? remotePath.left(remotePath.lastIndexOf('/') + 1) : remotePath;
    request.url = urlFor(login, target).toUtf8();
    request.user = login.user.toUtf8();
    request.password = login.password.toUtf8();
    if (kind == Kind::Remove)
        request.quote = curl_slist_append(nullptr, ("DELE " + remotePath).constData());

    CURL* h = easy_;
    curl_easy_reset(h);
    curl_easy_setopt(h, CURLOPT_URL, request.url.constData());
    curl_easy_setopt(h, CURLOPT_USERNAME, request.user.constData());
    curl_easy_setopt(h, CURLOPT_PASSWORD, request.password.constData());
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, request.errorText);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_SINGLECWD));
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeouts_.connectMs));
    curl_easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT,
                     static_cast<long>(seconds(std::max(timeouts_.connectMs, timeouts_.stallMs))));
    curl_easy_setopt(h, CURLOPT_BUFFERSIZE, 256L * 1024L);
    curl_easy_setopt(h, CURLOPT_OPENSOCKETFUNCTION, openSocket);
    curl_easy_setopt(h, CURLOPT_OPENSOCKETDATA, &run);
    curl_easy_setopt(h, CURLOPT_PREREQFUNCTION, beforeRequest);
    curl_easy_setopt(h, CURLOPT_PREREQDATA, &run);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, receive);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &run);
    curl_easy_setopt(h, CURLOPT_DEBUGFUNCTION, debugTrace);
    curl_easy_setopt(h, CURLOPT_DEBUGDATA, &run);
    curl_easy_setopt(h, CURLOPT_VERBOSE, 1L);
    if (kind == Kind::List)
        curl_easy_setopt(h, CURLOPT_DIRLISTONLY, 1L);
    if (kind == Kind::Remove) {
        curl_easy_setopt(h, CURLOPT_QUOTE, request.quote);
        curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
    }
}

FtpSession::Ending FtpSession::drive(const Run& run) {
    Ending ending;
    CURL* h = easy_;
    curl_multi_add_handle(multi_, h);
    for (int running = 1; running;) {
        if (curl_multi_perform(multi_, &running) != CURLM_OK) {
            ending.result = CURLE_FAILED_INIT;
            break;
        }
        if (!running)
            break;
        if (cancel_ && cancel_->load()) {
            ending.cancelled = true;
            break;
        }
        if (run.requested &&
            Clock::now() - run.lastActivity > std::chrono::milliseconds(timeouts_.stallMs)) {
            ending.stalled = true;
            break;
        }
        curl_multi_poll(multi_, nullptr, 0, 100, nullptr);
    }
    int pending = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_, &pending)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == h)
            ending.result = message->data.result;
    }
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &ending.reply);
    curl_multi_remove_handle(multi_, h); // an unfinished transfer closes its connection here
    return ending;
}

FtpOutcome FtpSession::failureOf(const Ending& ending, const Run& run, const Request& request,
                                 const FtpLogin& login, const QString& localPath) const {
    if (ending.stalled)
        return failure(CURLE_OPERATION_TIMEDOUT, stoppedResponding(timeouts_.stallMs));
    if (ending.cancelled)
        return failure(CURLE_ABORTED_BY_CALLBACK, QStringLiteral("The transfer was cancelled"));
    if (ending.result == CURLE_OPERATION_TIMEDOUT)
        return failure(CURLE_OPERATION_TIMEDOUT,
                       run.requested
                           ? stoppedResponding(timeouts_.stallMs)
                           : QStringLiteral("No answer from %1 within %2")
                                 .arg(login.address.host, secondsText(timeouts_.connectMs)));
    if (ending.result == CURLE_WRITE_ERROR && !run.writeError.isEmpty())
        return failure(CURLE_WRITE_ERROR, cannotWrite(localPath, run.writeError));
    if (ending.reply >= 400) {
        const QString text = replyText(run.lastReply);
        return failure(static_cast<int>(ending.reply),
                       text.isEmpty() ? request.error(ending.result) : text);
    }
    return failure(static_cast<int>(ending.result), request.error(ending.result));
}

} // namespace qv::transfer
