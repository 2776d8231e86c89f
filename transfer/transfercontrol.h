#pragma once

#include "transfer/downloadboard.h"
#include "transfer/ftpcommand.h"
#include "transfer/ftpsession.h"
#include "transfer/sharedcache.h"
#include "transfer/transferstate.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// The main window's FTP transfer control (Inet1). The program sets URL, UserName, Password and
// Protocol, starts one command at a time with Execute and waits until StillExecuting is false;
// progress arrives as StateChanged on the thread that owns the control, and only while that
// thread handles events.
//
// StateChanged carries the code of a TransferState (transfer/transferstate.h). Every command ends
// with ResponseCompleted or Error, and that state is reported before StillExecuting turns false.
//
// The FTP work runs on a worker thread of the control's own. The control connection is kept
// between commands to the same server with the same login, and closed by Disconnect.
//
// Protocol icFTP covers every form of the address: ftp://, ftpes:// and ftps:// are FTP without
// and with TLS, sftp:// is SFTP. A server whose certificate or host key is not trusted ends its
// connection in the handshake; the trust prompt then asks the operator on the owner's thread,
// and a Yes records the trust and runs the command again. Without a prompt, or after No, the
// command ends with Error. A certificate or key that differs from the trusted one is refused.
//
// ReadAhead lets the worker go on to the commands that will follow, so that a series of downloads
// does not wait for the owner's thread between two files; each still reports its states when
// Execute asks for it, exactly as if it had only started then.
//
// DownloadAll runs a whole series of downloads as one command over several connections at once
// (the first is the one the listing used); the owner's thread learns of them a few dozen times a
// second, file by file in the series' order, as if each had been run by Execute in turn.
namespace qv::transfer {
class DownloadPool;
class ReadAhead;
struct DownloadItem;
} // namespace qv::transfer

namespace qv {

class TransferControl : public QObject {
    Q_OBJECT
public:
    static constexpr int icFTP = 2;
    // ResponseCode of a download the server sent but this computer could not write (a full disk,
    // no permission); ResponseInfo holds the system's reason.
    static constexpr int kLocalWriteError = 23;
    // ResponseCode of a download of DownloadAll not run, because an earlier one could not be
    // written here.
    static constexpr int kNotRun = transfer::kDownloadNotRun;

    // How many connections DownloadAll opens at most, unless told otherwise.
    static constexpr int kDefaultConnections = 4;
    static constexpr int kMaxConnections = 16;

    explicit TransferControl(QObject* parent = nullptr);
    ~TransferControl() override;

    QString URL() const { return url_; }
    void setURL(const QString& url) { url_ = url; }
    QString UserName() const { return userName_; }
    void setUserName(const QString& name) { userName_ = name; }
    QString Password() const { return password_; }
    void setPassword(const QString& password) { password_ = password; }
    int Protocol() const { return protocol_; }
    void setProtocol(int protocol) { protocol_ = protocol; }

    // Starts one command ("DIR ...", "GET ... ...", "DELETE ...") against the server at url
    // (URL when url is empty) and returns at once. Returns false without starting anything when
    // a command still runs, or when the settings or the command are not usable (ResponseCode
    // and ResponseInfo then say why).
    bool Execute(const QString& url, const QString& command);
    // The same for a command given as a value.
    bool Execute(const QString& url, const transfer::FtpCommand& command);

    // The commands that Execute will be asked for next, in this order, once the running one (if
    // any) has ended: the worker runs them in turn without waiting to be asked. Execute with the
    // same address, login and command takes the one at the front over. Any other Execute, or
    // Disconnect, drops those not taken (one already under way runs to its end, its result
    // unused); Cancel drops them and ends the one under way; an empty list only drops them.
    // After a download this computer could not write, the rest are not run.
    void ReadAhead(const QString& url, const QStringList& commands);
    bool StillExecuting() const { return busy_; }

    // Starts the download commands ("GET ..." each, all from the server at url, URL when empty)
    // as one command over up to connections() connections at once, and returns at once; false
    // when a command still runs or a command is not usable (ResponseCode and ResponseInfo say
    // why). While it runs, each file in turn is announced with DownloadStarted, its states follow
    // with StateChanged, and its end with ResponseCompleted or Error (ResponseCode and
    // ResponseInfo tell which) and DownloadFinished; the next file follows once one has ended.
    // After a download this computer could not write, the files not begun are not run: each
    // ends with Error (kNotRun); those under way run to their end. After Cancel no further file
    // is announced (a copy that arrived meanwhile stays). CommandEnded follows the last.
    bool DownloadAll(const QString& url, const QStringList& commands);
    bool DownloadAll(const QString& url, const QList<transfer::FtpCommand>& commands);
    void setConnections(int connections);
    int connections() const { return connections_; }

    // The next part of the response data, at most size characters; "" when nothing is left.
    QString GetChunk(int size);

    // After a listing: the names that matched but cannot be stored here, with their reasons
    // (the first ListingReader::kMaxUnstorableKept), and how many there were.
    QList<UnstorableName> UnstorableNames() const { return unstorable_; }
    int UnstorableCount() const { return unstorableCount_; }

