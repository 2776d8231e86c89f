#pragma once

#include <QString>

// How many connections at once a server took before it refused one more, remembered for each
// server address, port and login until the program ends, so that later searches do not ask it
// for more again.
namespace qv::transfer {

struct FtpLogin;

// The name a server's limit is kept under: its address (scheme, host and port) and the login.
QString connectionLimitKey(const FtpLogin& login);

// The limit known for the server; 0 when none is.
int rememberedConnectionLimit(const QString& key);

// Remembers that the server took no more than connections at once (at least 1); a lower limit
// already known stays.
void rememberConnectionLimit(const QString& key, int connections);

} // namespace qv::transfer
