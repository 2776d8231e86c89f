#include "app/actions/passwordstore.h"

#include "app/form2.h"
#include "settings/inifile.h"
#include "settings/passwordplace.h"
#include "transfer/passwordkey.h"
#include "ui/dialogs.h"

#include <optional>
#include <utility>

namespace {

const QString kCaption = QStringLiteral("Quorvane");

void tell(Form2& form, const QString& text) {
    qv::dialogs().message(&form, text, kCaption);
}

// The key of the typed address and login; nullopt, with the operator told, when there is none.
std::optional<qv::PasswordKey> typedKey(Form2& form) {
    const qv::ConnectionFields fields = form.settings.credentials();
    QString why;
    std::optional<qv::PasswordKey> key = qv::passwordKeyOf(fields, &why);
    if (fields.address.isEmpty() || fields.login.isEmpty())
        why = QStringLiteral("Key in the IP Address and the Login Name first.");
    if (!key || fields.login.isEmpty()) {
        tell(form, QStringLiteral("The keyring files the password under the server's address "
                                  "and the login. %1")
                       .arg(why));
        return std::nullopt;
    }
    return key;
}

// The typed address and login saved beside the choice: the start finds the password under them.
QString saveKeyOfThePassword(const qv::ConnectionFields& fields) {
    QString error;
    for (const auto& [key, value] : {std::pair{QStringLiteral("Ipaddress"), fields.address},
                                     std::pair{QStringLiteral("Login"), fields.login}})
        if (!qv::INIwrite(Form2::settingsPath(), QStringLiteral("Default"), key, value, &error))
            return QStringLiteral("The settings cannot be saved in %1: %2")
                .arg(Form2::settingsPath(), error);
    return {};
}

void moveIntoKeyring(Form2& form) {
    const std::optional<qv::PasswordKey> key = typedKey(form);
    if (!key) {
        form.settings.setPasswordInKeyring(false);
        return;
    }
    const qv::ConnectionFields fields = form.settings.credentials();
    QString problem = qv::movePasswordToKeyring(Form2::settingsPath(), *qv::desktopKeyring(), *key,
                                                fields.password, qv::promptingForThisSession());
    if (!problem.isEmpty())
        form.settings.setPasswordInKeyring(false);
    else
        problem = saveKeyOfThePassword(fields);
    if (!problem.isEmpty())
        tell(form, problem);
}

void moveIntoFile(Form2& form) {
    const bool agreed = qv::dialogs().confirm(
        &form,
        QStringLiteral("Keep the password in the settings file auto.ini instead, in plain "
                       "text? Anyone who can read the file can read the password."),
        kCaption);
    const std::optional<qv::PasswordKey> key = agreed ? typedKey(form) : std::nullopt;
    if (!key) {
        form.settings.setPasswordInKeyring(true);
        return;
    }
    const qv::PasswordMove move =
        qv::movePasswordToFile(Form2::settingsPath(), *qv::desktopKeyring(), *key,
                               form.settings.credentials().password, qv::promptingForThisSession());
    if (!move.moved)
        form.settings.setPasswordInKeyring(true);
    if (!move.problem.isEmpty())
        tell(form, move.problem);
}

} // namespace

void loadPasswordFromKeyring(Form2& form) {
    if (!qv::passwordInKeyring(Form2::settingsPath()))
        return;
    form.settings.setPasswordInKeyring(true);
    const std::optional<qv::PasswordKey> key = qv::passwordKeyOf(form.settings.credentials());
    if (!key)
        return; // no server yet to find a password for
    const qv::KeyringReply reply =
        qv::desktopKeyring()->lookup(*key, qv::promptingForThisSession());
    if (reply.done()) {
        form.settings.setPassword(reply.password);
        return;
    }
    if (reply.status == qv::KeyringReply::Status::NotFound ||
        !form.settings.noteKeyringProblemOnce())
        return;
    tell(form, qv::keyringProblemText(reply, *key) +
                   QStringLiteral("\r\nKey in the password for this run; it is not written to "
                                  "auto.ini."));
}

void switchPasswordPlace(Form2& form) {
    if (form.settings.passwordInKeyring())
        moveIntoKeyring(form);
    else
        moveIntoFile(form);
}

QString saveSearchSettings(Form2& form) {
    const qv::ConnectionFields fields = form.settings.credentials();
    if (!form.settings.passwordInKeyring())
        return qv::saveConnectionFields(Form2::settingsPath(), fields);
    const qv::KeyringSave save = qv::saveConnectionFieldsWithKeyring(
        Form2::settingsPath(), fields, *qv::desktopKeyring(), qv::promptingForThisSession());
    if (!save.keyringProblem.isEmpty() && form.settings.noteKeyringProblemOnce())
        tell(form, save.keyringProblem +
                       QStringLiteral("\r\nThe password is not saved; auto.ini keeps none."));
    return save.fileError;
}
