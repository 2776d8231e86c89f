#include "app/cli/commands.h"
#include "app/cli/exitstatus.h"
#include "platform/programfolder.h"
#include "settings/passwordkeyring.h"
#include "settings/passwordplace.h"
#include "settings/settingspath.h"
#include "transfer/connectionfields.h"
#include "transfer/ftpaddress.h"
#include "transfer/peeridentity.h"
#include "transfer/searchlock.h"
#include "transfer/searchreport.h"
#include "transfer/serversearch.h"
#include "transfer/statustext.h"
#include "transfer/transfercontrol.h"

#include <QCommandLineParser>
#include <QTextStream>
#include <cstdio>
#include <unistd.h>

namespace qv::cli {

namespace {

// The control's codes for an address it cannot use (libcurl's "URL malformat") and for a server
// whose certificate or host key is not trusted (libcurl's "peer failed verification").
constexpr int kBadAddress = 3;
constexpr int kNotTrusted = 60;
// A pinned certificate's key that differs from the pin (libcurl's "SSL public key does not
// match pinned public key"): a changed certificate, a possible interception.
constexpr int kPinMismatch = 90;

bool onTerminal() {
    return isatty(STDIN_FILENO) && isatty(STDERR_FILENO);
}

// The progress on standard error: a line a step, or one line rewritten in place on a terminal.
class Progress {
public:
    Progress() : terminal_(isatty(STDERR_FILENO)) {}
    void show(const QString& text) {
        if (terminal_) {
            err() << "\r\033[K" << text;
            err().flush();
            shown_ = true;
        } else {
            err() << text << Qt::endl;
        }
    }
    // Ends the rewritten line before anything else is written.
    void end() {
        if (shown_)
            err() << Qt::endl;
        shown_ = false;
    }

private:
    bool terminal_;
    bool shown_ = false;
};

// Answers the question whether to trust a server: by the fingerprint given, else on a terminal,
// else no. What was wrong is kept for the message.
class TrustAnswer {
public:
    explicit TrustAnswer(QString fingerprint) : fingerprint_(std::move(fingerprint)) {}

    bool operator()(const transfer::PeerIdentity& identity, Progress& progress) {
        progress.end();
        if (!fingerprint_.isEmpty()) {
            if (sameFingerprint(fingerprint_, identity.fingerprint))
                return accept();
            return decline(QStringLiteral("The server's fingerprint %1 is not the one given "
                                          "with --trust-fingerprint (%2).")
                               .arg(identity.fingerprint, fingerprint_));
        }
        err() << transfer::trustQuestion(identity) << Qt::endl;
        if (!onTerminal())
            return decline(QStringLiteral("No terminal to answer on. Check the fingerprint %1 "
                                          "and run again with --trust-fingerprint %1.")
                               .arg(identity.fingerprint));
        err() << "[y/N] ";
        err().flush();
        char answer[16] = {};
        if (std::fgets(answer, sizeof answer, stdin) && (answer[0] == 'y' || answer[0] == 'Y'))
            return accept();
        return decline(transfer::declinedIdentityText(identity));
    }

    bool declined() const { return !why_.isEmpty(); }
    bool accepted() const { return accepted_; }
    QString why() const { return why_; }

private:
    bool accept() {
        accepted_ = true;
        return true;
    }
    bool decline(const QString& why) {
        why_ = why;
        return false;
    }
    QString fingerprint_;
    QString why_;
    bool accepted_ = false;
};

// The fields: the options, then the password sources: the password file, the environment, the
// desktop keyring when "auto.ini" keeps the password there, else "auto.ini".
bool connectionFields(const QCommandLineParser& options, ConnectionFields* fields, QString* error) {
    *fields = readConnectionFields(settingsPath());
    if (options.isSet(QStringLiteral("address")))
        fields->address = options.value(QStringLiteral("address"));
    if (options.isSet(QStringLiteral("login")))
        fields->login = options.value(QStringLiteral("login"));
    if (options.isSet(QStringLiteral("password-file")))
        return readPasswordFile(options.value(QStringLiteral("password-file")), &fields->password,
                                error);
    if (const QByteArray fromEnvironment = qgetenv("QUORVANE_PASSWORD"); !fromEnvironment.isEmpty())
        fields->password = QString::fromLocal8Bit(fromEnvironment);
    else if (passwordInKeyring(settingsPath()))
        return readKeyringPassword(*fields, *desktopKeyring(), &fields->password, error);
    return true;
}

// Saves the fields; when the keyring keeps the password, "auto.ini" gets no password and the
// keyring is left as it is.
QString saveFields(ConnectionFields fields) {
    if (passwordInKeyring(settingsPath()))
        fields.password.clear();
    return saveConnectionFields(settingsPath(), fields);
}

// The listing and the errors of the control, as the window's status handler takes them.
struct Listener {
    QStringList lines;
    bool failed = false;
    QString message;
    int responseCode = 0;
    bool listed = false;

