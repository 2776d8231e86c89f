#include "transfer/transfercontrol.h"

#include "platform/pacing.h"
#include "platform/programfolder.h"
#include "platform/services.h"
#include "transfer/downloadpool.h"
#include "transfer/readahead.h"
#include "transfer/trustfiles.h"

#include <QPointer>
#include <algorithm>
#include <curl/curl.h>

namespace qv {

// A series of downloads: shared by the worker, which runs them, and the owner's thread, which
// shows them in order.
struct TransferControl::Batch {
    explicit Batch(std::vector<transfer::DownloadItem> list)
        : items(std::move(list)), board(static_cast<int>(items.size())) {}
    const std::vector<transfer::DownloadItem> items;
    transfer::DownloadBoard board;
    // The owner's side.
    bool announced = false; // the first file not ended yet was announced
    bool stopped = false;   // no further file is shown
};

TransferControl::TransferControl(QObject* parent)
    : QObject(parent), timeouts_(transfer::FtpTimeouts::initial()) {
    reportClock_.setInterval(kShowProgressEveryMs);
    connect(&reportClock_, &QTimer::timeout, this, &TransferControl::reportTick);
    session_.setCancelFlag(&cancel_);
    session_.setShare(shared_.handle());
    worker_ = std::thread([this] { workerLoop(); });
}

TransferControl::~TransferControl() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        jobs_.clear();
    }
    cancel_ = true;
    wakeUp_.notify_all();
    session_.wake();
    wakePool();
    worker_.join();
}

void TransferControl::Cancel() {
    const bool running = busy_ || !readAhead_.empty();
    dropReadAhead();
    if (!running)
        return;
    if (batch_)
        batch_->stopped = true;
    cancel_ = true;
    session_.wake();
    wakePool();
}

void TransferControl::wakePool() {
    std::lock_guard lock(poolMutex_);
    if (pool_)
        pool_->wake();
}

void TransferControl::setConnections(int connections) {
    connections_ = std::clamp(connections, 1, kMaxConnections);
}

void TransferControl::setTimeouts(const transfer::FtpTimeouts& timeouts) {
    timeouts_ = timeouts;
}

void TransferControl::post(std::function<void()> job) {
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    wakeUp_.notify_one();
}

void TransferControl::workerLoop() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            wakeUp_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (stopping_)
                return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
    }
}

// Runs call on the owner's thread, after every call delivered before it. An urgent call is run
// as soon as that thread handles events, together with everything delivered before it; the
// others wait for it or for the next tick of the report clock, so a worker that reports often
// does not wake the owner's thread for each report.
void TransferControl::deliver(std::function<void()> call, Urgency urgency) {
    std::lock_guard lock(deliveryMutex_);
    deliveries_.push_back(std::move(call));
    if (urgency == Urgency::Later || drainScheduled_)
        return;
    drainScheduled_ = true;
    QMetaObject::invokeMethod(
        this, [this] { drainDeliveries(); }, Qt::QueuedConnection);
}

// A call may let events through (a long listing does); what arrives meanwhile is run once that
// call has returned, so the order stays as delivered.
void TransferControl::drainDeliveries() {
    if (draining_)
        return;
    draining_ = true;
    QPointer<TransferControl> alive(this);
    for (;;) {
        std::vector<std::function<void()>> calls;
        {
            std::lock_guard lock(deliveryMutex_);
            calls.swap(deliveries_);
            drainScheduled_ = false;
        }
        if (calls.empty())
            break;
        for (const std::function<void()>& call : calls) {
            call();
            if (!alive)
                return;
        }
    }
    draining_ = false;
}

// While a command runs: the reports gathered since the last tick reach the owner's thread.
void TransferControl::reportTick() {
    if (batch_ && !draining_)
        showDownloads();
    drainDeliveries();
}

// Called on the worker thread.
void TransferControl::deliverState(int state, Urgency urgency) {
    deliver([this, state] { emit StateChanged(static_cast<qint16>(state)); }, urgency);
}

void TransferControl::postOutcome(const transfer::FtpOutcome& outcome,
                                  const transfer::FtpCommand& command, Urgency urgency) {
    deliver([this, outcome, command] { deliverOutcome(outcome, command); }, urgency);
}

QString TransferControl::pinnedCertificatesPath() {
    return programPath(QStringLiteral("pinned-certificates.txt"));
}

transfer::TrustSettings TransferControl::trustSettings() {
    transfer::TrustSettings trust;
    trust.certificateAuthorities = services().certificateAuthorities;
    trust.pinnedCertificatesFile = pinnedCertificatesPath();
    trust.knownHostsFile = services().knownHostsFile.isEmpty() ? transfer::defaultKnownHostsFile()
                                                               : services().knownHostsFile;
    return trust;
}

