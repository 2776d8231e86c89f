#include "settings/passwordkeyring.h"

namespace qv {

Prompting promptingForThisSession() {
    const bool display = !qgetenv("DISPLAY").isEmpty() || !qgetenv("WAYLAND_DISPLAY").isEmpty();
    return display ? Prompting::Allowed : Prompting::Never;
}

QString keyringProblemText(const KeyringReply& reply, const PasswordKey& key) {
    const QString login = QStringLiteral("%1 at %2:%3").arg(key.login, key.server).arg(key.port);
    const QString because =
        reply.reason.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(reply.reason);
    switch (reply.status) {
    case KeyringReply::Status::Done:
        break;
    case KeyringReply::Status::NotFound:
        return QStringLiteral("The desktop keyring holds no password for %1.").arg(login);
    case KeyringReply::Status::Locked:
        if (promptingForThisSession() == Prompting::Never)
            return QStringLiteral("The desktop keyring is locked%1, and without a display it "
                                  "cannot ask to be unlocked.")
                .arg(because);
        return QStringLiteral("The desktop keyring was not unlocked%1.").arg(because);
    case KeyringReply::Status::Unreachable:
        return QStringLiteral("The desktop keyring cannot be reached%1: no Secret Service (such "
                              "as GNOME Keyring) runs in this session.")
            .arg(because);
    case KeyringReply::Status::Failed:
        return QStringLiteral("The desktop keyring refused the password for %1%2.")
            .arg(login, because);
    }
    return {};
}

} // namespace qv