    void stateChanged(TransferControl& control, qint16 state) {
        if (state == code(TransferState::Error)) {
            failed = true;
            responseCode = control.ResponseCode();
            message = connectionErrorMessage(control.ResponseCode(), control.ResponseInfo());
            return;
        }
        if (state != code(TransferState::ResponseCompleted) || listed)
            return;
        listed = true;
        lines = *readListedLines(control);
    }
};

SearchSteps commandLineSteps(TransferControl& control, Listener& listener, Progress& progress) {
    SearchSteps steps;
    steps.wait = [&control] { waitForCommand(control); };
    steps.startFailed = [&control, &listener] {
        listener.stateChanged(control, code(TransferState::Error));
    };
    steps.listing = [&listener] { return listener.lines; };
    steps.failed = [&listener] { return listener.failed; };
    auto total = std::make_shared<qsizetype>(0);
    steps.chosen = [total](const QStringList& names) { *total = names.size(); };
    steps.downloading = [&progress, total](int i, const QString& name) {
        // One pass over the pattern: a "%2" in a name stays as it is.
        progress.show(QStringLiteral("- Downloading %1 (%2 of %3)")
                          .arg(name, QString::number(i + 1), QString::number(*total)));
    };
    return steps;
}

// The number of connections at once: --connections, else the control's own.
bool connectionCount(const QCommandLineParser& options, int* count) {
    *count = TransferControl::kDefaultConnections;
    if (!options.isSet(QStringLiteral("connections")))
        return true;
    bool number = false;
    *count = options.value(QStringLiteral("connections")).toInt(&number);
    return number && *count >= 1 && *count <= TransferControl::kMaxConnections;
}

// Every listed file the search did not store, one a line with its reason, after a heading.
void reportNotStored(const SearchResult& done) {
    if (done.notStored() == 0)
        return;
    err() << notStoredHeading(done.notStored()) << Qt::endl;
    for (const QString& line : notStoredLines(done))
        err() << line << Qt::endl;
}

} // namespace

int runSearch(const QCommandLineParser& options) {
    int connections = 0;
    if (!connectionCount(options, &connections))
        return fail(kUsage, QStringLiteral("--connections takes a number from 1 to %1.")
                                .arg(TransferControl::kMaxConnections));
    removeTemporariesOnInterruption(programPath(QStringLiteral("data")));
    ConnectionFields fields;
    QString error;
    if (!connectionFields(options, &fields, &error))
        return fail(kUsage, error);
    if (const QString unusable = unusableConnectionField(fields); !unusable.isEmpty())
        return fail(kUsage, unusable);
    if (QString why; !transfer::parseFtpAddress(fields.address, &why))
        return fail(kUsage, connectionErrorMessage(kBadAddress, why));
    // Held to the end: another search on this program folder is told so, and changes nothing.
    SearchLock lock;
    if (!lock.acquire())
        return fail(kBusy, lock.message());

    TransferControl control;
    connectTransfer(control, fields);
    control.setConnections(connections);
    Progress progress;
    TrustAnswer trust(options.value(QStringLiteral("trust-fingerprint")));
    control.setTrustPrompt(
        [&trust, &progress](const transfer::PeerIdentity& id) { return trust(id, progress); });
    Listener listener;
    QObject::connect(&control, &TransferControl::StateChanged, &control,
                     [&](qint16 state) { listener.stateChanged(control, state); });

    progress.show(QStringLiteral("- Connecting ") + control.URL());
    const SearchResult done =
        runServerSearch(control, commandLineSteps(control, listener, progress));
    progress.end();
    if (done.status == SearchResult::Status::ListingFailed) {
        if (trust.declined())
            return fail(kUntrusted, listener.message + QStringLiteral("\n") + trust.why());
        if (listener.responseCode == kNotTrusted && trust.accepted()) // the trust not recorded
            return fail(kLocalWrite, listener.message);
        if (listener.responseCode == kNotTrusted || listener.responseCode == kPinMismatch)
            return fail(kUntrusted, listener.message);
        return fail(kConnection, listener.message);
    }
    if (done.status != SearchResult::Status::Listed) {
        reportNotStored(done);
        return fail(kLocalWrite, done.writeError);
    }
    if (const QString failure = saveFields(fields); !failure.isEmpty())
        return fail(kLocalWrite, failure);
    control.Disconnect();
    waitForCommand(control);
    out() << QStringLiteral("%1 files found").arg(done.count) << Qt::endl;
    reportNotStored(done);
    return done.notStored() == 0 ? kSuccess : kNotStored;
}

} // namespace qv::cli
