#include "guidance/guidancemessages.h"

#include "platform/twips.h"

namespace qv::guidance {

QString title() {
    return QStringLiteral("Getting Started with Quorvane");
}

QString text(Message m) {
    switch (m) {
    case Message::Start:
        return QStringLiteral(
                   "Click the SEARCH button to start search on the Norrevan server for merge "
                   "files.") +
               QStringLiteral(" The Merge files will appear as Icons in the window to the Left.");
    case Message::Select:
        return QStringLiteral("Click on any Icon to Select it. Blank Document Icons are merge ") +
               QStringLiteral("files with no Template. A Word Document Icon can be mailmerged "
                              "directly to an existing template");
    case Message::Settings:
        return QStringLiteral("Make sure that the IP Address, Login, and Password are ") +
               QStringLiteral("correctly set up. You can change these settings below and run "
                              "search again. If the problem persists contact your System "
                              "Administrator.");
    case Message::NoFiles:
        // "Server." and "Then" meet without a space: the message has always read so.
        return QStringLiteral("The Norrevan server was detected by the ") +
               QStringLiteral("Search program but no Merge files were present. Make sure that "
                              "there are merge files created on the Norrevan Server.") +
               QStringLiteral("Then Click on search again.");
    }
    return {};
}

int delayMs(Message m) {
    switch (m) {
    case Message::Start:
        return 10000;
    case Message::Select:
        return 5000;
    case Message::Settings:
    case Message::NoFiles:
        return 1000;
    }
    return 0;
}

int autoCloseMs(Message m) {
    return m == Message::NoFiles ? 0 : 4000;
}

Message messageAfter(SearchOutcome outcome) {
    switch (outcome) {
    case SearchOutcome::FilesDownloaded:
        return Message::Select;
    case SearchOutcome::MessageBox:
        return Message::Settings;
    case SearchOutcome::NoFiles:
        return Message::NoFiles;
    }
    return Message::Settings;
}

int timerNumber(Message m) {
    return static_cast<int>(m) + 1;
}

QPoint anchorTwips(Message m, const QRect& r) {
    const double twipsPerPixel = qv::kTwipsPerPixel;
    double x = r.left() * twipsPerPixel;
    double y = (m == Message::Start ? r.top() + r.height() : r.top()) * twipsPerPixel;
    if (m == Message::Select) {
        x += 1000;
        y += 1000;
    }
    return {qv::roundHalfEven(x), qv::roundHalfEven(y)};
}

} // namespace qv::guidance
