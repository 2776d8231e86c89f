#pragma once

#include "platform/desktophandler.h"
#include "platform/fileopener.h"
#include "platform/versionquery.h"

#include <QString>
#include <cstdint>
#include <functional>

namespace qv {
class DialogProvider;
namespace automation {
class Factory;
}
namespace output {
class MergeInteraction;
}
} // namespace qv

// What the program takes from its surroundings: folders, the system's version and colours, the
// desktop, dialogs, Office, the clocks of the balloons and the splash window, and the opening of
// the main window. One object holds them all; the
// program installs it at start-up and tests replace it whole. An empty member (or nullptr) means
// the real one.
namespace qv {

struct Services {
    // Where "auto.ini", "data", "Word" and the clips live. Empty: the executable's folder, or the
    // per-user folder when that cannot be written.
    QString programFolder;
    // Empty: what the system tells.
    VersionQuery versionQuery;
    // Empty: the desktop's handler.
    FileOpener fileOpener;
    // Which program the desktop opens a file type with. Empty: the desktop's associations.
    DesktopHandlerQuery desktopHandler;
    // nullptr: Qt's message box, question and input box.
    DialogProvider* dialogs = nullptr;
    // Real milliseconds a guidance timer waits for a given delay. Empty: the delay as given.
    std::function<int(int delayMs)> guidanceTimeBase;
    // Real milliseconds a balloon's auto-close timer waits for a given time. Empty: the time as
    // given.
    std::function<int(int autoCloseMs)> balloonTimeBase;
    // Opens the main window when the splash window closes at start. Empty: nothing opens.
    std::function<void()> openMainWindow;
    // How long the splash window stays open, in milliseconds.
    int splashCloseDelayMs = 4000;
    // Told of every record step of a record load (record i of n). Empty: nobody is told.
    std::function<void(qint64 record, qint64 total)> recordLoadObserver;
    // The colour (0x00BBGGRR) of a system colour number. Empty: the platform palette.
    std::function<std::uint32_t(int index)> systemColourSource;
    // The LibreOffice program. Empty: "soffice" or "libreoffice" found on the PATH.
    QString libreOfficeProgram;
    // Where new documents are saved. Empty: "Quorvane" in the user's documents folder.
    QString documentFolder;
    // The automation backend. nullptr: the one that writes Office Open XML files.
    automation::Factory* automationFactory = nullptr;
    // Answers Complete Merge's prompts and its question about a faulty template. nullptr: every
    // prompt takes its default answer and a faulty template stops the merge.
    output::MergeInteraction* mergeInteraction = nullptr;
    // The certificate authorities (a PEM file) that TLS servers are checked against. Empty: the
    // system's trust store.
    QString certificateAuthorities;
    // The SSH known_hosts file. Empty: ~/.ssh/known_hosts.
    QString knownHostsFile;
};

// The installed services.
const Services& services();
// Replaces the installed services whole.
void installServices(Services replacement);

// Installs services for its life and puts the previous ones back when it ends. Guards end in the
// reverse order of their start; one that ends out of turn stops the program.
class ScopedServices {
public:
    explicit ScopedServices(Services replacement);
    // The services installed now, with a change made to them.
    explicit ScopedServices(const std::function<void(Services&)>& change);
    ~ScopedServices();
    ScopedServices(const ScopedServices&) = delete;
    ScopedServices& operator=(const ScopedServices&) = delete;

private:
    Services previous_;
    const ScopedServices* outer_;
};

} // namespace qv
