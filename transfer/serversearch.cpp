#include "transfer/serversearch.h"

#include "mergefiles/mergefile.h"
#include "platform/programfolder.h"
#include "settings/inifile.h"
#include "transfer/remotename.h"
#include "transfer/statustext.h"
#include "transfer/transfercontrol.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>

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

// Downloads every chosen name as one command of the control: the files arrive over several
// connections at once, and are shown here one by one in the order of the names.
SearchResult downloadAll(TransferControl& control, const SearchSteps& steps,
                         const QStringList& names) {
    SearchResult result;
    if (names.isEmpty())
        return result;
    QList<transfer::FtpCommand> commands;
    for (const QString& name : names)
        commands << downloadCommand(name);
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
            } else if (control.ResponseCode() == TransferControl::kLocalWriteError) {
                // Nothing more can be stored here (a full disk): the search fails with the reason.
                result.status = SearchResult::Status::WriteFailed;
                result.writeError = control.ResponseInfo();
                stopped = true;
            } else if (control.ResponseCode() == 0 && QFileInfo(copyPath(names[i])).isFile()) {
                ++result.count;
                call(steps.arrived, names[i], copyPath(names[i]), result.count);
            } // no copy, no entry; the next file follows
        });
    if (control.DownloadAll(control.URL(), commands))
        steps.wait();
    QObject::disconnect(started);
    QObject::disconnect(finished);
    if (!stopped && isCancelled(steps))
        result.status = SearchResult::Status::Cancelled;
    return result;
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
    removeMergeCopies();
    if (!listServerFolder(control, steps)) {
        SearchResult failed;
        failed.status = SearchResult::Status::ListingFailed;
        return failed;
    }
    const QStringList names = downloadableNames(steps.listing());
    call(steps.chosen, names);
    call(steps.setMaximum, static_cast<int>(names.size()));
    return downloadAll(control, steps, names);
}

} // namespace qv
