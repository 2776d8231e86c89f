#include "transfer/search.h"

#include "app/form2.h"
#include "app/shapes.h"
#include "controls/command/command.h"
#include "mergefiles/mergefile.h"
#include "platform/dialogs.h"
#include "platform/programfolder.h"
#include "platform/twips.h"
#include "settings/inifile.h"
#include "transfer/remotename.h"
#include "transfer/transfercontrol.h"
#include "transfer/transferstatus.h"
#include "ui/animationplayer.h"
#include "ui/listview.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QProgressBar>
#include <QSet>
#include <QTimer>

namespace {

const QString kServerFolder = QStringLiteral("/u/vantrelle/accounts/");
const QString kCaption = QStringLiteral("Quorvane");

void arm(QTimer* timer, int ms) {
    timer->setInterval(ms);
    timer->start();
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

void hideProgressGroup(Form2& form) {
    form.Text7->hide();
    form.Text8->hide();
    form.Shape2->hide();
    form.Animation1->hide();
    form.Animation1->stop();
}

// The message box with Errormesg, then the window back to normal; the settings are not saved.
void finishWithMessage(Form2& form, BusyPointer& pointer) {
    qv::dialogs().message(&form, form.Errormesg, kCaption);
    form.Text6->setText(QString());
    form.ProgressBar1->hide();
    form.Command1->setEnabled(true);
    pointer.reset();
    arm(form.Timer3, 1000);
    hideProgressGroup(form);
    form.setEnabled(true);
}

// Removes the copies the previous search left in the data folder, making the folder when missing.
void clearDataFolder() {
    QDir data(qv::programPath(QStringLiteral("data")));
    if (!data.exists()) {
        QDir().mkpath(data.path());
        return;
    }
    data.setNameFilters({QStringLiteral("*.LET")});
    data.setFilter(QDir::Files | QDir::Hidden | QDir::CaseSensitive | QDir::System);
    for (const QString& name : data.entryList())
        data.remove(name); // a copy that cannot go is replaced or skipped later
}

// Adds the browser entry of a downloaded file.
void addEntry(Form2& form, const QString& name, const QString& localPath) {
    form.Image6->hide();
    form.Label2->hide();
    form.Label4->hide();
    form.Label5->hide();
    form.Label6->hide();
    form.ListView1->resize(form.ListView1->width(), qv::twipsToPixels(7650));
    form.ListView1->show();
    form.Image7->hide();

    const QString base = qv::MergeFileBaseName(name);
    int icon = HasMergeTemplate(base) ? 2 : 1;
    if (QFileInfo(localPath).size() == 0)
        icon = 4;
    const int row = form.ListView1->addItem(base, icon, icon);
    form.ListView1->setSubItem(
        row, 1, QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat));
    form.ListView1->setSubItem(row, 2, name);
    form.RecordCount = CountMergeRecords(name);
    form.ListView1->setSubItem(row, 3, QString::number(form.RecordCount));
}

} // namespace

void SearchServer(Form2& form) {
    BusyPointer pointer;

    // The three fields must hold something; only the first empty one is reported.
    if (form.Text10->text().isEmpty()) {
        form.Errormesg = QStringLiteral("You must key in IP Address");
        return finishWithMessage(form, pointer);
    }
    if (form.Text11->text().isEmpty()) {
        form.Errormesg = QStringLiteral("You must key in Login Name");
        return finishWithMessage(form, pointer);
    }
    if (form.Text12->text().isEmpty()) {
        form.Errormesg = QStringLiteral("You must key in password");
        return finishWithMessage(form, pointer);
    }

    // Preparation.
    form.setEnabled(false);
    form.Shape2->show();
    form.Animation1->show();
    form.Animation1->play();
    form.Timer1->stop();
    form.Timer1->setInterval(0);
    form.Text6->setText(QString());
    pointer.set();
    form.Command1->setEnabled(false);
    form.Text6->show();
    form.Text7->show();
    form.Text8->show();
    int count = 0;
    form.List1->clear();
    form.ListView1->clearItems();
    form.lstremotefiles->clear();
    form.ProgressBar1->setMinimum(0);
    form.ProgressBar1->setValue(0);
    form.ProgressBar1->show();
    form.Errorflag = false;
    form.Errormesg.clear();

    qv::TransferControl& inet = *form.Inet1;
    inet.setURL(form.Text10->text());
    form.Text7->setText(QStringLiteral("- Connecting ") + inet.URL());
    inet.setUserName(form.Text11->text());
    inet.setPassword(form.Text12->text());
    inet.setProtocol(qv::TransferControl::icFTP);
    form.iPendingCommand = 0;
    clearDataFolder();

    // Listing. A listing that cannot even start is an error like any other: the operator is told
    // why, and nothing is saved.
    if (inet.Execute(inet.URL(), QStringLiteral("DIR ") + kServerFolder + QStringLiteral("*.LET")))
        WaitForTransfer(form);
    else if (!inet.StillExecuting())
        TransferStateChanged(form, 11);
    form.ProgressBar1->setMaximum(form.lstremotefiles->count());
    if (form.Errorflag)
        return finishWithMessage(form, pointer);

    // The names to download. A name that could reach outside the data folder, or that is no
    // merge file name, is skipped here and never used.
    QSet<QString> seen;
    const int lines = form.lstremotefiles->count();
    for (form.RecordIndex = 0; form.RecordIndex < lines; ++form.RecordIndex) {
        const QString line = form.lstremotefiles->item(form.RecordIndex)->text();
        if (line.isEmpty() || !qv::IsSafeMergeFileName(line) || seen.contains(line))
            continue;
        seen.insert(line);
        form.List1->addItem(line);
    }
    form.ProgressBar1->setMaximum(form.List1->count());

    // Downloads.
    const int files = form.List1->count();
    for (int i = 0; i < files; ++i) {
        const QString name = form.List1->item(i)->text();
        form.List1->setCurrentRow(i);
        form.Text7->setText(QStringLiteral("- Downloading ") + name);
        const QString localPath = qv::programPath(QStringLiteral("data"), name);
        bool ok = inet.Execute(inet.URL(), QStringLiteral("GET ") + kServerFolder + name +
                                               QStringLiteral(" ") + localPath);
        if (ok) {
            WaitForTransfer(form);
            ok = inet.ResponseCode() == 0;
        }
        form.ProgressBar1->setValue(form.ProgressBar1->value() + 1);
        if (!ok || !QFileInfo(localPath).isFile())
            continue; // no copy, no entry; the next file follows
        ++count;
        form.Text6->setText(QStringLiteral("- Searching Server %1 files found").arg(count));
        addEntry(form, name, localPath);
    }

    // Completion. A setting that cannot be saved keeps its old value in the file.
    const QString ini = Form2::settingsPath();
    const QString section = QStringLiteral("Default");
    qv::INIwrite(ini, section, QStringLiteral("Ipaddress"), form.Text10->text());
    qv::INIwrite(ini, section, QStringLiteral("Login"), form.Text11->text());
    qv::INIwrite(ini, section, QStringLiteral("Password"), form.Text12->text());
    form.Text8->hide();
    form.Text7->hide();
    form.ProgressBar1->hide();
    form.Text6->setText(QStringLiteral("Search Complete %1 files found").arg(count));
    form.Command1->setEnabled(true);
    pointer.reset();
    if (count == 0)
        arm(form.Timer4, 1000);
    else
        arm(form.Timer2, 5000);
    hideProgressGroup(form);
    form.setEnabled(true);
    inet.Disconnect();
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
    form.GoBack();
    SearchServer(form);
}
