// The desktop keyring through libsecret's Secret Service client. libsecret, not a wrapper, so that
// this file alone decides when the service may prompt (an unlock is asked for explicitly, and only
// when prompting is allowed) and nothing ever falls back to a file of its own.

// GLib's headers name a member "signals", which Qt defines as a keyword.
#ifdef signals
#pragma push_macro("signals")
#undef signals
#define QV_RESTORE_SIGNALS
#endif
#include <libsecret/secret.h>
#ifdef QV_RESTORE_SIGNALS
#pragma pop_macro("signals")
#endif

#include "settings/passwordkeyring.h"

#include <QByteArray>
#include <memory>

namespace qv {

namespace {

using Status = KeyringReply::Status;

// The items of this program: matched by the schema's name as well, so a password another program
// filed under the same attributes is never read or replaced.
const SecretSchema* passwordSchema() {
    static const SecretSchema schema = [] {
        SecretSchema s{};
        s.name = "org.quorvane.Quorvane.ServerPassword";
        s.flags = SECRET_SCHEMA_NONE;
        s.attributes[0] = {"server", SECRET_SCHEMA_ATTRIBUTE_STRING};
        s.attributes[1] = {"port", SECRET_SCHEMA_ATTRIBUTE_INTEGER};
        s.attributes[2] = {"login", SECRET_SCHEMA_ATTRIBUTE_STRING};
        return s;
    }();
    return &schema;
}

struct ErrorFree {
    void operator()(GError* e) const { g_error_free(e); }
};
struct ObjectUnref {
    void operator()(gpointer o) const { g_object_unref(o); }
};
struct HashUnref {
    void operator()(GHashTable* t) const { g_hash_table_unref(t); }
};
struct ListFree {
    void operator()(GList* l) const { g_list_free_full(l, g_object_unref); }
};
using Error = std::unique_ptr<GError, ErrorFree>;
using Service = std::unique_ptr<SecretService, ObjectUnref>;
using Item = std::unique_ptr<SecretItem, ObjectUnref>;
using Collection = std::unique_ptr<SecretCollection, ObjectUnref>;
using Attributes = std::unique_ptr<GHashTable, HashUnref>;
using Items = std::unique_ptr<GList, ListFree>;

KeyringReply reply(Status status, const QString& reason = {}) {
    KeyringReply r;
    r.status = status;
    r.reason = reason;
    return r;
}

// A failed call: a service that is not there (or went away) is unreachable; anything else the
// service said is its error.
KeyringReply failure(GError* raw) {
    const Error error(raw);
    const QString reason = error ? QString::fromUtf8(error->message) : QString();
    const bool gone =
        error && error->domain == G_DBUS_ERROR &&
        (error->code == G_DBUS_ERROR_SERVICE_UNKNOWN ||
         error->code == G_DBUS_ERROR_NAME_HAS_NO_OWNER || error->code == G_DBUS_ERROR_NO_REPLY ||
         error->code == G_DBUS_ERROR_DISCONNECTED ||
         error->code == G_DBUS_ERROR_SPAWN_SERVICE_NOT_FOUND);
    return reply(gone ? Status::Unreachable : Status::Failed, reason);
}

Attributes attributesOf(const PasswordKey& key) {
    const QByteArray server = key.server.toUtf8();
    const QByteArray login = key.login.toUtf8();
    return Attributes(secret_attributes_build(passwordSchema(), "server", server.constData(),
                                              "port", key.port, "login", login.constData(),
                                              nullptr));
}

// The service with a session open for secrets.
bool openService(Service* service, KeyringReply* problem) {
    GError* error = nullptr;
    service->reset(secret_service_get_sync(SECRET_SERVICE_OPEN_SESSION, nullptr, &error));
    if (*service)
        return true;
    *problem = failure(error);
    problem->status = Status::Unreachable; // no session bus, or no service on it
    return false;
}

// Unlocks object (an item or a collection) through the service's prompt when allowed.
bool unlock(SecretService* service, gpointer object, Prompting prompting, KeyringReply* problem) {
    if (prompting == Prompting::Never) {
        *problem = reply(Status::Locked);
        return false;
    }
    GList objects{object, nullptr, nullptr};
    GError* error = nullptr;
    const gint unlocked = secret_service_unlock_sync(service, &objects, nullptr, nullptr, &error);
    if (error) {
        *problem = failure(error);
        return false;
    }
    if (unlocked < 1) {
        *problem = reply(Status::Locked, QStringLiteral("the unlock prompt was dismissed"));
        return false;
    }
    return true;
}

// The first item filed under key, or nullptr with NotFound (or the failure) in problem.
Item findItem(SecretService* service, const PasswordKey& key, KeyringReply* problem) {
    GError* error = nullptr;
    const Attributes attributes = attributesOf(key);
    Items items(secret_service_search_sync(service, passwordSchema(), attributes.get(),
                                           SECRET_SEARCH_NONE, nullptr, &error));
    if (error) {
        *problem = failure(error);
        return nullptr;
    }
    if (!items) {
        *problem = reply(Status::NotFound);
        return nullptr;
    }
    return Item(static_cast<SecretItem*>(g_object_ref(items->data)));
}

// The default collection (the "login" keyring) unlocked for a new item. A missing one is left to
// the service, which makes it with its own prompt; without prompting that is refused.
bool defaultCollectionOpen(SecretService* service, Prompting prompting, KeyringReply* problem) {
    GError* error = nullptr;
    const Collection collection(secret_collection_for_alias_sync(
        service, SECRET_COLLECTION_DEFAULT, SECRET_COLLECTION_NONE, nullptr, &error));
    if (error) {
        *problem = failure(error);
        return false;
    }
    if (!collection) {
        if (prompting == Prompting::Allowed)
            return true;
        *problem = reply(Status::Locked, QStringLiteral("there is no default keyring yet"));
        return false;
    }
    return !secret_collection_get_locked(collection.get()) ||
           unlock(service, collection.get(), prompting, problem);
}

class SecretServiceKeyring : public PasswordKeyring {
public:
    KeyringReply lookup(const PasswordKey& key, Prompting prompting) override {
        Service service;
        KeyringReply problem;
        if (!openService(&service, &problem))
            return problem;
        const Item item = findItem(service.get(), key, &problem);
        if (!item)
            return problem;
        if (secret_item_get_locked(item.get()) &&
            !unlock(service.get(), item.get(), prompting, &problem))
            return problem;
        GError* error = nullptr;
        if (!secret_item_load_secret_sync(item.get(), nullptr, &error))
            return failure(error);
        SecretValue* value = secret_item_get_secret(item.get());
        const gchar* text = value ? secret_value_get_text(value) : nullptr;
        KeyringReply found = text ? reply(Status::Done)
                                  : reply(Status::Failed, QStringLiteral("the secret is no text"));
        if (text)
            found.password = QString::fromUtf8(text);
        if (value)
            secret_value_unref(value);
        return found;
    }

