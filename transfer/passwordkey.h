#pragma once

#include "settings/passwordkeyring.h"
#include "transfer/serversearch.h"

#include <QString>
#include <optional>

// The connection fields and the desktop keyring: which key a login's password is filed under,
// and the fields saved when the keyring keeps the password.
namespace qv {

// The server's host and port as the address names them (its scheme's port when it names none),
// and the login. nullopt when the address is no usable address; why then says what is wrong.
std::optional<PasswordKey> passwordKeyOf(const ConnectionFields& fields, QString* why = nullptr);

// Saves the address and login in "auto.ini" with "Password" empty, then files the password in the
// keyring. fileError is the settings file's failure (the keyring is then left alone),
// keyringProblem what the keyring said; both "" when everything was saved.
struct KeyringSave {
    QString fileError;
    QString keyringProblem;
};
KeyringSave saveConnectionFieldsWithKeyring(const QString& iniPath, const ConnectionFields& fields,
                                            PasswordKeyring& keyring, Prompting prompting);

} // namespace qv
