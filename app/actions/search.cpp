#include "app/actions/search.h"

#include "app/actions/transferstatus.h"
#include "app/form2.h"
#include "app/guidance.h"
#include "controls/command/command.h"
#include "mergefiles/mergefile.h"
#include "platform/dates.h"
#include "platform/dialogs.h"
#include "platform/programfolder.h"
#include "platform/twips.h"
#include "settings/inifile.h"
#include "transfer/remotename.h"
#include "transfer/transfercontrol.h"
#include "ui/animationplayer.h"
#include "ui/listview.h"
#include "ui/repaintpacer.h"
#include "ui/shapes.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QProgressBar>

namespace {

const QString kServerFolder = QStringLiteral("/u/vantrelle/accounts/");
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

// The first of the three connection fields that is empty, as the operator is told of it.
QString missingField(const Form2& form) {
    if (form.Text10->text().isEmpty())
        return QStringLiteral("You must key in IP Address");
    if (form.Text11->text().isEmpty())
        return QStringLiteral("You must key in Login Name");
    if (form.Text12->text().isEmpty())
        return QStringLiteral("You must key in password");
    return {};
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
    inet.setURL(form.Text10->text());
    form.Text7->setText(QStringLiteral("- Connecting ") + inet.URL());
    inet.setUserName(form.Text11->text());
    inet.setPassword(form.Text12->text());
    inet.setProtocol(qv::TransferControl::icFTP);
    form.iPendingCommand = 0;
}

// Lists the server folder into lstremotefiles. A listing that cannot even start is an error like
// any other. False when the search cannot go on.
bool listServerFolder(Form2& form) {
    qv::TransferControl& inet = *form.Inet1;
    if (inet.Execute(inet.URL(), QStringLiteral("DIR ") + kServerFolder + QStringLiteral("*.LET")))
        WaitForTransfer(form);
    else if (!inet.StillExecuting())
        TransferStateChanged(form, qv::code(qv::TransferState::Error));
    form.ProgressBar1->setMaximum(form.lstremotefiles->count());
    return !form.Errorflag;
}

// The names to download into List1. A name that could reach outside the data folder, or that is
// no merge file name, is skipped here and never used.
void chooseDownloads(Form2& form) {
    QStringList listed;
    for (int i = 0; i < form.lstremotefiles->count(); ++i)
        listed << form.lstremotefiles->item(i)->text();
    form.List1->addItems(qv::DownloadableNames(listed));
    form.ProgressBar1->setMaximum(form.List1->count());
}

// Downloads one file into the data folder; true when its copy is there.
bool download(Form2& form, const QString& name, const QString& localPath) {
    qv::TransferControl& inet = *form.Inet1;
    form.Text7->setText(QStringLiteral("- Downloading ") + name);
    bool ok = inet.Execute(inet.URL(), QStringLiteral("GET ") + kServerFolder + name +
                                           QStringLiteral(" ") + localPath);
    if (ok) {
        WaitForTransfer(form);
        ok = inet.ResponseCode() == 0;
    }
    form.ProgressBar1->setValue(form.ProgressBar1->value() + 1);
    return ok && QFileInfo(localPath).isFile();
}

// Adds the browser entry of a downloaded file.
void addEntry(Form2& form, const QString& name, const QString& localPath) {
    form.showBrowser();
    const QString base = qv::MergeFileBaseName(name);
    const int icon = MergeFileIcon(base, QFileInfo(localPath).size());
    const int row = form.ListView1->addItem(base, icon, icon);
    form.ListView1->setSubItem(row, 1, qv::generalDate(QDateTime::currentDateTime()));
    form.ListView1->setSubItem(row, 2, name);
    form.RecordCount = CountMergeRecords(name);
    form.ListView1->setSubItem(row, 3, QString::number(form.RecordCount));
}

struct Downloads {
    int count = 0;            // copies that arrived, each with its entry
    bool writeFailed = false; // a copy could not be written here; Errormesg says why
};

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

// Downloads every chosen file, each with its entry.
Downloads downloadAll(Form2& form) {
    Downloads done;
    const GatheredEntries gathered(*form.ListView1);
    // The name being downloaded is the current row of List1. Moving it scrolls the list, so it
    // moves at the window's repaint rate; the last name tried ends current.
    QElapsedTimer rowMoved;
    int tried = -1;
    for (int i = 0; i < form.List1->count(); ++i) {
        const QString name = form.List1->item(i)->text();
        tried = i;
        if (!rowMoved.isValid() || rowMoved.elapsed() >= qv::RepaintPacer::kIntervalMs) {
            form.List1->setCurrentRow(i);
            rowMoved.start();
        }
        const QString localPath = qv::programPath(QStringLiteral("data"), name);
        const bool arrived = download(form, name, localPath);
        if (form.closeRequested())
            break; // the window is closing: the search stops here
        if (form.Inet1->ResponseCode() == qv::TransferControl::kLocalWriteError) {
            // Nothing more can be stored here (a full disk): the search fails with the reason.
            form.Errormesg = form.Inet1->ResponseInfo();
            done.writeFailed = true;
            break;
        }
        if (!arrived)
            continue; // no copy, no entry; the next file follows
        ++done.count;
        form.Text6->setText(QStringLiteral("- Searching Server %1 files found").arg(done.count));
        addEntry(form, name, localPath);
    }
    if (tried >= 0 && !form.closeRequested())
        form.List1->setCurrentRow(tried);
    return done;
}

// Saves the three fields. A setting that cannot be saved keeps its old value in the file; the
// first failure's reason is returned (empty when all were saved).
QString saveSettings(const Form2& form) {
    const QString ini = Form2::settingsPath();
    const QString section = QStringLiteral("Default");
    const std::pair<const char*, const QLineEdit*> fields[] = {
        {"Ipaddress", form.Text10}, {"Login", form.Text11}, {"Password", form.Text12}};
    QString failure;
    for (const auto& [key, field] : fields) {
        QString error;
        if (!qv::INIwrite(ini, section, QString::fromLatin1(key), field->text(), &error) &&
            failure.isEmpty())
            failure = QStringLiteral("The settings cannot be saved in %1: %2").arg(ini, error);
    }
    return failure;
}

} // namespace

void SearchServer(Form2& form) {
    Form2::Work work(form);
    // Every file changes the texts, the bar and the browser: the window shows them at a steady
    // rate rather than after each file.
    const qv::RepaintPacer pacer(&form);
    BusyPointer pointer;
    form.Errormesg = missingField(form);
    if (!form.Errormesg.isEmpty())
        return finishWithMessage(form, pointer);

    prepare(form, pointer);
    RemoveMergeCopies();
    if (!listServerFolder(form))
        return finishWithMessage(form, pointer);
    chooseDownloads(form);
    const Downloads done = downloadAll(form);
    if (form.closeRequested())
        return; // cancelled by closing the window: nothing is saved
    if (done.writeFailed)
        return finishWithMessage(form, pointer);
    const int count = done.count;

    form.Errormesg = saveSettings(form);
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
    if (form.Inet1->Execute(form.Inet1->URL(), QStringLiteral("DELETE ") + kServerFolder + stored))
        WaitForTransfer(form);
    if (form.closeRequested())
        return;
    form.setEnabled(true);
    form.showSettings();
    SearchServer(form);
}