bool TransferControl::refuse(int code, const QString& info) {
    responseCode_ = code;
    responseInfo_ = info;
    return false;
}

QByteArray TransferControl::wirePath(const QString& remotePath) const {
    const qsizetype slash = remotePath.lastIndexOf(QLatin1Char('/'));
    const QString name = remotePath.mid(slash + 1);
    return remotePath.left(slash + 1).toUtf8() + wireNames_.value(name, name.toUtf8());
}

// The server a command goes to, when the protocol and the address are usable.
std::optional<transfer::FtpAddress> TransferControl::address(const QString& url, int* code,
                                                             QString* why) const {
    if (protocol_ != icFTP && protocol_ != 0) {
        *code = CURLE_UNSUPPORTED_PROTOCOL;
        *why = QStringLiteral("Only FTP transfers are supported (protocol %1)").arg(protocol_);
        return std::nullopt;
    }
    *code = CURLE_URL_MALFORMAT;
    return transfer::parseFtpAddress(url.isEmpty() ? url_ : url, why);
}

std::optional<TransferControl::Prepared> TransferControl::prepare(const QString& url,
                                                                  const QString& command, int* code,
                                                                  QString* why) const {
    if (!address(url, code, why))
        return std::nullopt; // the protocol and the address are told before the command
    const auto parsed = transfer::parseFtpCommand(command, why);
    if (!parsed)
        return std::nullopt;
    return prepare(url, *parsed, code, why);
}

std::optional<TransferControl::Prepared>
TransferControl::prepare(const QString& url, const transfer::FtpCommand& command, int* code,
                         QString* why) const {
    const auto server = address(url, code, why);
    if (!server)
        return std::nullopt;
    if (const QString fault = command.fault(); !fault.isEmpty()) {
        *why = fault;
        return std::nullopt;
    }
    const QByteArray remote = command.kind == transfer::FtpCommand::Kind::List
                                  ? command.remoteFolder.toUtf8()
                                  : wirePath(command.remotePath);
    return Prepared{{*server, userName_, password_}, timeouts_, trustSettings(), command, remote};
}

// What tells two commands apart: the server, the login and the command.
QString TransferControl::keyOf(const QString& url, const transfer::FtpCommand& command) const {
    const QChar separator(0);
    return (url.isEmpty() ? url_ : url) + separator + userName_ + separator + password_ +
           separator + command.line();
}

// Called on the worker thread.
transfer::FtpOutcome TransferControl::run(const Prepared& p,
                                          const transfer::FtpSession::StateSink& sink) {
    session_.setTimeouts(p.timeouts);
    session_.setTrust(p.trust);
    switch (p.command.kind) {
    case transfer::FtpCommand::Kind::List:
        return session_.list(p.login, p.remote, p.command.pattern, sink);
    case transfer::FtpCommand::Kind::Get:
        return session_.retrieve(p.login, p.remote, p.command.localPath, sink);
    case transfer::FtpCommand::Kind::Delete:
        return session_.remove(p.login, p.remote, sink);
    }
    return {};
}

std::function<void()> TransferControl::commandJob(const Prepared& prepared) {
    return [this, prepared] {
        const transfer::FtpOutcome outcome =
            run(prepared, [this](int state) { deliverState(state); });
        postOutcome(outcome, prepared.command);
    };
}

std::function<void()> TransferControl::readAheadJob(const Prepared& prepared,
                                                    const ReadAheadSlot& slot) {
    return [this, prepared, slot] {
        if (!slot->begin())
            return;
        const auto direct = [this](int state) { deliverState(state); };
        const transfer::FtpOutcome outcome =
            run(prepared, [&](int state) { slot->state(state, direct); });
        // Nothing more can be stored here, or the rest waits for the operator or was cancelled.
        if (!outcome.ok && (outcome.code == kLocalWriteError || outcome.untrusted || cancel_))
            slot->halt();
        slot->end(outcome, [&](const transfer::FtpOutcome& ended) {
            // Read ahead, it need not wake the owner's thread: that takes it with its next
            // round of reports, while the worker goes on.
            postOutcome(ended, prepared.command, Urgency::Later);
        });
    };
}