    int ResponseCode() const { return responseCode_; }
    QString ResponseInfo() const { return responseInfo_; }

    // Closes the control connection after the running command, if one is open (states 9, 10).
    void Disconnect();

    // Ends the running command at once: it ends with Error, and nothing of a download stays.
    // Does nothing when no command runs.
    void Cancel();

    void setTimeouts(const transfer::FtpTimeouts& timeouts);
    transfer::FtpTimeouts timeouts() const { return timeouts_; }

    // Asked whether to trust a server's certificate or host key; true for Yes.
    using TrustPrompt = std::function<bool(const transfer::PeerIdentity& identity)>;
    void setTrustPrompt(TrustPrompt prompt) { trustPrompt_ = std::move(prompt); }

    // Where the certificates the operator trusted are kept: beside "auto.ini".
    static QString pinnedCertificatesPath();

signals:
    void StateChanged(qint16 State);
    // The command has ended: StillExecuting is false now.
    void CommandEnded();
    // DownloadAll: download index (from 0) of the commands is the one shown now, and has ended.
    void DownloadStarted(int index);
    void DownloadFinished(int index);

private:
    // A command checked and made ready for the worker, with the settings of the moment.
    struct Prepared {
        transfer::FtpLogin login;
        transfer::FtpTimeouts timeouts;
        transfer::TrustSettings trust;
        transfer::FtpCommand command;
        QByteArray remote; // the remote folder or file as the server spells it
    };
    using ReadAheadSlot = std::shared_ptr<transfer::ReadAhead>;
    struct Batch; // a series of downloads run by DownloadAll

    std::optional<Prepared> prepare(const QString& url, const QString& command, int* code,
                                    QString* why) const;
    std::optional<Prepared> prepare(const QString& url, const transfer::FtpCommand& command,
                                    int* code, QString* why) const;
    std::optional<transfer::FtpAddress> address(const QString& url, int* code, QString* why) const;
    QString keyOf(const QString& url, const transfer::FtpCommand& command) const;
    bool start(const QString& url, const Prepared& prepared);
    template <class OneCommand> bool executeOf(const QString& url, const OneCommand& command);
    template <class Commands> bool downloadAllOf(const QString& url, const Commands& commands);
    transfer::FtpOutcome run(const Prepared& prepared, const transfer::FtpSession::StateSink& sink);
    std::function<void()> commandJob(const Prepared& prepared);
    std::function<void()> readAheadJob(const Prepared& prepared, const ReadAheadSlot& slot);
    bool adoptReadAhead(const QString& key, const transfer::FtpCommand& command);
    void dropReadAhead();
    void post(std::function<void()> job);
    void workerLoop();
    enum class Urgency { Now, Later };
    void deliver(std::function<void()> call, Urgency urgency);
    void drainDeliveries();
    void reportTick();
    std::function<void()> downloadJob(const Prepared& first, const std::shared_ptr<Batch>& batch);
    void showDownloads();
    bool showDownload(const transfer::DownloadBoard::Report& report);
    void finishDownloads();
    void wakePool();
    void deliverState(int state, Urgency urgency = Urgency::Later);
    void postOutcome(const transfer::FtpOutcome& outcome, const transfer::FtpCommand& command,
                     Urgency urgency = Urgency::Now);
    void deliverOutcome(transfer::FtpOutcome outcome, const transfer::FtpCommand& command);
    bool trustedNow(transfer::FtpOutcome& outcome);
    static transfer::TrustSettings trustSettings();
    QByteArray wirePath(const QString& remotePath) const;
    bool refuse(int code, const QString& info);

    QString url_, userName_, password_;
    int protocol_ = icFTP;
    bool busy_ = false;
    int responseCode_ = 0;
    QString responseInfo_;
    QString data_;
    qsizetype dataPos_ = 0;
    QHash<QString, QByteArray> wireNames_; // listed names as the server spelled them
    QList<UnstorableName> unstorable_;
    int unstorableCount_ = 0;
    transfer::FtpTimeouts timeouts_;
    TrustPrompt trustPrompt_;
    std::function<void()> command_;       // the running command's job, run again once trusted
    std::deque<ReadAheadSlot> readAhead_; // the commands read ahead, not taken over yet
    int connections_ = kDefaultConnections;
    std::shared_ptr<Batch> batch_; // the series of downloads under way
    bool showing_ = false;

    // Reports on their way to the owner's thread.
    std::mutex deliveryMutex_;
    std::vector<std::function<void()>> deliveries_;
    bool drainScheduled_ = false;
    bool draining_ = false;
    QTimer reportClock_; // while a command runs: takes its states to the owner now and then

    // Worker side.
    transfer::SharedCache shared_; // before the sessions that use it
    transfer::FtpSession session_;
    std::mutex poolMutex_;
    transfer::DownloadPool* pool_ = nullptr; // the downloads under way, to wake
    std::mutex mutex_;
    std::condition_variable wakeUp_;
    std::deque<std::function<void()>> jobs_;
    std::atomic<bool> cancel_{false};
    bool stopping_ = false;
    std::thread worker_;
};

} // namespace qv
