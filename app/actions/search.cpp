#include "app/actions/search.h"

#include "app/actions/transferstatus.h"
#include "app/form2.h"
#include "app/guidance.h"
#include "controls/command/command.h"
#include "mergefiles/mergefile.h"
#include "platform/dialogs.h"
#include "platform/programfolder.h"
#include "platform/twips.h"
#include "settings/inifile.h"
#include "transfer/remotename.h"
#include "transfer/transfercontrol.h"
#include "ui/animationplayer.h"
#include "ui/listview.h"
#include "ui/shapes.h"

#include <QDateTime>
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
void finishWithMessage(Form2& form, BusyPointer& pointer) {
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
    inet.setTrustPrompt([&form](const auto& server) { return AskToTrustServer(form, server); });
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
    form.ListView1->setSubItem(
        row, 1, QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat));
    form.ListView1->setSubItem(row, 2, name);
    form.RecordCount = CountMergeRecords(name);
    form.ListView1->setSubItem(row, 3, QString::number(form.RecordCount));
}

// Downloads every chosen file, each with its entry; returns how many arrived.
int downloadAll(Form2& form) {
    int count = 0;
    for (int i = 0; i < form.List1->count(); ++i) {
        const QString name = form.List1->item(i)->text();
        form.List1->setCurrentRow(i);
        const QString localPath = qv::programPath(QStringLiteral("data"), name);
        if (!download(form, name, localPath))
            continue; // no copy, no entry; the next file follows
        ++count;
        form.Text6->setText(QStringLiteral("- Searching Server %1 files found").arg(count));
        addEntry(form, name, localPath);
    }
    return count;
}

// A setting that cannot be saved keeps its old value in the file.
void saveSettings(const Form2& form) {
    const QString ini = Form2::settingsPath();
    const QString section = QStringLiteral("Default");
    qv::INIwrite(ini, section, QStringLiteral("Ipaddress"), form.Text10->text());
    qv::INIwrite(ini, section, QStringLiteral("Login"), form.Text11->text());
    qv::INIwrite(ini, section, QStringLiteral("Password"), form.Text12->text());
}

} // namespace

void SearchServer(Form2& form) {
    BusyPointer pointer;
    form.Errormesg = missingField(form);
    if (!form.Errormesg.isEmpty())
        return finishWithMessage(form, pointer);

    prepare(form, pointer);
    RemoveMergeCopies();
    if (!listServerFolder(form))
        return finishWithMessage(form, pointer);
    chooseDownloads(form);
    const int count = downloadAll(form);

    saveSettings(form);
    pointer.reset();
    qv::guidance::ArmGuidanceAfterSearch(form, count == 0 ? SearchOutcome::NoFiles
                                                          : SearchOutcome::FilesDownloaded);
    form.endSearch(QStringLiteral("Search Complete %1 files found").arg(count));
    form.Inet1->Disconnect();
}

void DeleteOnServer(Form2& form) {
    const QString name = form.Text1->text();
    if (!qv::IsSafeMergeFileName(name + QStringLiteral(".LET")))
        return; // not a name the browser could have shown
    if (!qv::dialogs().confirm(&form, QStringLiteral("Delete %1 from the server?").arg(name),
                               kCaption))
        return;
    // The window stays disabled while the delete runs, so no second command can start meanwhile.
    form.setEnabled(false);
    if (form.Inet1->Execute(form.Inet1->URL(), QStringLiteral("DELETE ") + kServerFolder + name +
                                                   QStringLiteral(".LET")))
        WaitForTransfer(form);
    form.setEnabled(true);
    form.showSettings();
    SearchServer(form);
}
