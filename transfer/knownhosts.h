#pragma once

#include <QByteArray>
#include <QString>

// A reading of OpenSSH's known_hosts that a damaged line cannot stop. libssh2 stops reading the
// file at the first line it cannot parse (binary garbage, a line longer than its buffer), and
// every entry after that line is then unknown to it: a changed host key would look like a new
// one. Here a line that cannot be read is skipped and the rest still counts.
namespace qv::transfer {

enum class KnownHostMatch {
    Missing, // no entry of the host with a key of this type
    Matches, // an entry of the host holds this very key
    Differs, // the host's entries of this key type hold another key
    Revoked, // a "@revoked" line names this key for the host: never to be trusted
};

// How the file's entries for host name `name` (as known_hosts writes it: "host" or "[host]:port",
// plain or hashed "|1|salt|hash") stand to the key (its SSH wire form, type name first). A key
// that a "@revoked" line names for the host (its host patterns may hold the wildcards "*" and
// "?", as OpenSSH's do) is Revoked, whatever else the file says of it.
KnownHostMatch lookUpKnownHost(const QString& file, const QString& name, const QByteArray& key);

} // namespace qv::transfer
