#include "app/actions/search.h"

#include "app/actions/passwordstore.h"
#include "app/actions/transferstatus.h"
#include "app/form2.h"
#include "app/guidance.h"
#include "controls/command/command.h"
#include "mergefiles/mergefile.h"
#include "mergefiles/mergetemplates.h"
#include "platform/dates.h"
#include "platform/pacedrow.h"
#include "platform/pacing.h"
#include "platform/programfolder.h"
#include "platform/twips.h"
#include "transfer/connectionfields.h"
#include "transfer/remotename.h"
#include "transfer/searchlock.h"
#include "transfer/searchreport.h"
#include "transfer/serversearch.h"
#include "transfer/statustext.h"
#include "transfer/transfercontrol.h"
#include "ui/animationplayer.h"
#include "ui/dialogs.h"
#include "ui/listview.h"
#include "ui/repaintpacer.h"
#include "ui/shapes.h"

#include <QDateTime>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QProgressBar>

#include <optional>

namespace {

const QString kCaption = QStringLiteral("Quorvane");

using qv::guidance::SearchOutcome;

// The message of the error the transfer control ended its command with.
QString connectionError(const qv::TransferControl& inet) {
    return qv::connectionErrorMessage(inet.ResponseCode(), inet.ResponseInfo());
}

// The hourglass, set once per search and taken back once.
class BusyPointer {
public:
    void set() {
        if (!set_)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        set_ = true;
    }
    void reset() {
        if (set_)
            QGuiApplication::restoreOverrideCursor();
        set_ = false;
    }
    ~BusyPointer() { reset(); }

private:
    bool set_ = false;
};

// The message box with why the search stopped, then the window back to normal with the summary
// given (none unless given); the settings are not saved. A search the operator cancelled by
// closing the window says nothing.
void finishWithMessage(Form2& form, BusyPointer& pointer, const QString& message,
                       const QString& summary = {}) {
    if (!form.closeRequested())
        qv::dialogs().message(&form, message, kCaption);
    pointer.reset();
    qv::guidance::armGuidanceAfterSearch(form, SearchOutcome::MessageBox);
    form.endSearch(summary);
}

// The three connection fields as typed.
qv::ConnectionFields typedFields(const Form2& form) {
    return form.settings.credentials();
}

// The window and the transfer control made ready for a new search.
void prepare(Form2& form, BusyPointer& pointer) {
    qv::guidance::stopGuidanceOnSearch(form);
    form.beginSearch();
    pointer.set();
    form.progress.clearLists();
    form.browser.clearMergeFiles();

    qv::TransferControl& inet = *form.transfer;
    qv::connectTransfer(inet, typedFields(form));
    form.progress.setStep(QStringLiteral("- Connecting ") + inet.URL());
    inet.setTrustPrompt([&form](const auto& server) { return askToTrustServer(form, server); });
}

// Adds the browser entry of a downloaded file, under the name the operator sees for it.
void addEntry(Form2& form, qv::MergeTemplates& templates, const QString& name, const QString& base,
              const QString& localPath) {
    form.showBrowser();
    const int icon = mergeFileIcon(templates.has(base), QFileInfo(localPath).size());
    form.browser.addMergeFile({base, qv::generalDate(QDateTime::currentDateTime()), name,
                               QString::number(countMergeRecords(name))},
                              icon);
}

// The search's steps as the window shows them: the listing goes through the progress panel's list
// of listed names, the names to download through its list of downloads (the one being downloaded
// marked), the progress into its summary, step line and bar. A connection error ends the
// listing with its message in failure.
qv::SearchSteps windowSteps(Form2& form, qv::PacedRow& tried, qv::MergeTemplates& templates,
                            std::optional<QString>& failure) {
    qv::SearchSteps steps;
    // The name each download is shown under: its merge file's name, or the name as stored where
    // another download has the same merge file name.
    auto shown = std::make_shared<QHash<QString, QString>>();
    // Files stored and not stored so far, for the summary.
    auto tally = std::make_shared<std::pair<int, int>>(0, 0);
    const auto showTally = [&form, tally] {
        QString text = QStringLiteral("- Searching Server %1 files found").arg(tally->first);
        if (tally->second > 0)
            text += QStringLiteral(", %1 not stored").arg(tally->second);
        form.progress.setSummary(text);
    };
    steps.wait = [&form] { waitForTransfer(form); };
    steps.startFailed = [&form, &failure] {
        transferStateChanged(form, qv::code(qv::TransferState::Error));
        failure = connectionError(*form.transfer);
    };
    steps.listing = [&form] {
        const QStringList listed = form.progress.listedFiles();
        form.progress.countTo(static_cast<int>(listed.size()));
        return listed;
    };
    steps.failed = [&failure] { return failure.has_value(); };
    steps.chosen = [&form, shown](const QStringList& names) {
        form.progress.addDownloads(names);
        const QStringList display = qv::mergeFileDisplayNames(names);
        for (qsizetype i = 0; i < names.size(); ++i)
            shown->insert(names[i], display[i]);
    };
    steps.downloading = [&tried](int i, const QString&) { tried.follow(i); };
    steps.status = [&form](const QString& text) { form.progress.setStep(text); };
    steps.setMaximum = [&form](int maximum) { form.progress.countTo(maximum); };
    steps.advance = [&form] { form.progress.advance(); };
    steps.arrived = [&form, &templates, shown, tally,
                     showTally](const QString& name, const QString& localPath, int count) {
        tally->first = count;
        showTally();
        addEntry(form, templates, name, shown->value(name, qv::mergeFileBaseName(name)), localPath);
    };
    steps.notStored = [tally, showTally](const QString&, const QString&) {
        ++tally->second;
        showTally();
    };
    steps.cancelled = [&form] { return form.closeRequested(); };
    return steps;
}

// The new entries of the browser reach its view together, a few dozen times a second: laying
// out every icon again for each arrival would cost more than the download.
class GatheredEntries {
public:
    explicit GatheredEntries(BrowserPanel& browser) : browser_(browser) {
        browser_.gatherNewEntries(true);
    }
    ~GatheredEntries() { browser_.gatherNewEntries(false); }
    GatheredEntries(const GatheredEntries&) = delete;
    GatheredEntries& operator=(const GatheredEntries&) = delete;

private:
    BrowserPanel& browser_;
};

// What a search in the window came to; failure says why a listing failed.
struct WindowSearch {
    qv::SearchResult done;
    QString failure;
};

// The listing and the downloads, shown in the window. The name being downloaded is the marked
// row of the progress panel's downloads; moving it scrolls the list, so it moves at the window's
// repaint rate and the last name tried ends current.
WindowSearch runSearch(Form2& form) {
    const GatheredEntries gathered(form.browser);
    qv::PacedRow tried([&form](int row) { form.progress.markDownload(row); },
                       qv::kShowProgressEveryMs);
    qv::MergeTemplates templates;
    std::optional<QString> failure;
    qv::TransferControl& inet = *form.transfer;
    const QMetaObject::Connection errors =
        QObject::connect(&inet, &qv::TransferControl::StateChanged, &form, [&](qint16 state) {
            if (state == qv::code(qv::TransferState::Error))
                failure = connectionError(inet);
        });
    const qv::SearchResult done =
        qv::runServerSearch(inet, windowSteps(form, tried, templates, failure));
    QObject::disconnect(errors);
    if (!form.closeRequested())
        tried.finish();
    return {done, failure.value_or(QString())};
}

} // namespace

