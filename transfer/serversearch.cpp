#include "transfer/serversearch.h"

#include "platform/programfolder.h"
#include "platform/tempfiles.h"
#include "settings/inifile.h"
#include "transfer/remotename.h"
#include "transfer/statustext.h"
#include "transfer/transfercontrol.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <vector>

namespace qv {

namespace {

const QString kSection = QStringLiteral("Default");
const char* const kKeys[] = {"Ipaddress", "Login", "Password"};

template <typename F, typename... Args> void call(const F& f, Args&&... args) {
    if (f)
        f(std::forward<Args>(args)...);
}

// Lists the server folder. False when the listing ended in an error.
bool listServerFolder(TransferControl& control, const SearchSteps& steps) {
    if (control.Execute(control.URL(),
                        transfer::FtpCommand::list(kServerFolder, QStringLiteral("*.LET"))))
        steps.wait();
    else if (!control.StillExecuting())
        steps.startFailed();
    return !steps.failed();
}

QString copyPath(const QString& name) {
    return programPath(QStringLiteral("data"), name);
}

transfer::FtpCommand downloadCommand(const QString& name) {
    return transfer::FtpCommand::get(kServerFolder + name, copyPath(name));
}

bool isCancelled(const SearchSteps& steps) {
    return steps.cancelled && steps.cancelled();
}

// Why a download ended without a copy, and whether the copy of the previous search stays.
QString failureReason(const TransferControl& control, const QString& name) {
    QString reason = control.ResponseCode() == 0
                         ? QStringLiteral("No copy was left by the download")
                         : downloadFailureText(control.ResponseCode(), control.ResponseInfo());
    if (QFileInfo(copyPath(name)).isFile())
        reason += QStringLiteral(" (the copy of the previous search is kept)");
    return reason;
}

// What the downloads of a search came to, file by file in the order of the names.
class DownloadTally {
public:
    DownloadTally(const SearchSteps& steps, const QStringList& names, SearchResult& result)
        : steps_(steps), names_(names), result_(result),
          ended_(static_cast<size_t>(names.size()), false) {}

    void arrived(int i) {
        ended_[static_cast<size_t>(i)] = true;
        ++result_.count;
        call(steps_.arrived, names_[i], copyPath(names_[i]), result_.count);
    }
    void failed(int i, const QString& reason) {
        ended_[static_cast<size_t>(i)] = true;
        result_.failures.append({names_[i], reason});
        call(steps_.notStored, names_[i], reason);
    }
    // Every name that has not ended is reported as not stored, with the reason.
    void failRest(const QString& reason) {
        for (int i = 0; i < static_cast<int>(names_.size()); ++i) {
            if (!ended_[static_cast<size_t>(i)])
                failed(i, reason);
        }
    }

private:
    const SearchSteps& steps_;
    const QStringList& names_;
    SearchResult& result_;
    std::vector<bool> ended_;
};

// Downloads every chosen name as one command of the control: the files arrive over several
// connections at once, and are shown here one by one in the order of the names. Each file ends
// arrived or failed; only a cancel leaves files unreported.
void downloadAll(TransferControl& control, const SearchSteps& steps, const QStringList& names,
                 SearchResult& result) {
    if (names.isEmpty())
        return;
    QList<transfer::FtpCommand> commands;
    for (const QString& name : names)
        commands << downloadCommand(name);
    DownloadTally tally(steps, names, result);
    bool stopped = false;
    const QMetaObject::Connection started =
        QObject::connect(&control, &TransferControl::DownloadStarted, [&](int i) {
            if (stopped)
                return;
            call(steps.downloading, i, names[i]);
            call(steps.status, QStringLiteral("- Downloading ") + names[i]);
        });
    const QMetaObject::Connection finished =
        QObject::connect(&control, &TransferControl::DownloadFinished, [&](int i) {
            if (stopped)
                return;
            call(steps.advance);
            if (isCancelled(steps)) {
                result.status = SearchResult::Status::Cancelled;
                stopped = true;
            } else if (control.ResponseCode() == 0 && QFileInfo(copyPath(names[i])).isFile()) {
                tally.arrived(i);
            } else {
                if (control.ResponseCode() == TransferControl::kLocalWriteError &&
                    result.status == SearchResult::Status::Listed) {
                    // Nothing more can be stored here (a full disk): the search fails with the
                    // reason, and the files not begun are not run.
                    result.status = SearchResult::Status::WriteFailed;
                    result.writeError = control.ResponseInfo();
                }
                tally.failed(i, failureReason(control, names[i]));
            }
        });
    const bool running = control.DownloadAll(control.URL(), commands);
    if (running)
        steps.wait();
    QObject::disconnect(started);
    QObject::disconnect(finished);
    if (!stopped && isCancelled(steps))
        result.status = SearchResult::Status::Cancelled;
    if (result.status == SearchResult::Status::Cancelled)
        return;
    tally.failRest(running ? QStringLiteral("The download did not end")
                           : downloadFailureText(control.ResponseCode(), control.ResponseInfo()));
}

// The data folder, made when it is missing, without what an interrupted search left there; the
// copies of the previous search stay.
void prepareDataFolder() {
    const QString data = programPath(QStringLiteral("data"));
    QDir().mkpath(data);
    tempfiles::removeStale(data);
}

// After a good listing: the copies of merge files the server no longer lists go.
void removeCopiesNotListed(const QStringList& names) {
    QDir data(programPath(QStringLiteral("data")));
    data.setNameFilters({QStringLiteral("*.LET")});
    data.setFilter(QDir::Files | QDir::Hidden | QDir::CaseSensitive | QDir::System);
    const QSet<QString> listed(names.begin(), names.end());
    for (const QString& name : data.entryList()) {
        if (!listed.contains(name))
            data.remove(name);
    }
}

} // namespace

bool waitForCommand(TransferControl& control) {
    QPointer<TransferControl> alive(&control);
    if (!control.StillExecuting())
        return true;
    QEventLoop loop;
    QObject::connect(&control, &TransferControl::CommandEnded, &loop, &QEventLoop::quit);
    QObject::connect(&control, &QObject::destroyed, &loop, &QEventLoop::quit);
    // A safety net: should the end ever be missed, the loop still notices within a moment.
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (!alive || !alive->StillExecuting())
            loop.quit();
    });
    check.start(250);
    if (control.StillExecuting())
        loop.exec();
    return !alive || !alive->StillExecuting();
}

