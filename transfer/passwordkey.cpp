#include "transfer/passwordkey.h"

#include "transfer/ftpaddress.h"

namespace qv {

std::optional<PasswordKey> passwordKeyOf(const ConnectionFields& fields, QString* why) {
    const std::optional<transfer::FtpAddress> address =
        transfer::parseFtpAddress(fields.address, why);
    if (!address)
        return std::nullopt;
    return PasswordKey{address->host, address->port, fields.login};
}

KeyringSave saveConnectionFieldsWithKeyring(const QString& iniPath, const ConnectionFields& fields,
                                            PasswordKeyring& keyring, Prompting prompting) {
    KeyringSave save;
    ConnectionFields withoutPassword = fields;
    withoutPassword.password.clear();
    save.fileError = saveConnectionFields(iniPath, withoutPassword);
    if (!save.fileError.isEmpty())
        return save;
    QString why;
    const std::optional<PasswordKey> key = passwordKeyOf(fields, &why);
    if (!key) {
        save.keyringProblem = why;
        return save;
    }
    const KeyringReply stored = keyring.store(*key, fields.password, prompting);
    if (!stored.done())
        save.keyringProblem = keyringProblemText(stored, *key);
    return save;
}

} // namespace qv
