#include "transfer/transfercontrol.h"

#include "platform/programfolder.h"
#include "platform/services.h"
#include "transfer/ftpcommand.h"
#include "transfer/trustfiles.h"

#include <curl/curl.h>

namespace qv {

TransferControl::TransferControl(QObject* parent) : QObject(parent) {
    session_.setCancelFlag(&cancel_);
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
    worker_.join();
}

void TransferControl::Cancel() {
    if (!busy_)
        return;
    cancel_ = true;
    session_.wake();
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

// Called on the worker thread: the state reaches the owner's thread as a queued call.
void TransferControl::deliverState(int state) {
    QMetaObject::invokeMethod(
        this, [this, state] { emit StateChanged(static_cast<qint16>(state)); },
        Qt::QueuedConnection);
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

bool TransferControl::Execute(const QString& url, const QString& command) {
    if (busy_)
        return false; // one command at a time; the running one is not disturbed
    if (protocol_ != icFTP && protocol_ != 0)
        return refuse(
            CURLE_UNSUPPORTED_PROTOCOL,
            QStringLiteral("Only FTP transfers are supported (protocol %1)").arg(protocol_));
    QString why;
    const auto address = transfer::parseFtpAddress(url.isEmpty() ? url_ : url, &why);
    if (!address)
        return refuse(CURLE_URL_MALFORMAT, why);
    const auto parsed = transfer::parseFtpCommand(command, &why);
    if (!parsed)
        return refuse(CURLE_URL_MALFORMAT, why);

    responseCode_ = 0;
    responseInfo_.clear();
    data_.clear();
    dataPos_ = 0;
    cancel_ = false; // the worker is idle: no command of before can still see it
    busy_ = true;

    const transfer::FtpLogin login{*address, userName_, password_};
    const transfer::FtpTimeouts timeouts = timeouts_;
    const transfer::TrustSettings trust = trustSettings();
    const transfer::FtpCommand cmd = *parsed;
    const QByteArray remote = cmd.kind == transfer::FtpCommand::Kind::List
                                  ? cmd.remoteFolder.toUtf8()
                                  : wirePath(cmd.remotePath);
    command_ = [this, login, timeouts, trust, cmd, remote] {
        session_.setTimeouts(timeouts);
        session_.setTrust(trust);
        const auto sink = [this](int state) { deliverState(state); };
        transfer::FtpOutcome outcome;
        switch (cmd.kind) {
        case transfer::FtpCommand::Kind::List:
            outcome = session_.list(login, remote, sink);
            break;
        case transfer::FtpCommand::Kind::Get:
            outcome = session_.retrieve(login, remote, cmd.localPath, sink);
            break;
        case transfer::FtpCommand::Kind::Delete:
            outcome = session_.remove(login, remote, sink);
            break;
        }
        const bool listing = cmd.kind == transfer::FtpCommand::Kind::List;
        const QString pattern = cmd.pattern;
        QMetaObject::invokeMethod(
            this, [this, outcome, listing, pattern] { deliverOutcome(outcome, listing, pattern); },
            Qt::QueuedConnection);
    };
    post(command_);
    return true;
}

void TransferControl::Disconnect() {
    post([this] { session_.disconnect([this](int state) { deliverState(state); }); });
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

void TransferControl::deliverOutcome(transfer::FtpOutcome outcome, bool listing,
                                     const QString& pattern) {
    if (!outcome.ok && outcome.untrusted && trustedNow(outcome))
        return; // the command runs again; it is still executing
    if (outcome.ok && listing) {
        // The listing as lines of names; only the names that match the pattern are kept.
        wireNames_.clear();
        for (const transfer::ListedName& listed :
             transfer::matchingListedNames(outcome.listing, pattern)) {
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
