#include "settings/passwordplace.h"

#include "settings/inifile.h"

namespace qv {

namespace {

const QString kSection = QStringLiteral("Default");

QString unsaved(const QString& iniPath, const QString& error) {
    return QStringLiteral("The settings cannot be saved in %1: %2").arg(iniPath, error);
}

} // namespace

bool passwordInKeyring(const QString& iniPath) {
    return INIread(iniPath, kSection, kPasswordInKeyringKey) == QLatin1String("1");
}

QString movePasswordToKeyring(const QString& iniPath, PasswordKeyring& keyring,
                              const PasswordKey& key, const QString& password,
                              Prompting prompting) {
    if (!password.isEmpty()) {
        const KeyringReply stored = keyring.store(key, password, prompting);
        if (!stored.done())
            return keyringProblemText(stored, key) +
                   QStringLiteral("\r\nThe password stays in the settings file.");
    }
    // The choice first: a file that keeps its password beside the choice loses nothing.
    QString error;
    if (!INIwrite(iniPath, kSection, kPasswordInKeyringKey, QStringLiteral("1"), &error))
        return unsaved(iniPath, error);
    if (!INIwrite(iniPath, kSection, QStringLiteral("Password"), QString(), &error))
        return unsaved(iniPath, error) +
               QStringLiteral("\r\nThe password is in the keyring and still in the settings file.");
    return {};
}

PasswordMove movePasswordToFile(const QString& iniPath, PasswordKeyring& keyring,
                                const PasswordKey& key, const QString& password,
                                Prompting prompting) {
    PasswordMove move;
    QString error;
    if (!INIwrite(iniPath, kSection, QStringLiteral("Password"), password, &error) ||
        !INIwrite(iniPath, kSection, kPasswordInKeyringKey, QStringLiteral("0"), &error)) {
        move.problem = unsaved(iniPath, error);
        return move;
    }
    move.moved = true;
    const KeyringReply removed = keyring.remove(key, prompting);
    if (!removed.done())
        move.problem = keyringProblemText(removed, key) +
                       QStringLiteral("\r\nThe password is in the settings file now, and still "
                                      "in the keyring.");
    return move;
}

} // namespace qv
