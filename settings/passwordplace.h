#pragma once

#include "settings/passwordkeyring.h"

#include <QString>

// Where the server password lives: in "auto.ini" (the key "Password", in plain text), or in the
// desktop keyring at the operator's choice, recorded by one key of section "Default"
// ("PasswordInKeyring=1"); "Password" is then empty. Moving the password between the two never
// loses it: it is written to its new place before it leaves the old one.
namespace qv {

inline const QString kPasswordInKeyringKey = QStringLiteral("PasswordInKeyring");

// True when the settings file records the keyring as the password's place.
bool passwordInKeyring(const QString& iniPath);

// Files password in the keyring under key; only once it is there are the choice recorded and
// "Password" emptied in the file. A failure to store leaves the file as it was. "" on success,
// else what to tell the operator.
QString movePasswordToKeyring(const QString& iniPath, PasswordKeyring& keyring,
                              const PasswordKey& key, const QString& password, Prompting prompting);

// Writes password into the file as "Password" and records the choice off; only then is it
// removed from the keyring. moved is false when the file could not be written (the keyring keeps
// the password); problem says what went wrong, also when only the removal failed.
struct PasswordMove {
    bool moved = false;
    QString problem;
};
PasswordMove movePasswordToFile(const QString& iniPath, PasswordKeyring& keyring,
                                const PasswordKey& key, const QString& password,
                                Prompting prompting);

} // namespace qv
