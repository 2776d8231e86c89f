#pragma once

#include <QString>
#include <memory>

// The desktop's secret store as the settings use it: one password a server login, found by the
// server's address, its port and the login. The window and the command line reach the store
// through this interface; tests may put a store of their own in its place.
namespace qv {

// What a password is filed under.
struct PasswordKey {
    QString server; // the host as the address names it
    int port = 0;
    QString login;
};

// Whether the store may ask the operator (the desktop's own unlock prompt). Without a display
// nobody could answer, so the store is never asked to prompt then.
enum class Prompting { Allowed, Never };

// The answer of the store.
struct KeyringReply {
    enum class Status {
        Done,        // stored, removed, or found (password)
        NotFound,    // no password is filed under the key
        Locked,      // the keyring is locked and was not unlocked
        Unreachable, // no secret service answers (no desktop session, no keyring daemon)
        Failed,      // the service answered with an error
    };
    Status status = Status::Done;
    QString password; // found by lookup
    QString reason;   // the service's own words, when it gave any

    bool done() const { return status == Status::Done; }
};

class PasswordKeyring {
public:
    virtual ~PasswordKeyring() = default;
    // The password filed under key. A locked keyring is unlocked through the service's prompt
    // when prompting is allowed, and reported as Locked otherwise.
    virtual KeyringReply lookup(const PasswordKey& key, Prompting prompting) = 0;
    // Files password under key, in place of any password filed there before.
    virtual KeyringReply store(const PasswordKey& key, const QString& password,
                               Prompting prompting) = 0;
    // Removes what is filed under key; Done when nothing was.
    virtual KeyringReply remove(const PasswordKey& key, Prompting prompting) = 0;
};

// The desktop's Secret Service (GNOME Keyring, KWallet's Secret Service, KeePassXC, ...).
std::unique_ptr<PasswordKeyring> desktopKeyring();

// Allowed when the process has a display to prompt on (DISPLAY or WAYLAND_DISPLAY set).
Prompting promptingForThisSession();

// What the operator is told of a reply that is not Done, naming the login and server.
QString keyringProblemText(const KeyringReply& reply, const PasswordKey& key);

} // namespace qv
