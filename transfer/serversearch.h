#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// The search of the server folder "/u/vantrelle/accounts/" without a window: the connection
// fields checked, the copies of the previous search removed, the folder listed, every merge file
// downloaded into the data folder, and the connection fields saved. The Search button and the
// command line both run it; each brings its own way of waiting and of showing the progress.
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
    // True once the search is to stop (the window closing). May be empty.
    std::function<bool()> cancelled;
};

struct SearchResult {
    enum class Status { Listed, ListingFailed, WriteFailed, Cancelled };
    Status status = Status::Listed;
    int count = 0;      // copies that arrived
    QString writeError; // WriteFailed: the system's reason
};

// From the removal of the old copies to the last download; the fields are not checked or saved
// here. The control must be set up (connectTransfer) and owned by the calling thread.
SearchResult runServerSearch(TransferControl& control, const SearchSteps& steps);

} // namespace qv
