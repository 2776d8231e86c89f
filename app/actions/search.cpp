#include "app/actions/search.h"

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
#include "transfer/serversearch.h"
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

namespace {

const QString kCaption = QStringLiteral("Quorvane");

using qv::guidance::SearchOutcome;

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

// The message box with Errormesg, then the window back to normal; the settings are not saved.
// A search the operator cancelled by closing the window says nothing.
void finishWithMessage(Form2& form, BusyPointer& pointer) {
    if (!form.closeRequested())
        qv::dialogs().message(&form, form.Errormesg, kCaption);
    pointer.reset();
    qv::guidance::ArmGuidanceAfterSearch(form, SearchOutcome::MessageBox);
    form.endSearch(QString());
}

// The three connection fields as typed.
qv::ConnectionFields typedFields(const Form2& form) {
    return {form.Text10->text(), form.Text11->text(), form.Text12->text()};
}

// The window and the transfer control made ready for a new search.
void prepare(Form2& form, BusyPointer& pointer) {
    qv::guidance::StopGuidanceOnSearch(form);
    form.beginSearch();
    pointer.set();
    form.List1->clear();
    form.ListView1->clearItems();
    form.lstremotefiles->clear();
    form.Errorflag = false;
    form.Errormesg.clear();

    qv::TransferControl& inet = *form.Inet1;
    qv::connectTransfer(inet, typedFields(form));
    form.Text7->setText(QStringLiteral("- Connecting ") + inet.URL());
    inet.setTrustPrompt([&form](const auto& server) { return AskToTrustServer(form, server); });
    form.iPendingCommand = 0;
}

// Adds the browser entry of a downloaded file, under the name the operator sees for it.
void addEntry(Form2& form, qv::MergeTemplates& templates, const QString& name, const QString& base,
              const QString& localPath) {
    form.showBrowser();
    const int icon = MergeFileIcon(templates.has(base), QFileInfo(localPath).size());
    const int row = form.ListView1->addItem(base, icon, icon);
    form.ListView1->setSubItem(row, 1, qv::generalDate(QDateTime::currentDateTime()));
    form.ListView1->setSubItem(row, 2, name);
    form.RecordCount = CountMergeRecords(name);
    form.ListView1->setSubItem(row, 3, QString::number(form.RecordCount));
}

// The search's steps as the window shows them: the listing goes through lstremotefiles, the
// names to download through List1 (the one being downloaded current), the progress into Text6,
// Text7 and the progress bar.
qv::SearchSteps windowSteps(Form2& form, qv::PacedRow& tried, qv::MergeTemplates& templates) {
    qv::SearchSteps steps;
    // The name each download is shown under: its merge file's name, or the name as stored where
    // another download has the same merge file name.
    auto shown = std::make_shared<QHash<QString, QString>>();
    steps.wait = [&form] { WaitForTransfer(form); };
    steps.startFailed = [&form] { TransferStateChanged(form, qv::code(qv::TransferState::Error)); };
    steps.listing = [&form] {
        form.ProgressBar1->setMaximum(form.lstremotefiles->count());
        QStringList listed;
        for (int i = 0; i < form.lstremotefiles->count(); ++i)
            listed << form.lstremotefiles->item(i)->text();
        return listed;
    };
    steps.failed = [&form] { return form.Errorflag; };
    steps.chosen = [&form, shown](const QStringList& names) {
        form.List1->addItems(names);
        const QStringList display = qv::MergeFileDisplayNames(names);
        for (qsizetype i = 0; i < names.size(); ++i)
            shown->insert(names[i], display[i]);
    };
    steps.downloading = [&tried](int i, const QString&) { tried.follow(i); };
    steps.status = [&form](const QString& text) { form.Text7->setText(text); };
    steps.setMaximum = [&form](int maximum) { form.ProgressBar1->setMaximum(maximum); };
    steps.advance = [&form] { form.ProgressBar1->setValue(form.ProgressBar1->value() + 1); };
    steps.arrived = [&form, &templates, shown](const QString& name, const QString& localPath,
                                               int count) {
        form.Text6->setText(QStringLiteral("- Searching Server %1 files found").arg(count));
        addEntry(form, templates, name, shown->value(name, qv::MergeFileBaseName(name)), localPath);
    };
    steps.cancelled = [&form] { return form.closeRequested(); };
    return steps;
}

// The new entries of the browser reach its view together, a few dozen times a second: laying
// out every icon again for each arrival would cost more than the download.
class GatheredEntries {
public:
    explicit GatheredEntries(ListView& browser) : browser_(browser) {
        browser_.setGatherNewItems(true);
    }
    ~GatheredEntries() { browser_.setGatherNewItems(false); }
    GatheredEntries(const GatheredEntries&) = delete;
    GatheredEntries& operator=(const GatheredEntries&) = delete;

private:
    ListView& browser_;
};

// The listing and the downloads, shown in the window. The name being downloaded is the current
// row of List1; moving it scrolls the list, so it moves at the window's repaint rate and the last
// name tried ends current.
qv::SearchResult runSearch(Form2& form) {
    const GatheredEntries gathered(*form.ListView1);
    qv::PacedRow tried([&form](int row) { form.List1->setCurrentRow(row); },
                       qv::kShowProgressEveryMs);
    qv::MergeTemplates templates;
    const qv::SearchResult done =
        qv::runServerSearch(*form.Inet1, windowSteps(form, tried, templates));
    if (!form.closeRequested())
        tried.finish();
    return done;
}

} // namespace

void SearchServer(Form2& form) {
    Form2::Work work(form);
    // Every file changes the texts, the bar and the browser: the window shows them at a steady
    // rate rather than after each file.
    const qv::RepaintPacer pacer(&form);
    BusyPointer pointer;
    form.Errormesg = qv::unusableConnectionField(typedFields(form));
    if (!form.Errormesg.isEmpty())
        return finishWithMessage(form, pointer);

    prepare(form, pointer);
    using Status = qv::SearchResult::Status;
    const qv::SearchResult done = runSearch(form);
    if (done.status == Status::ListingFailed)
        return finishWithMessage(form, pointer);
    if (form.closeRequested())
        return; // cancelled by closing the window: nothing is saved
    if (done.status == Status::WriteFailed) {
        form.Errormesg = done.writeError;
        return finishWithMessage(form, pointer);
    }
    const int count = done.count;

    form.Errormesg = qv::saveConnectionFields(Form2::settingsPath(), typedFields(form));
    if (!form.Errormesg.isEmpty())
        return finishWithMessage(form, pointer);
    pointer.reset();
    qv::guidance::ArmGuidanceAfterSearch(form, count == 0 ? SearchOutcome::NoFiles
                                                          : SearchOutcome::FilesDownloaded);
    form.endSearch(QStringLiteral("Search Complete %1 files found").arg(count));
    form.Inet1->Disconnect();
}

void DeleteOnServer(Form2& form) {
    const QString name = form.Text1->text();
    if (!qv::IsSafeMergeFileName(form.selectedMergeFile()))
        return; // not a name the browser could have shown
    if (!qv::dialogs().confirm(&form, QStringLiteral("Delete %1 from the server?").arg(name),
                               kCaption))
        return;
    // The window stays disabled while the delete runs, so no second command can start meanwhile.
    Form2::Work work(form);
    form.setEnabled(false);
    const QString stored = form.selectedMergeFile();
    if (form.Inet1->Execute(form.Inet1->URL(),
                            QStringLiteral("DELETE ") + qv::kServerFolder + stored))
        WaitForTransfer(form);
    if (form.closeRequested())
        return;
    form.setEnabled(true);
    form.showSettings();
    SearchServer(form);
}