std::optional<QStringList> readListedLines(TransferControl& control,
                                           const std::function<bool()>& pause) {
    QString buffer;
    for (QString chunk = control.GetChunk(1024); !chunk.isEmpty(); chunk = control.GetChunk(1024)) {
        if (pause && !pause())
            return std::nullopt;
        buffer += chunk;
    }
    return responseLines(buffer);
}

QString missingConnectionField(const ConnectionFields& fields) {
    if (fields.address.isEmpty())
        return QStringLiteral("You must key in IP Address");
    if (fields.login.isEmpty())
        return QStringLiteral("You must key in Login Name");
    if (fields.password.isEmpty())
        return QStringLiteral("You must key in password");
    return {};
}

void connectTransfer(TransferControl& control, const ConnectionFields& fields) {
    control.setURL(fields.address);
    control.setUserName(fields.login);
    control.setPassword(fields.password);
    control.setProtocol(TransferControl::icFTP);
}

QString saveConnectionFields(const QString& iniPath, const ConnectionFields& fields) {
    const QString values[] = {fields.address, fields.login, fields.password};
    for (int i = 0; i < 3; ++i) {
        QString error;
        if (!INIwrite(iniPath, kSection, QString::fromLatin1(kKeys[i]), values[i], &error))
            return QStringLiteral("The settings cannot be saved in %1: %2").arg(iniPath, error);
    }
    return {};
}

ConnectionFields readConnectionFields(const QString& iniPath) {
    ConnectionFields fields;
    QString* values[] = {&fields.address, &fields.login, &fields.password};
    for (int i = 0; i < 3; ++i)
        *values[i] = INIread(iniPath, kSection, QString::fromLatin1(kKeys[i]));
    return fields;
}

SearchResult runServerSearch(TransferControl& control, const SearchSteps& steps) {
    SearchResult result;
    prepareDataFolder();
    if (!listServerFolder(control, steps)) {
        result.status = SearchResult::Status::ListingFailed;
        return result;
    }
    result.unstorable = control.UnstorableNames();
    result.unstorableCount = control.UnstorableCount();
    QList<UnstorableName> notMergeFiles;
    const QStringList names = downloadableNames(steps.listing(), &notMergeFiles);
    result.unstorable += notMergeFiles;
    result.unstorableCount += static_cast<int>(notMergeFiles.size());
    removeCopiesNotListed(names);
    call(steps.chosen, names);
    call(steps.setMaximum, static_cast<int>(names.size()));
    downloadAll(control, steps, names, result);
    return result;
}

} // namespace qv
