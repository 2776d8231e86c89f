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
                        QStringLiteral("DIR ") + kServerFolder + QStringLiteral("*.LET")))
        steps.wait();
    else if (!control.StillExecuting())
        steps.startFailed();
    return !steps.failed();
}

QString copyPath(const QString& name) {
    return programPath(QStringLiteral("data"), name);
}

QString downloadCommand(const QString& name) {
    return QStringLiteral("GET ") + kServerFolder + name + QStringLiteral(" ") + copyPath(name);
}

// Runs the download command of one file; true when its copy is at localPath.
bool download(TransferControl& control, const SearchSteps& steps, const QString& name,
              const QString& command, const QString& localPath) {
    call(steps.status, QStringLiteral("- Downloading ") + name);
    bool ok = control.Execute(control.URL(), command);
    if (ok) {
        steps.wait();
        ok = control.ResponseCode() == 0;
    }
    call(steps.advance);
    return ok && QFileInfo(localPath).isFile();
}

bool isCancelled(const SearchSteps& steps) {
    return steps.cancelled && steps.cancelled();
}

// Downloads every chosen name, in order.
SearchResult downloadAll(TransferControl& control, const SearchSteps& steps,
                         const QStringList& names) {
    SearchResult result;
    // The worker goes from one file to the next without waiting for this thread to show each.
    QStringList commands;
    for (const QString& name : names)
        commands << downloadCommand(name);
    control.ReadAhead(control.URL(), commands);
    for (int i = 0; i < names.size(); ++i) {
        const QString& name = names[i];
        call(steps.downloading, i, name);
        const QString localPath = copyPath(name);
        const bool arrived = download(control, steps, name, commands[i], localPath);
        if (isCancelled(steps)) {
            result.status = SearchResult::Status::Cancelled;
            break;
        }
        if (control.ResponseCode() == TransferControl::kLocalWriteError) {
            // Nothing more can be stored here (a full disk): the search fails with the reason.
            result.status = SearchResult::Status::WriteFailed;
            result.writeError = control.ResponseInfo();
            break;
        }
        if (!arrived)
            continue; // no copy, no entry; the next file follows
        ++result.count;
        call(steps.arrived, name, localPath, result.count);
    }
    control.ReadAhead(control.URL(), {}); // a search that stopped early leaves none queued
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
    return ResponseLines(buffer);
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
    RemoveMergeCopies();
    if (!listServerFolder(control, steps)) {
        SearchResult failed;
        failed.status = SearchResult::Status::ListingFailed;
        return failed;
    }
    const QStringList names = DownloadableNames(steps.listing());
    call(steps.chosen, names);
    call(steps.setMaximum, static_cast<int>(names.size()));
    return downloadAll(control, steps, names);
}

} // namespace qv