void searchServer(Form2& form) {
    Form2::Work work(form);
    // Every file changes the texts, the bar and the browser: the window shows them at a steady
    // rate rather than after each file.
    const qv::RepaintPacer pacer(&form);
    BusyPointer pointer;
    if (const QString unusable = qv::unusableConnectionField(typedFields(form));
        !unusable.isEmpty())
        return finishWithMessage(form, pointer, unusable);
    // Held to the end: another search on this program folder is told so, and changes nothing.
    qv::SearchLock lock;
    if (!lock.acquire())
        return finishWithMessage(form, pointer, lock.message());

    prepare(form, pointer);
    using Status = qv::SearchResult::Status;
    const WindowSearch search = runSearch(form);
    if (search.done.status == Status::ListingFailed)
        return finishWithMessage(form, pointer, search.failure);
    if (form.closeRequested())
        return; // cancelled by closing the window: nothing is saved
    if (search.done.status == Status::WriteFailed)
        return finishWithMessage(form, pointer, qv::searchEndMessage(search.done),
                                 qv::searchSummary(search.done));
    const int count = search.done.count;

    if (const QString unsaved = saveSearchSettings(form); !unsaved.isEmpty())
        return finishWithMessage(form, pointer, unsaved);
    pointer.reset();
    form.endSearch(qv::searchSummary(search.done));
    // What was listed and not stored, file by file, before the guidance goes on.
    if (search.done.notStored() > 0)
        qv::dialogs().message(&form, qv::searchEndMessage(search.done), kCaption);
    qv::guidance::armGuidanceAfterSearch(form, count == 0 ? SearchOutcome::NoFiles
                                                          : SearchOutcome::FilesDownloaded);
    form.transfer->Disconnect();
}

void deleteOnServer(Form2& form) {
    const QString name = form.details.fileName();
    if (!qv::isSafeMergeFileName(form.selectedMergeFile()))
        return; // not a name the browser could have shown
    if (!qv::dialogs().confirm(&form, QStringLiteral("Delete %1 from the server?").arg(name),
                               kCaption))
        return;
    // The window stays disabled while the delete runs, so no second command can start meanwhile.
    Form2::Work work(form);
    form.setEnabled(false);
    const QString stored = form.selectedMergeFile();
    if (form.transfer->Execute(form.transfer->URL(),
                               qv::transfer::FtpCommand::remove(qv::kServerFolder + stored)))
        waitForTransfer(form);
    if (form.closeRequested())
        return;
    form.setEnabled(true);
    form.showSettings();
    searchServer(form);
}
