#pragma once

#include "settings/passwordkeyring.h"

#include <QFile>
#include <QMap>
#include <functional>

// A keyring in memory: what it holds, what it refuses with, and what the settings file held at the
// moment of each store and removal (so a test sees what came first).
namespace qv::test {

class FakeKeyring : public PasswordKeyring {
public:
    explicit FakeKeyring(QString watchedFile = {}) : watched_(std::move(watchedFile)) {}

    KeyringReply lookup(const PasswordKey& key, Prompting prompting) override {
        prompts << prompting;
        if (refusal != KeyringReply::Status::Done)
            return refused();
        KeyringReply r;
        if (!held.contains(name(key)))
            r.status = KeyringReply::Status::NotFound;
        r.password = held.value(name(key));
        return r;
    }
    KeyringReply store(const PasswordKey& key, const QString& password,
                       Prompting prompting) override {
        prompts << prompting;
        fileAtStore = watchedBytes();
        if (refusal != KeyringReply::Status::Done)
            return refused();
        held[name(key)] = password;
        return {};
    }
    KeyringReply remove(const PasswordKey& key, Prompting prompting) override {
        prompts << prompting;
        fileAtRemove = watchedBytes();
        if (refusal != KeyringReply::Status::Done)
            return refused();
        held.remove(name(key));
        return {};
    }

    static QString name(const PasswordKey& key) {
        return QStringLiteral("%1@%2:%3").arg(key.login, key.server).arg(key.port);
    }

    QMap<QString, QString> held; // "login@server:port" -> password
    KeyringReply::Status refusal = KeyringReply::Status::Done;
    QList<Prompting> prompts;
    QByteArray fileAtStore, fileAtRemove;

private:
    KeyringReply refused() const {
        KeyringReply r;
        r.status = refusal;
        r.reason = QStringLiteral("test refusal");
        return r;
    }
    QByteArray watchedBytes() const {
        QFile file(watched_);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString watched_;
};

} // namespace qv::test