void TransferControl::ReadAhead(const QString& url, const QStringList& commands) {
    dropReadAhead();
    if (busy_)
        return;
    cancel_ = false; // what runs still was dropped: its result is of no use anyway
    const auto halted = std::make_shared<std::atomic<bool>>(false);
    for (const QString& command : commands) {
        int code = 0;
        QString why;
        const std::optional<Prepared> prepared = prepare(url, command, &code, &why);
        if (!prepared)
            break; // Execute refuses it with its reason when it comes to it
        const auto slot =
            std::make_shared<transfer::ReadAhead>(keyOf(url, prepared->command), halted);
        readAhead_.push_back(slot);
        post(readAheadJob(*prepared, slot));
    }
}

// The command at the front of those read ahead becomes the running one when it is the one asked
// for: what it reported so far is delivered in order, the rest follows as it comes.
bool TransferControl::adoptReadAhead(const QString& key, const transfer::FtpCommand& command) {
    if (readAhead_.empty())
        return false;
    if (readAhead_.front()->key() != key) {
        dropReadAhead();
        return false;
    }
    const ReadAheadSlot slot = readAhead_.front();
    readAhead_.pop_front();
    // Through the same queue as the reports that follow it, so they cannot overtake it.
    return slot->adopt(
        [&](const std::vector<int>& states, const std::optional<transfer::FtpOutcome>& outcome) {
            deliver(
                [this, states, outcome, command] {
                    for (const int state : states)
                        emit StateChanged(static_cast<qint16>(state));
                    if (outcome)
                        deliverOutcome(*outcome, command);
                },
                Urgency::Now);
        });
}

void TransferControl::dropReadAhead() {
    for (const ReadAheadSlot& slot : readAhead_)
        slot->drop();
    readAhead_.clear();
}

bool TransferControl::Execute(const QString& url, const QString& command) {
    return executeOf(url, command);
}

bool TransferControl::Execute(const QString& url, const transfer::FtpCommand& command) {
    return executeOf(url, command);
}

template <class OneCommand>
bool TransferControl::executeOf(const QString& url, const OneCommand& command) {
    if (busy_)
        return false; // one command at a time; the running one is not disturbed
    int code = 0;
    QString why;
    const std::optional<Prepared> prepared = prepare(url, command, &code, &why);
    if (!prepared) {
        dropReadAhead();
        return refuse(code, why);
    }
    return start(url, *prepared);
}

bool TransferControl::start(const QString& url, const Prepared& prepared) {
    responseCode_ = 0;
    responseInfo_.clear();
    data_.clear();
    dataPos_ = 0;
    busy_ = true;
    reportClock_.start();
    command_ = commandJob(prepared);
    if (adoptReadAhead(keyOf(url, prepared.command), prepared.command))
        return true;
    cancel_ = false; // nothing of before that runs still is of any use
    post(command_);
    return true;
}

bool TransferControl::DownloadAll(const QString& url, const QStringList& commands) {
    return downloadAllOf(url, commands);
}

bool TransferControl::DownloadAll(const QString& url, const QList<transfer::FtpCommand>& commands) {
    return downloadAllOf(url, commands);
}

template <class Commands>
bool TransferControl::downloadAllOf(const QString& url, const Commands& commands) {
    if (busy_)
        return false;
    dropReadAhead();
    std::vector<transfer::DownloadItem> items;
    items.reserve(static_cast<size_t>(commands.size()));
    std::optional<Prepared> first;
    for (const auto& command : commands) {
        int code = 0;
        QString why;
        std::optional<Prepared> prepared = prepare(url, command, &code, &why);
        if (!prepared || prepared->command.kind != transfer::FtpCommand::Kind::Get)
            return refuse(prepared ? CURLE_URL_MALFORMAT : code,
                          prepared ? QStringLiteral("Only downloads run together") : why);
        items.push_back({prepared->remote, prepared->command.localPath});
        if (!first)
            first = std::move(prepared);
    }
    responseCode_ = 0;
    responseInfo_.clear();
    data_.clear();
    dataPos_ = 0;
    busy_ = true;
    cancel_ = false;
    batch_ = std::make_shared<Batch>(std::move(items));
    reportClock_.start();
    if (!first) {
        // Nothing to fetch: the command ends as soon as the owner's thread handles events.
        deliver([this] { finishDownloads(); }, Urgency::Now);
        return true;
    }
    post(downloadJob(*first, batch_));
    return true;
}

// Called on the worker thread: the whole series, then its end for the owner's thread.
std::function<void()> TransferControl::downloadJob(const Prepared& first,
                                                   const std::shared_ptr<Batch>& batch) {
    transfer::DownloadPool::Settings settings;
    settings.login = first.login;
    settings.timeouts = first.timeouts;
    settings.trust = first.trust;
    settings.connections = connections_;
    settings.share = shared_.handle();
    settings.cancel = &cancel_;
    return [this, settings, batch] {
        session_.setTimeouts(settings.timeouts);
        session_.setTrust(settings.trust);
        {
            transfer::DownloadPool pool(settings, batch->items, batch->board);
            {
                std::lock_guard lock(poolMutex_);
                pool_ = &pool;
            }
            pool.run(session_);
            std::lock_guard lock(poolMutex_);
            pool_ = nullptr;
        }
        deliver([this] { finishDownloads(); }, Urgency::Now);
    };
}

