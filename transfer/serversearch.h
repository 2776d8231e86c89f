#pragma once

#include "transfer/remotename.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// The search of the server folder "/u/vantrelle/accounts/" without a window: the connection
// fields checked, the folder listed, every merge file downloaded into the data folder, and the
// connection fields saved. The copies of the previous search stay until the listing has
// succeeded; then each is replaced only by a complete new copy, and those of files no longer
// listed go. Every listed file that is not stored is reported with its reason. The Search button
// and the command line both run it (holding the program folder's SearchLock); each brings its
// own way of waiting and of showing the progress.
namespace qv {

class TransferControl;

inline const QString kServerFolder = QStringLiteral("/u/vantrelle/accounts/");

// The three connection fields, as typed or as "auto.ini" keeps them.
struct ConnectionFields {
    QString address, login, password;
};

// The first of the three fields that is empty, as the operator is told of it; "" when none is.
QString missingConnectionField(const ConnectionFields& fields);

// The control set up for the fields: URL, user name, password and FTP (every address form).
void connectTransfer(TransferControl& control, const ConnectionFields& fields);

// Saves the three fields in "auto.ini" (section "Default"), stopping at the first that cannot be
// saved: that one and those after it keep their old values, and its reason is returned ("" when
// all were saved).
QString saveConnectionFields(const QString& iniPath, const ConnectionFields& fields);

// The fields "auto.ini" holds.
ConnectionFields readConnectionFields(const QString& iniPath);

// Handles events until the control has ended its running command; sleeps while nothing happens.
// False when the wait ended with the command still running (the program is quitting).
bool waitForCommand(TransferControl& control);

// The lines of the finished listing the control holds, read in chunks. Between two chunks,
// pause() runs (the window lets its events through there); false from it ends the reading
// (nullopt).
std::optional<QStringList> readListedLines(TransferControl& control,
                                           const std::function<bool()>& pause = {});

struct SearchSteps {
    // Waits until the control's running command has ended.
    std::function<void()> wait;
    // The listing could not even start: reported as an error of the control.
    std::function<void()> startFailed;
    // After the listing: its lines, and whether it ended in an error.
    std::function<QStringList()> listing;
    std::function<bool()> failed;
    // The names chosen for download, in order, before the first starts. May be empty.
    std::function<void(const QStringList& names)> chosen;
    // Download i (from 0) of the chosen names begins. May be empty.
    std::function<void(int i, const QString& name)> downloading;
    // The status text ("- Connecting ...", "- Downloading ...") and the progress bar. May be empty.
    std::function<void(const QString& text)> status;
    std::function<void(int maximum)> setMaximum;
    std::function<void()> advance;
    // A copy has arrived; count is the number arrived so far. May be empty.
    std::function<void(const QString& name, const QString& localPath, int count)> arrived;
    // A chosen name was not stored, for the reason given. May be empty.
    std::function<void(const QString& name, const QString& reason)> notStored;
    // True once the search is to stop (the window closing). May be empty.
    std::function<bool()> cancelled;
};

// A listed merge file that was not stored, and why.
struct FailedFile {
    QString name;
    QString reason;
};

struct SearchResult {
    enum class Status { Listed, ListingFailed, WriteFailed, Cancelled };
    Status status = Status::Listed;
    int count = 0;      // copies that arrived
    QString writeError; // WriteFailed: the system's reason
    // The listed files not stored, in the listing's order: downloads that failed (each after
    // its last try), and after a local write error those not run.
    QList<FailedFile> failures;
    // Listed names that cannot be stored here (the first few), and how many there were.
    QList<UnstorableName> unstorable;
    int unstorableCount = 0;

    // Listed files not stored, downloads and names alike.
    int notStored() const { return static_cast<int>(failures.size()) + unstorableCount; }
};

// From the listing to the last download; the fields are not checked or saved here. The control
// must be set up (connectTransfer) and owned by the calling thread.
SearchResult runServerSearch(TransferControl& control, const SearchSteps& steps);

} // namespace qv