    KeyringReply store(const PasswordKey& key, const QString& password,
                       Prompting prompting) override {
        Service service;
        KeyringReply problem;
        if (!openService(&service, &problem) ||
            !defaultCollectionOpen(service.get(), prompting, &problem))
            return problem;
        const QByteArray secret = password.toUtf8();
        SecretValue* value = secret_value_new(secret.constData(), secret.size(), "text/plain");
        const QByteArray label = QStringLiteral("Quorvane: %1 at %2:%3")
                                     .arg(key.login, key.server)
                                     .arg(key.port)
                                     .toUtf8();
        const Attributes attributes = attributesOf(key);
        GError* error = nullptr;
        const gboolean stored = secret_service_store_sync(
            service.get(), passwordSchema(), attributes.get(), SECRET_COLLECTION_DEFAULT,
            label.constData(), value, nullptr, &error);
        secret_value_unref(value);
        return stored ? reply(Status::Done) : failure(error);
    }

    KeyringReply remove(const PasswordKey& key, Prompting prompting) override {
        Service service;
        KeyringReply problem;
        if (!openService(&service, &problem))
            return problem;
        const Item item = findItem(service.get(), key, &problem);
        if (!item)
            return problem.status == Status::NotFound ? reply(Status::Done) : problem;
        if (secret_item_get_locked(item.get()) &&
            !unlock(service.get(), item.get(), prompting, &problem))
            return problem;
        GError* error = nullptr;
        return secret_item_delete_sync(item.get(), nullptr, &error) ? reply(Status::Done)
                                                                    : failure(error);
    }
};

} // namespace

std::unique_ptr<PasswordKeyring> desktopKeyring() {
    return std::make_unique<SecretServiceKeyring>();
}

} // namespace qv