// The files that have reported since the last time, in the series' order.
void TransferControl::showDownloads() {
    if (showing_ || !batch_ || batch_->stopped)
        return;
    showing_ = true;
    QPointer<TransferControl> alive(this);
    const std::shared_ptr<Batch> batch = batch_;
    for (const transfer::DownloadBoard::Report& report : batch->board.take()) {
        if (!showDownload(report) || !alive)
            break;
    }
    if (!alive)
        return;
    showing_ = false;
}

// One file's report; false once no further file is to be shown.
bool TransferControl::showDownload(const transfer::DownloadBoard::Report& report) {
    QPointer<TransferControl> alive(this);
    const std::shared_ptr<Batch> batch = batch_;
    if (batch->stopped)
        return false;
    if (!batch->announced) {
        batch->announced = true;
        emit DownloadStarted(report.item);
    }
    for (const qint8 state : report.states) {
        if (!alive || batch->stopped)
            return false;
        emit StateChanged(state);
    }
    if (!alive || batch->stopped || !report.ended)
        return false;
    responseCode_ = report.ok ? 0 : report.code;
    responseInfo_ = report.ok ? QString() : report.info;
    emit StateChanged(code(report.ok ? TransferState::ResponseCompleted : TransferState::Error));
    if (!alive)
        return false;
    batch->announced = false;
    emit DownloadFinished(report.item);
    return alive && !batch->stopped;
}

// The series has ended on the worker: what is left is shown, and the command ends.
void TransferControl::finishDownloads() {
    if (showing_) {
        // Reached from inside the showing (something there let events through): once it is over.
        QTimer::singleShot(0, this, &TransferControl::finishDownloads);
        return;
    }
    QPointer<TransferControl> alive(this);
    showDownloads();
    if (!alive)
        return;
    // Copies that arrived after a cancel are not shown, but stay: each is complete, and has
    // already taken the place of the copy before it.
    batch_.reset();
    busy_ = false;
    reportClock_.stop();
    emit CommandEnded();
}

void TransferControl::Disconnect() {
    dropReadAhead();
    // No command runs to take these states along: each goes at once.
    post([this] { session_.disconnect([this](int state) { deliverState(state, Urgency::Now); }); });
}

// A server that is not trusted yet: the operator is asked; Yes records the trust and runs the
// command again (true). Otherwise the outcome stays a failure, with the reason for the operator.
bool TransferControl::trustedNow(transfer::FtpOutcome& outcome) {
    const transfer::PeerIdentity& identity = *outcome.untrusted;
    if (identity.changed || !trustPrompt_ || !trustPrompt_(identity))
        return false;
    QString why;
    if (!transfer::recordTrust(identity, &why)) {
        outcome.info = why;
        return false;
    }
    post(command_);
    return true;
}

void TransferControl::deliverOutcome(transfer::FtpOutcome outcome,
                                     const transfer::FtpCommand& command) {
    if (!outcome.ok && outcome.untrusted && trustedNow(outcome))
        return; // the command runs again; it is still executing
    if (command.kind == transfer::FtpCommand::Kind::List) {
        unstorable_ = outcome.unstorable;
        unstorableCount_ = outcome.unstorableCount;
    }
    if (outcome.ok && command.kind == transfer::FtpCommand::Kind::List) {
        // The listing as lines of names (those that match the pattern and can be stored); how
        // the server spells a name is kept where it is not the name's UTF-8.
        wireNames_.clear();
        for (const transfer::ListedName& listed : outcome.names) {
            if (listed.wire != listed.name.toUtf8())
                wireNames_.insert(listed.name, listed.wire);
            data_ += listed.name + QLatin1String("\r\n");
        }
    }
    if (!outcome.ok) {
        responseCode_ = outcome.code;
        responseInfo_ = outcome.info;
    }
    emit StateChanged(code(outcome.ok ? TransferState::ResponseCompleted : TransferState::Error));
    busy_ = false;
    reportClock_.stop();
    emit CommandEnded();
}

QString TransferControl::GetChunk(int size) {
    if (size <= 0 || dataPos_ >= data_.size())
        return QString();
    const QString chunk = data_.mid(dataPos_, size);
    dataPos_ += chunk.size();
    return chunk;
}

} // namespace qv
